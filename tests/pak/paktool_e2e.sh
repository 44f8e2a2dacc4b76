#!/usr/bin/env bash
# paktool_e2e.sh good|damaged DATAKIT PAKTOOL
set -euo pipefail
mode=$1 datakit=$2 paktool=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$datakit" "$work/data"

case $mode in
good)
  "$paktool" list "$work/data" >"$work/list"
  grep -qx '1 README.TXT 41' "$work/list"
  grep -qx '7 DATA\\SAMPLE.BIN 4096' "$work/list"
  test "$(wc -l <"$work/list")" -ge 16
  # One of the archives stands for its folder's set, wherever paktool runs.
  "$paktool" list "$work/data/rur0.pak" | diff "$work/list" -
  (cd "$work/data" && "$paktool" list rur3.pak) | diff "$work/list" -
  if "$paktool" list "$work/missing" 2>"$work/err"; then echo "list of a missing folder succeeded"; exit 1; fi
  grep -q 'cannot enter .*missing (give the folder of the archives, or one of them)' "$work/err"
  "$paktool" extract "$work/data" "$work/out"
  grep -q 'archive rur3.pak' "$work/out/3/README.TXT"
  test "$(stat -c %s "$work/out/5/DATA/SAMPLE.BIN")" -eq 4096
  test "$(cat "$work/out/1/DATA/NONE.BIN")" = stored
  test "$(cat "$work/out/1/DATA/ONE.BIN")" = 1
  test "$(stat -c %s "$work/out/1/DATA/NOISE.BIN")" -eq 5000
  # Every file packed with LZ, the one-byte and incompressible ones too (their
  # packed bytes outnumber the file's), comes back byte for byte.
  "$paktool" pack --method lz "$work/out" "$work/lz"
  "$paktool" extract "$work/lz" "$work/out-lz"
  diff -r "$work/out" "$work/out-lz"
  # The kit's own LZ data set gives back what the kit wrote.
  "$datakit" --method lz "$work/lzdata"
  "$datakit" --loose "$work/loose"
  "$paktool" extract "$work/lzdata" "$work/out-kit"
  compared=0
  for f in "$work"/out-kit/*/*.*; do
    name=${f##*/}
    loose="$work/loose/${name,,}"
    [ -e "$loose" ] || continue
    cmp "$loose" "$f"
    compared=$((compared + 1))
  done
  test "$compared" -ge 10
  # Repacking the extracted folders gives archives that list the same.
  "$paktool" pack "$work/out" "$work/again"
  "$paktool" list "$work/again" | sort >"$work/list2"
  sort "$work/list" | diff - "$work/list2"
  ;;
damaged)
  # Cut rur3.pak inside its last entry: listing still works (the directories
  # are in rur0.pak), extracting names the archive and the entry.
  size=$(stat -c %s "$work/data/rur3.pak")
  truncate -s $((size - 10)) "$work/data/rur3.pak"
  if "$paktool" extract "$work/data" "$work/out" 2>"$work/err"; then
    echo "extract of a damaged archive succeeded"; exit 1
  fi
  cat "$work/err"
  grep -qE 'rur3.pak entry [0-9]+ \(.+\)' "$work/err"
  # Nothing half-written is left behind of the entry the message names.
  name=$(sed -nE 's/.*rur3\.pak entry [0-9]+ \(([^)]+)\).*/\1/p' "$work/err" | head -1 | tr '\\' /)
  test -n "$name"
  test ! -e "$work/out/3/$name"
  ls -R "$work/out" | grep -q '\.tmp' && { echo "temporary file left"; exit 1; }
  # A damaged rur0.pak: nothing mounts, and the message names it.
  truncate -s 30 "$work/data/rur0.pak"
  if "$paktool" list "$work/data" 2>"$work/err"; then
    echo "list of a damaged rur0.pak succeeded"; exit 1
  fi
  cat "$work/err"
  grep -q 'rur0.pak entry' "$work/err"
  ;;
esac
echo "paktool e2e $mode: ok"
