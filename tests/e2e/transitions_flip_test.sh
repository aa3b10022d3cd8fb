#!/usr/bin/env bash
# Flip through a transition, played headless on the 15 ms virtual clock: the screenshots of a
# 300 ms fade from a red screen to the black one show the computed blend at every tick, the
# command after a waiting Flip runs only when the time is up, and the last picture equals the
# plain switch exactly. A blind with its own parameters and a reversed circle end the same way.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

command -v convert > /dev/null || { echo "skipped: no ImageMagick"; exit 0; }

# pixel GAME SHOT X Y: the colour of one pixel of a screenshot.
pixel() { convert "$work/$1/$2.png" -format "%[pixel:p{$3,$4}]" info:; }
flip_game() {
  game "$1"
  printf '%s\n' 'SetProp `""` `8` `255`' "$2" 'VarNew "after" type=int value=`1`' \
    'Wait time=`2000`' 'Exit' | page "$1" main
}
shot() { play "$1" "$2" --screenshot "$work/$1/t$2.png"; }

# ---- The fade: the Flip runs its first tick at 15 ms and starts the clock on the second tick,
# so the screenshot after N ticks shows elapsed time E = 15 (N - 2) ms. The new (black) picture
# is blended in with alpha E × 256 / 300: red = ((255 - alpha) × 255) >> 8 (alpha 0 draws
# nothing).
flip_game fade 'Flip kind=`1` duration=`300`'
for ticks in 2 3 4 7 12 19 21; do
  shot fade "$ticks"
  elapsed=$(((ticks - 2) * 15))
  alpha=$((elapsed * 256 / 300))
  red=$((((255 - alpha) * 255) >> 8))
  [ "$alpha" = 0 ] && red=255
  [ "$(pixel fade "t$ticks" 160 120)" = "srgb($red,0,0)" ] ||
    fail "fade at E=$elapsed: expected red $red, got $(pixel fade "t$ticks" 160 120)"
done

# The next command waits for the end of the transition: the Flip's first tick is at 15 ms and
# its clock starts at 30 ms, so the command after it runs at 330 ms (0x14a).
play fade 40 --screenshot "$work/fade/end.png"
expect_trace fade <<'TRACE'
0000000f : main.nsb(1)
0000000f : main.nsb(2)
0000014a : main.nsb(3)
0000014a : main.nsb(4)
TRACE

# ---- The end state equals a plain Flip exactly.
flip_game plain 'Flip'
play plain 40 --screenshot "$work/plain/end.png"
same() {
  local diff
  diff=$(compare -metric AE "$work/$1/end.png" "$work/plain/end.png" null: 2>&1)
  [ "$diff" = 0 ] || fail "$1: the end differs from the plain switch in $diff pixels"
}
same fade

# ---- Blinds of 8 pixels (softness 1) over 300 ms: at E = 150 ms the progress is
# (1 + 16 - 2) × 150 / 300 = 7, so in every slat the columns with 2 × (x mod 8) < 7 (x mod 8
# of 0 to 3) show the new picture and the others the old one. Then the same clean end.
flip_game blind 'Flip kind=`2` duration=`300` param1=`8` param2=`1`'
shot blind 12
for x in 0 3 4 7 8 11 12 319; do
  expected="srgb(255,0,0)"
  [ $((x % 8)) -lt 4 ] && expected="srgb(0,0,0)"
  [ "$(pixel blind t12 "$x" 100)" = "$expected" ] ||
    fail "blind at column $x: expected $expected, got $(pixel blind t12 "$x" 100)"
done
play blind 40 --screenshot "$work/blind/end.png"
same blind

# ---- A reversed circle shows only the old picture when it starts and closes on the centre;
# kinds outside 1-38 switch with no picture in between.
flip_game circle 'Flip kind=`36` duration=`300` option=`TRUE`'
shot circle 2
[ "$(pixel circle t2 0 0)" = "srgb(255,0,0)" ] || fail "reversed circle: the corner changed at once"
[ "$(pixel circle t2 160 120)" = "srgb(255,0,0)" ] || fail "reversed circle: the centre changed at once"
shot circle 16
[ "$(pixel circle t16 0 0)" = "srgb(0,0,0)" ] || fail "reversed circle: the corner is still old"
[ "$(pixel circle t16 160 120)" = "srgb(255,0,0)" ] || fail "reversed circle: the centre is already new"
play circle 40 --screenshot "$work/circle/end.png"
same circle

flip_game unknown 'Flip kind=`-3` duration=`300`'
shot unknown 10
[ "$(pixel unknown t10 160 120)" = "srgb(255,0,0)" ] || fail "unknown kind: switched before its time"
play unknown 40 --screenshot "$work/unknown/end.png"
same unknown

finish
