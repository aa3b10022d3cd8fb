#!/usr/bin/env bash
# A slider dragged through --input: a press on its bar sets the value and grabs the thumb
# (hold), moving the pointer drags it (one notify per change, with the value), releasing posts
# release. A selection image from a region map built by novutool mapfile reports the region
# clicked. The handlers record what they saw in variables, checked with --dump-vars.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"
command -v convert >/dev/null || { echo "skipped: ImageMagick's convert is needed"; exit 0; }

src="$work/src"
mkdir -p "$src" "$work/png"
# The bar's two 4 x 4 halves, the thumb's three 6 x 4 cells, the buttons' six 6 x 6 cells.
convert -size 4x4 xc:blue xc:lime +append "$work/png/bar.png"
convert -size 6x4 xc:gray xc:white xc:yellow +append "$work/png/thumb.png"
convert -size 36x6 xc:navy "$work/png/buttons.png"
convert -size 40x20 xc:red "$work/png/base.png"
convert -size 40x20 xc:lime "$work/png/hover.png"
for name in bar thumb buttons base hover; do
  "$tool" image "$work/png/$name.png" "$src/$name.fip" >/dev/null || fail "image $name"
done
cat >"$work/rooms.txt" <<'MAP'
rect "hall" 0 0 19 19
ellipse "garden" 20 0 39 19
MAP
"$tool" mapfile build "$work/rooms.txt" -o "$src/rooms.map" || fail "mapfile build"
[ "$("$tool" mapfile show "$src/rooms.map")" = "$(cat "$work/rooms.txt")" ] ||
  fail "mapfile show does not give the description back"

cat >"$src/project.txt" <<'PROJECT'
version 114
title "E2E sliders"
screen 320 240
start_page "main.nsb"
PROJECT
# The slider's bar runs from x = 50 + 6 (button) + 3 (half the thumb) = 59, 100 pixels long for
# 0 .. 100, at y 101 .. 104.
cat >"$src/main.nst" <<'PAGE'
VarNew "notes" type=string
VarNew "holds" type=int
VarNew "releases" type=int
VarNew "value" type=int
VarNew "picked" type=string
SliderNew PR_NAME=`"volume"` PR_SOURCE=`"bar.fip"` PR_THUMBSOURCE=`"thumb.fip"` PR_BUTTONSOURCE=`"buttons.fip"` PR_MAX=`100` PR_BARSIZE=`100` PR_LEFT=`50` PR_TOP=`100` PR_ONNOTIFY=`"notify.nsb"` PR_ONHOLD=`"hold.nsb"` PR_ONRELEASE=`"release.nsb"`
MapImgNew PR_NAME=`"rooms"` PR_SOURCE=`"base.fip"` PR_HOVERSOURCE=`"hover.fip"` PR_MAPSOURCE=`"rooms.map"` PR_LEFT=`200` PR_TOP=`20` PR_ONSELECT=`"picked.nsb"`
idle:
While `TRUE` exit=@end
  Wait time=`1000` stop
WhileLoop loop=@idle
end:
PAGE
cat >"$src/notify.nst" <<'PAGE'
Calc `notes = notes ++ @ParamStr[0] ++ ";"`
PAGE
cat >"$src/hold.nst" <<'PAGE'
Calc `holds = holds + 1`
PAGE
cat >"$src/release.nst" <<'PAGE'
Calc `releases = releases + 1`
Calc `value = GetProp("volume", 125)`
PAGE
cat >"$src/picked.nst" <<'PAGE'
Calc `picked = @ParamStr[0] ++ "/" ++ @ParamStr[1] ++ "/" ++ @SelStr`
PAGE
cat >"$work/input.txt" <<'INPUT'
5 down 69 102 left
7 move 89 102
9 move 109 103
11 move 300 102
13 up 300 102 left
16 click 235 30 left
INPUT

"$tool" build "$src" -o "$work/game" >/dev/null || { echo "FAIL: build"; exit 1; }
"$player" --headless --ticks 30 --input "$work/input.txt" --dump-vars "$work/vars" \
  --screenshot "$work/shot.png" "$work/game" 2>"$work/err" || fail "run: $(cat "$work/err")"
diff <(cat <<'JSON'
{"variables":[
{"name":"notes","type":4,"scope":0,"dims":[],"values":["10;30;50;100;"]},
{"name":"holds","type":1,"scope":0,"dims":[],"values":["1"]},
{"name":"releases","type":1,"scope":0,"dims":[],"values":["1"]},
{"name":"value","type":1,"scope":0,"dims":[],"values":["100"]},
{"name":"picked","type":4,"scope":0,"dims":[],"values":["garden/1/garden"]}
]}
JSON
) "$work/vars" >"$work/diff" || fail "variables differ: $(cat "$work/diff")"

# The whole bar shows its right half (green) now that the thumb stands at the maximum.
got=$(convert "$work/shot.png" -crop "1x1+100+102" +repage -depth 8 txt:- | tail -1 |
  grep -o '#[0-9A-F]\{6\}' | head -1)
[ "$got" = "#00FF00" ] || fail "the bar at (100, 102) is $got, expected #00FF00"

finish
