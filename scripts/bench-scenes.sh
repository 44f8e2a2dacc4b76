#!/usr/bin/env bash
# The kit scene's 200-frame flight through both back ends, headless: bench_scene
# (software accelerator) and bench_scene_d3d (OpenGL on Mesa) in turn, three
# times each so that the machine's load falls on both alike; then the medians
# per back end, the faces per frame, OpenGL draws and state changes per frame
# and the ratio of the two medians. Once more with LP_NUM_THREADS=1.
# Usage: bash scripts/bench-scenes.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
soft=$build/bench/scene/bench_scene
gl=$build/bench/scene/bench_scene_d3d
[[ -x $soft && -x $gl ]] || cmake --build "$build" --target bench_scene bench_scene_d3d
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TORVANE_HEADLESS=1

# One run's per-repetition median frame times (ms) and its last counters, as
# "median faces draws states" lines.
run() {
  "$1" --benchmark_format=csv 2>/dev/null | awk -F, '
    NR == 1 { for (i = 1; i <= NF; ++i) col[$i] = i; next }
    $1 ~ /_(mean|median|stddev|cv)"?$/ { next }
    { d = col["\"gl_draws\""] ? $col["\"gl_draws\""] : 0
      s = col["\"gl_states\""] ? $col["\"gl_states\""] : 0
      print $col["\"median_ms\""], $col["\"faces\""], d, s }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

round() {
  local soft_rows="" gl_rows=""
  for _ in 1 2 3; do
    soft_rows+=$(run "$soft")$'\n'
    gl_rows+=$(run "$gl")$'\n'
  done
  local sm gm
  sm=$(grep . <<<"$soft_rows" | cut -d' ' -f1 | median)
  gm=$(grep . <<<"$gl_rows" | cut -d' ' -f1 | median)
  printf '  bench_scene     : median %8.3f ms a frame, %7.1f faces a frame\n' "$sm" \
    "$(grep . <<<"$soft_rows" | tail -1 | cut -d' ' -f2)"
  read -r _ gf gd gs < <(grep . <<<"$gl_rows" | tail -1)
  printf '  bench_scene_d3d : median %8.3f ms a frame, %7.1f faces, %7.1f OpenGL draws, %7.1f state changes a frame\n' \
    "$gm" "$gf" "$gd" "$gs"
  awk -v a="$gm" -v b="$sm" -v f="$gf" -v d="$gd" 'BEGIN {
    printf "  ratio d3d / software: %.2f (target at most 3); faces per OpenGL draw: %.1f (target at least 10)\n",
      a / b, (d > 0 ? f / d : 0) }'
}

echo "Default thread count (${LP_NUM_THREADS:-as llvmpipe chooses}):"
round
echo "LP_NUM_THREADS=1:"
LP_NUM_THREADS=1 round
