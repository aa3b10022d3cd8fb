#!/bin/bash
# Writes the seed corpus of the layered image fuzz target with novutool image, from two small
# PNG files made with ImageMagick.
# Arguments: the novutool binary, the corpus folder.
set -euo pipefail
tool="$1"
corpus="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus"
code=4660  # the code the fuzz target reads with

# Two small PNG files: a gradient with an alpha ramp, and a two-colour picture without alpha.
convert -size 6x4 gradient:'#2040F0'-'#F0C010' -alpha set -channel A -fx '(i+j)/8' +channel \
  -depth 8 "PNG32:$work/a.png"
convert -size 6x4 xc:'#0040C0' -fill '#FF8000' -draw 'point 1,0' -draw 'point 3,2' \
  -depth 8 "PNG24:$work/b.png"

"$tool" image --duration 40 "$work/a.png" "$work/b.png" "$corpus/rows32.fip"
"$tool" image --code $code "$work/a.png" "$corpus/scrambled.fip"
"$tool" image --depth 16 --blocks 3x2 "$work/a.png" "$work/b.png" "$corpus/blocks16.fip"
"$tool" image --code $code --depth 24 --blocks 4x3 "$work/a.png" "$corpus/blocks-scrambled.fip"
"$tool" image --depth 8 --compression none "$work/a.png" "$corpus/palette8.fip"
"$tool" image --depth 4 "$work/b.png" "$corpus/palette4.fip"
"$tool" image --depth 1 --blocks 5x5 "$work/b.png" "$corpus/palette1.fip"
"$tool" image --depth 15 "$work/a.png" "$corpus/depth15.fip"
"$tool" image --compression jpeg --quality 80 "$work/a.png" "$corpus/jpeg.fip"
"$tool" image --compression none "$work/b.png" "$corpus/stored.fip"
