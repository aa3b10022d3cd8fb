#!/bin/bash
# Writes the seed corpus of the motion-file fuzz target with novutool film build: one film with
# a track of every kind for several versions.
# Arguments: the novutool binary, the corpus folder.
set -euo pipefail
tool="$1"
corpus="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus"
for version in 100 101 103 105 106 108; do
  {
    echo "film NovuMotion $version"
    echo "screen 64 48"
    [ "$version" -ge 106 ] && echo "loop_start 4"
    printf 'track image\n  length 20\n  pos_end 30 10\n  alpha_end 128\n  image "a.fip"\n'
    printf 'track image\n  parent 0\n  length 5\n  angle_end 90\n'
    printf 'track label\n  length 8\n  text "hi"\n'
    printf 'track box\n  length 6\n  width_end 10\n  height_end 10\n'
    printf 'track transition\n  start 2\n  length 6\n  type 1\n'
    printf 'track sound\n  length 9\n  sound "s.wav"\n'
    printf 'track tile\n  length 4\n  scroll_x_end 16\n'
    printf 'track particle\n  length 12\n  spread_end 10\n  p1_end 2.5\n'
    printf 'track fire\n  length 7\n  zoom_x_end 2\n  power 100\n'
  } > "$work/film$version.txt"
  "$tool" film build "$work/film$version.txt" -o "$corpus/film$version.nmt"
done
