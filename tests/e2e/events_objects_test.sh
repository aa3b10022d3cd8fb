#!/usr/bin/env bash
# Objects made, changed and deleted by script commands, property motions read back through
# GetProp, and Flip switching the shown screen, played headless on the 15 ms virtual clock.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

# ---- Three motions of a timer's interval (property 26) over 1500 ms, made at 15 ms: linear
# from 0 to 100, accelerating and decelerating from 0 to 1000. The first frame shows the start,
# so the command after a Wait of 765 ms reads the values at half time (750 ms): 50, about 0.294
# and about 0.707 of the way. At the end the target is reached and the motion is gone (GetProp
# of a missing object leaves the variable as it was).
game motion
page motion main <<'PAGE'
VarNew "half" type=int value=`-1`
VarNew "inc" type=int value=`-1`
VarNew "dec" type=int value=`-1`
VarNew "alive" type=int value=`-1`
VarNew "end" type=int value=`-1`
VarNew "gone" type=int value=`-1`
Timer PR_NAME=`"t"` PR_PAUSED=`TRUE`
Timer PR_NAME=`"t2"` PR_PAUSED=`TRUE`
Timer PR_NAME=`"t3"` PR_PAUSED=`TRUE`
PropMotion `"m"` `"t"` `26` `100` `1500` `0`
PropMotion `"m2"` `"t2"` `26` `1000` `1500` `1`
PropMotion `"m3"` `"t3"` `26` `1000` `1500` `2`
Wait time=`765`
GetProp `"t"` `26` target="half"
GetProp `"t2"` `26` target="inc"
GetProp `"t3"` `26` target="dec"
GetProp `"m"` `27` target="alive"
Wait time=`1000`
GetProp `"t"` `26` target="end"
GetProp `"m"` `27` target="gone"
Exit
PAGE
play_ok motion 130
expect_vars motion <<'JSON'
{"variables":[
{"name":"half","type":1,"scope":0,"dims":[],"values":["50"]},
{"name":"inc","type":1,"scope":0,"dims":[],"values":["293"]},
{"name":"dec","type":1,"scope":0,"dims":[],"values":["707"]},
{"name":"alive","type":1,"scope":0,"dims":[],"values":["0"]},
{"name":"end","type":1,"scope":0,"dims":[],"values":["100"]},
{"name":"gone","type":1,"scope":0,"dims":[],"values":["-1"]}
]}
JSON

# ---- A timer made, changed, read and deleted by commands; reading it after ObjDel finds
# nothing, and the script goes on past a property number that is missing.
game objects
page objects main <<'PAGE'
VarNew "made" type=int value=`-1`
VarNew "changed" type=int value=`-1`
VarNew "deleted" type=int value=`-1`
VarNew "after" type=int
Timer PR_NAME=`"t"` PR_DELAY=`250` PR_PAUSED=`TRUE`
GetProp `"t"` `26` target="made"
SetProp `"t"` `26` `400`
GetProp `"t"` `26` target="changed"
SetProp `"t"` `missing` `1`
ObjDel `"t"`
Wait time=`30`
GetProp `"t"` `26` target="deleted"
Calc `after = 1`
Exit
PAGE
play_ok objects 8
expect_vars objects <<'JSON'
{"variables":[
{"name":"made","type":1,"scope":0,"dims":[],"values":["250"]},
{"name":"changed","type":1,"scope":0,"dims":[],"values":["400"]},
{"name":"deleted","type":1,"scope":0,"dims":[],"values":["-1"]},
{"name":"after","type":1,"scope":0,"dims":[],"values":["1"]}
]}
JSON

# ---- Reset removes every object: the timer made before it posts nothing afterwards.
game reset
page reset main <<'PAGE'
Timer PR_NAME=`"t"` PR_ONNOTIFY=`"h.nsb"` PR_DELAY=`30`
Reset "second.nsb" index=0
PAGE
page reset second <<'PAGE'
VarNew "n" type=int
VarNew "d" type=int value=`-1`
Wait time=`300`
GetProp `"t"` `26` target="d"
Exit
PAGE
page reset h <<'PAGE'
Calc `n = n + 1`
PAGE
play_ok reset 30
expect_vars reset <<'JSON'
{"variables":[
{"name":"n","type":1,"scope":0,"dims":[],"values":["0"]},
{"name":"d","type":1,"scope":0,"dims":[],"values":["-1"]}
]}
JSON

# ---- Flip: the shown screen turns red (colour property 8 of the current screen); a Flip shows
# the other, black screen. With a duration of 300 ms the red one stays until the time is up.
# pixel GAME: the colour of the screenshot's top-left pixel.
pixel() { convert "$work/$1/shot.png" -format '%[pixel:p{0,0}]' info:; }
flip_game() {
  game "$1"
  printf '%s\n' 'SetProp `""` `8` `255`' "$2" 'Exit' | page "$1" main
}
if command -v convert > /dev/null; then
  flip_game still ''
  flip_game flipped 'Flip'
  flip_game timed 'Flip duration=`300`'
  play still 5 --screenshot "$work/still/shot.png"
  play flipped 5 --screenshot "$work/flipped/shot.png"
  [ "$(pixel still)" = "srgb(255,0,0)" ] || fail "still: expected red, got $(pixel still)"
  [ "$(pixel flipped)" = "srgb(0,0,0)" ] || fail "flipped: expected black, got $(pixel flipped)"
  play timed 15 --screenshot "$work/timed/shot.png"
  [ "$(pixel timed)" = "srgb(255,0,0)" ] || fail "timed: switched before its time"
  play timed 30 --screenshot "$work/timed/shot.png"
  [ "$(pixel timed)" = "srgb(0,0,0)" ] || fail "timed: not switched after its time"
fi

finish
