#!/usr/bin/env bash
# A scene of boxes, pictures, a tile and animations built with novutool from small PNG-made
# pictures and played headless: the screenshot's pixels must be what the blending rules give,
# and a click through --input reaches the picture's handler.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"
command -v convert >/dev/null || { echo "skipped: ImageMagick's convert is needed"; exit 0; }

src="$work/src"
mkdir -p "$src" "$work/png"
# Pictures: a solid 4 x 4, 2 x 2 and 4 x 4 quarters (red, green / blue, white), a 2 x 2 tile and
# the frames of two animations; a 4 x 4 picture whose right half is transparent.
convert -size 4x4 'xc:#3070b0' "$work/png/solid.png"
convert \( -size 1x1 xc:red xc:lime +append \) \( -size 1x1 xc:blue xc:white +append \) -append \
  "$work/png/quarters.png"
convert "$work/png/quarters.png" -scale 200% "$work/png/quarters4.png"
convert -size 2x2 xc:red "$work/png/tile.png"
for c in red lime blue; do convert -size 4x4 "xc:$c" "$work/png/$c.png"; done
convert -size 2x4 xc:red -size 2x4 xc:none +append "$work/png/half.png"
"$tool" image "$work/png/solid.png" "$src/solid.fip" >/dev/null
"$tool" image "$work/png/quarters.png" "$src/quarters.fip" >/dev/null
"$tool" image "$work/png/quarters4.png" "$src/quarters4.fip" >/dev/null
"$tool" image "$work/png/tile.png" "$src/tile.fip" >/dev/null
"$tool" image --duration 150 "$work/png/red.png" "$work/png/lime.png" "$src/anim2.fip" >/dev/null
"$tool" image --duration 150 "$work/png/red.png" "$work/png/lime.png" "$work/png/blue.png" \
  "$src/anim3.fip" >/dev/null
"$tool" image "$work/png/half.png" "$src/half.fip" >/dev/null

cat >"$src/project.txt" <<'PROJECT'
version 114
title "E2E images"
screen 320 240
start_page "main.nsb"
PROJECT
cat >"$src/main.nst" <<'PAGE'
VarNew "clicks" type=int
BoxNew PR_NAME=`"add"` PR_LEFT=`0` PR_TOP=`0` PR_WIDTH=`20` PR_HEIGHT=`20` PR_COLOR=`$FF8040` PR_ALPHA=`300`
BoxNew PR_NAME=`"under"` PR_LEFT=`30` PR_TOP=`0` PR_WIDTH=`20` PR_HEIGHT=`20` PR_COLOR=`$3264C8`
ImgNew PR_NAME=`"half"` PR_PRIORITY=`1` PR_SOURCE=`"solid.fip"` PR_LEFT=`32` PR_TOP=`2` PR_ALPHA=`128`
ImgNew PR_NAME=`"zoom"` PR_SOURCE=`"quarters.fip"` PR_LEFT=`60` PR_ZOOMX=`512` PR_ZOOMY=`512`
ImgNew PR_NAME=`"turn"` PR_SOURCE=`"quarters4.fip"` PR_LEFT=`100` PR_TOP=`20` PR_ANGLE=`64`
TileNew PR_NAME=`"tile"` PR_SOURCE=`"tile.fip"` PR_TOP=`40` PR_WIDTH=`12` PR_HEIGHT=`5` PR_DISTANCEX=`5` PR_DISTANCEY=`3`
ImgNew PR_NAME=`"two"` PR_SOURCE=`"anim2.fip"` PR_LEFT=`150` PR_REPEAT=`TRUE`
ImgNew PR_NAME=`"three"` PR_SOURCE=`"anim3.fip"` PR_LEFT=`170`
ImgNew PR_NAME=`"button"` PR_SOURCE=`"half.fip"` PR_LEFT=`200` PR_TOP=`100` PR_CAPTUREMASK=`TRUE` PR_ONLBTNDOWN=`"clicked.nsb"`
idle:
While `TRUE` exit=@end
  Wait time=`1000` stop
WhileLoop loop=@idle
end:
PAGE
cat >"$src/clicked.nst" <<'PAGE'
Calc `clicks = clicks + 1`
PAGE
"$tool" build "$src" -o "$work/game" >/dev/null || { echo "FAIL: build"; exit 1; }

