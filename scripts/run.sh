#!/usr/bin/env bash
# Builds the configurator and starts it with the demo configuration and a
# simulated gateway on 127.0.0.1: open "Demo", press "Update Device", type
# 127.0.0.1. Without a display the same update runs through zuvurazaru-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
bin=build/bin
store=build/qx410-sim-store
mkdir -p "$store"
"$bin/qx410-sim" --address 127.0.0.1 --store "$store" > build/qx410-sim.log 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
echo "simulated gateway on 127.0.0.1 (log: build/qx410-sim.log, received images: $store)"
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  "$bin/Zuvurazaru"
else
  echo "no display: updating the demo configuration through zuvurazaru-cli"
  if "$bin/zuvurazaru-cli" update "$bin/PROJECTS/Demo" --device 127.0.0.1; then
    echo "update succeeded; the simulated gateway holds:"
    ls -l "$store"
  else
    echo "update failed; see $bin/Ethernet_Update.log and build/qx410-sim.log"
    exit 1
  fi
fi
