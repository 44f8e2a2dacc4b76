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
  -DTORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_WERROR="${TORVANE_WERROR:-OFF}" >/dev/null
targets=$(ls tests/fuzz/fuzz_*.cpp | xargs -n1 basename | sed 's/\.cpp$//')
# shellcheck disable=SC2086
cmake --build build-fuzz --target $targets
mkdir -p build-fuzz/corpus
# Leaks inside system libraries are theirs (scripts/lsan.supp names them by library only).
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# The targets run side by side, as many at once as there are cores: each
# still gets its full time, and the whole takes a fraction of one after another.
run_one() {
  local target=$1 seconds=$2 name
  name=$(basename "$target")
  mkdir -p "build-fuzz/corpus/$name"
  if "$target" -max_total_time="$seconds" -print_final_stats=0 "build-fuzz/corpus/$name" >"build-fuzz/$name.log" 2>&1; then
    echo "fuzz: $name for ${seconds}s: $(tail -n 1 "build-fuzz/$name.log")"
  else
    echo "fuzz: $name FAILED"
    tail -n 60 "build-fuzz/$name.log"
    return 1
  fi
}
export -f run_one
ls -d build-fuzz/fuzz/fuzz_* | xargs -P "$(nproc)" -I{} bash -c 'run_one "$1" "$2"' _ {} "$seconds"
