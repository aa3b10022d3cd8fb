#!/bin/bash
# Writes the seed corpus of the region map fuzz target with novutool mapfile build.
# Arguments: the novutool binary, the corpus folder.
set -euo pipefail
tool="$1"
corpus="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus"

cat >"$work/shapes.txt" <<'MAP'
rect "door" 2 2 9 13
ellipse "window" 12 1 21 10
polygon "roof" 0,0 23,0 12,8
MAP
cat >"$work/star.txt" <<'MAP'
polygon "star" 12,0 19,15 0,5 23,5 4,15
polygon/9 "odd kind" 1,1 5,1 3,4
rect "reversed" 20 14 3 2
MAP
printf 'ellipse "far" -536870912 -536870912 536870912 536870912\n' >"$work/far.txt"
for name in shapes star far; do
  "$tool" mapfile build "$work/$name.txt" -o "$corpus/$name.map"
done
