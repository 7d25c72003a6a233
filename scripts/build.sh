#!/usr/bin/env bash
# Configures and builds into build/ (executables in build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release ${ZV_CMAKE_ARGS:-}
cmake --build build -j"$(nproc)"
