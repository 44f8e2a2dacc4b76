#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
#   scripts/test.sh                   the normal build, in build/
#   scripts/test.sh --sanitize        with AddressSanitizer and UBSan, in build-asan/
#   scripts/test.sh --sanitize-float  the whole-program tests (tests/e2e) and the
#                                     race suites (tests/race) built with clang's
#                                     float-cast-overflow and float-divide-by-zero
#                                     checks, in build-fpsan/
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
# The project's own test command keeps the build free of warnings.
options=(-DTORVANE_WERROR=ON)
targets=()
test_dirs=(.)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  options+=(-DTORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTORVANE_BENCH=OFF)
elif [ "${1:-}" = "--sanitize-float" ]; then
  # Optimised as usual: these checks cost little, and the races run at full length.
  export CC=clang CXX=clang++
  build=build-fpsan
  options+=(-DTORVANE_SANITIZE_FLOAT=ON -DTORVANE_BENCH=OFF)
  test_dirs=(tests/e2e tests/race)
  targets=(--target tests/e2e/all tests/race/all)
fi

bash scripts/setup.sh
cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build" "${targets[@]}"
cd "$build"
# Tests never reach a display or a sound card, whatever the session has.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# Leaks inside system libraries are theirs (scripts/lsan.supp names them by library only).
export LSAN_OPTIONS="suppressions=$PWD/../scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
for dir in "${test_dirs[@]}"; do
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
done
