#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in its data folder.
# TORVANE_HEADLESS=1 runs it without a window (see the README).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
mkdir -p build/data
cd build/data
exec ../torvane
