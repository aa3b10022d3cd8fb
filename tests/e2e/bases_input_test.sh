#!/usr/bin/env bash
# Scripted input through a headless run: clicks, keys, a held key's repeats and the wheel reach
# the object list, whose state the game's page reads through @LClick, @MouseX, @MouseY,
# @KeyClick, @KeyRepeat and @WheelDown once a frame (DoEvent ends each pass of the loop with the
# tick); the variables are checked with --dump-vars.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

mkdir -p "$work/src"
cat >"$work/src/project.txt" <<'PROJECT'
version 114
title "E2E input"
screen 320 240
start_page "main.nsb"
PROJECT
cat >"$work/src/main.nst" <<'PAGE'
VarNew "clicks" type=int
VarNew "x" type=int
VarNew "y" type=int
VarNew "enter" type=int
VarNew "repeats" type=int
VarNew "wheel" type=int
top:
While `TRUE` exit=@done
  If `@LClick`
    Calc `clicks = clicks + 1`
    Calc `x = @MouseX`
    Calc `y = @MouseY`
  If `@KeyClick[13]`
    Calc `enter = enter + 1`
  If `@KeyRepeat[65]`
    Calc `repeats = repeats + 1`
  If `@WheelDown`
    Calc `wheel = wheel + 1`
  DoEvent
WhileLoop loop=@top
done:
Exit
PAGE
# Ticks are 15 ms apart: the key held from tick 14 repeats in that tick, 300 ms later (tick 34)
# and then every 50 ms (ticks 38, 41, ...).
cat >"$work/input.txt" <<'INPUT'
5 click 100 120 left
8 key 13
10 wheel down
12 click 200 50 left
14 keydown 65
INPUT

"$tool" build "$work/src" -o "$work/game" >/dev/null || fail "build"
"$player" --headless --ticks 40 --input "$work/input.txt" --dump-vars "$work/vars" \
  --screenshot "$work/shot.png" "$work/game" 2>"$work/err"
status=$?
[ "$status" = 0 ] || fail "exit status $status: $(cat "$work/err")"
diff <(cat <<'JSON'
{"variables":[
{"name":"clicks","type":1,"scope":0,"dims":[],"values":["2"]},
{"name":"x","type":1,"scope":0,"dims":[],"values":["200"]},
{"name":"y","type":1,"scope":0,"dims":[],"values":["50"]},
{"name":"enter","type":1,"scope":0,"dims":[],"values":["1"]},
{"name":"repeats","type":1,"scope":0,"dims":[],"values":["3"]},
{"name":"wheel","type":1,"scope":0,"dims":[],"values":["1"]}
]}
JSON
) "$work/vars" >"$work/diff" || fail "variables differ: $(cat "$work/diff")"
[ -s "$work/shot.png" ] || fail "no screenshot"

finish
