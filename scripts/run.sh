#!/usr/bin/env bash
# Builds and starts the configurator.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec build/bin/Zuvurazaru
