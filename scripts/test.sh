#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
#   scripts/test.sh             the normal build, in build/
#   scripts/test.sh --sanitize  with AddressSanitizer and UBSan, in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
# The project's own test command keeps the build free of warnings.
options=(-DTORVANE_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  options+=(-DTORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTORVANE_BENCH=OFF)
fi

bash scripts/setup.sh
cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build"
cd "$build"
# Tests never reach a display or a sound card, whatever the session has.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# Leaks inside system libraries are theirs (scripts/lsan.supp names them by library only).
export LSAN_OPTIONS="suppressions=$PWD/../scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
ctest --output-on-failure -j "$(nproc)"