# shot TICKS [INPUT]: plays the game and leaves $work/shot.png and $work/vars.json.
shot() {
  local args=(--headless --ticks "$1" --screenshot "$work/shot.png" --dump-vars "$work/vars.json")
  [ $# -gt 1 ] && args+=(--input "$2")
  "$player" "${args[@]}" "$work/game" 2>"$work/err" || fail "run of $1 ticks: $(cat "$work/err")"
}
# expect X Y #RRGGBB WHAT
expect() {
  local got
  got=$(convert "$work/shot.png" -crop "1x1+$1+$2" +repage -depth 8 txt:- | tail -1 |
    grep -o '#[0-9A-F]\{6\}' | head -1)
  [ "$got" = "$3" ] || fail "$4: pixel ($1, $2) is $got, expected $3"
}

shot 5
# A box at alpha 300 adds fill * 44 >> 8: (0x40, 0x80, 0xFF) -> (11, 22, 43) over black.
expect 5 5 '#0B162B' "additive box"
# (0x30, 0x70, 0xB0) at 128 over (200, 100, 50): ((255 - 128) * d + 128 * s) >> 8.
expect 33 3 '#7B6970' "picture at alpha 128"
expect 30 0 '#C86432' "box beside the picture"
expect 60 0 '#FF0000' "zoomed red quarter"
expect 63 1 '#00FF00' "zoomed green quarter"
expect 61 2 '#0000FF' "zoomed blue quarter"
expect 63 3 '#FFFFFF' "zoomed white quarter"
expect 64 0 '#000000' "right of the zoomed picture"
# A quarter turn: blue and red on top, white and green below, one column right of the control.
expect 101 20 '#0000FF' "turned picture, top left"
expect 103 20 '#FF0000' "turned picture, top right"
expect 101 22 '#FFFFFF' "turned picture, bottom left"
expect 104 23 '#00FF00' "turned picture, bottom right"
expect 100 20 '#000000' "left of the turned picture"
# Tile copies every 5 pixels across and 3 down, with gaps between.
expect 0 40 '#FF0000' "tile copy"
expect 2 40 '#000000' "gap between tile copies"
expect 5 41 '#FF0000' "second tile copy"
expect 10 40 '#FF0000' "third tile copy"
expect 0 42 '#000000' "gap between tile rows"
expect 0 43 '#FF0000' "second tile row"
expect 0 45 '#000000' "below the tile"
# 150 ms frames at 15 ms a tick: frame 1 from tick 10, the next from tick 20.
expect 151 1 '#FF0000' "two frames at tick 5"
expect 171 1 '#FF0000' "three frames at tick 5"
shot 15
expect 151 1 '#00FF00' "two frames at tick 15"
expect 171 1 '#00FF00' "three frames at tick 15"
shot 25
expect 151 1 '#FF0000' "two frames at tick 25 (repeats)"
expect 171 1 '#0000FF' "three frames at tick 25"

# A click on the transparent half of the masked picture misses; one on the opaque half hits.
printf '%s\n' "3 click 203 101 left" "5 click 201 101 left" >"$work/input.txt"
shot 10 "$work/input.txt"
grep -q '"clicks","type":1,"scope":0,"dims":\[\],"values":\["1"\]' "$work/vars.json" ||
  fail "clicks: $(grep -o '"clicks"[^}]*' "$work/vars.json")"

# The dither flag survives the run in the status data of save.dat.
mkdir -p "$work/dither"
cat >"$work/dither/project.txt" <<'PROJECT'
version 114
title "E2E dither"
screen 64 48
start_page "main.nsb"
store_status 1
PROJECT
cat >"$work/dither/main.nst" <<'PAGE'
VarNew "was" type=bool value=`@CGDither`
Calc `@CGDither = TRUE`
PAGE
"$tool" build "$work/dither" -o "$work/dither-game" >/dev/null || fail "dither game: build"
for run in 1 2; do
  "$player" --headless --ticks 3 --dump-vars "$work/dither-$run.json" "$work/dither-game" \
    2>"$work/err" || fail "dither run $run: $(cat "$work/err")"
done
grep -q '"was","type":3,"scope":0,"dims":\[\],"values":\["FALSE"\]' \
  "$work/dither-1.json" || fail "first run: $(grep -o '"was"[^}]*' "$work/dither-1.json")"
grep -q '"was","type":3,"scope":0,"dims":\[\],"values":\["TRUE"\]' \
  "$work/dither-2.json" || fail "second run: $(grep -o '"was"[^}]*' "$work/dither-2.json")"

finish
