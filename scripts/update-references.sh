#!/usr/bin/env bash
# Rewrites every stored reference picture from what the code draws now, after
# a deliberate change of what is drawn, and the finished race's trace after a
# deliberate change of the race: builds, then runs every reference test (their
# fixtures are named ...Reference) with TORVANE_UPDATE_REFERENCES=1.
# Look at the new pictures before committing them.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja >/dev/null
cmake --build build
(
  cd build
  export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TORVANE_UPDATE_REFERENCES=1
  ctest --output-on-failure --no-tests=error -j "$(nproc)" -R 'Reference\.'
)
changed=$(git status --short -- '*.png' 'tests/e2e/autopilot_trace.txt' 2>/dev/null || true)
echo "${changed:-No reference changed.}"
