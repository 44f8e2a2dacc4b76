#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while.
#   scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

bash scripts/setup.sh
if ! ls tests/fuzz/fuzz_*.cpp >/dev/null 2>&1; then
  echo "fuzz: no targets"
  exit 0
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTORVANE_FUZZ=ON -DTORVANE_TESTS=OFF \
  -DTORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(ls tests/fuzz/fuzz_*.cpp | xargs -n1 basename | sed 's/\.cpp$//')
# shellcheck disable=SC2086
cmake --build build-fuzz --target $targets
mkdir -p build-fuzz/corpus
# Leaks inside system libraries are theirs (scripts/lsan.supp names them by library only).
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
for target in build-fuzz/fuzz/fuzz_*; do
  name=$(basename "$target")
  mkdir -p "build-fuzz/corpus/$name"
  echo "fuzz: $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=0 "build-fuzz/corpus/$name" 2>&1 | tail -n 2
done
