#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang into build-fuzz/ and runs each
# for SECONDS (default 20) from its seed corpus. Any crash, sanitizer report,
# broken property, timeout or memory blow-up fails the run; the input is kept
# in build-fuzz/runs/.
#   bash scripts/fuzz.sh [SECONDS] [HARNESS...]   (e.g. 600 compile boot_packet)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
bash scripts/deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZUVURAZARU_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_all
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for src in fuzz/fuzz_*.cpp; do names+=("$(basename "$src" .cpp | sed 's/^fuzz_//')"); done
fi
runs=build-fuzz/runs
mkdir -p "$runs"
failed=0
for name in "${names[@]}"; do
    corpus="$runs/$name"
    mkdir -p "$corpus"
    for seed in fuzz/corpus/"$name"/*; do
        [ -e "$corpus/$(basename "$seed")" ] || cp "$seed" "$corpus"/
    done
    log="$runs/$name.log"
    # Every reader bounds its work: one input may take 10 s and 2 GiB at most.
    if build-fuzz/bin/fuzz_"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$runs/$name-" "$corpus" >"$log" 2>&1; then
        execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
        echo "fuzz $name: ${seconds} s, $execs executions, nothing found"
    else
        echo "fuzz $name: FAILED (log $log)"
        tail -n 40 "$log"
        failed=1
    fi
done
exit $failed
