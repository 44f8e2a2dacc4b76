#!/usr/bin/env bash
# Installs what is missing, builds the game, writes the data kit's data set
# into build/data and starts the game there.
# TORVANE_HEADLESS=1 runs it without a window (see the README).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
# Only the programs a player runs and the data kit, not the tests and benchmarks.
cmake --build build --target torvane torvaned3d launcher datakit
build/datakit build/data
cd build/data
exec ../torvane
