#!/usr/bin/env bash
# Typed text through a headless run: "text" lines of the input script reach the edit box that
# holds the keyboard as committed text, converted to code page 932 (a character the code page
# cannot hold is left out); Enter reports its key code and the box's text to the notify handler,
# which reads the text back through GetProp.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

game typed
page typed main <<'PAGE'
VarNew "typed" type=string value=`"-"`
VarNew "bytes" type=int
VarNew "chars" type=int
VarNew "key" type=string value=`"-"`
VarNew "seen" type=string value=`"-"`
EditNew PR_NAME=`"name"` PR_LEFT=`10` PR_TOP=`10` PR_WIDTH=`200` PR_HEIGHT=`24` PR_VISIBLE=`TRUE` PR_ONNOTIFY=`"enter.nsb"`
Exit
PAGE
page typed enter <<'PAGE'
Calc `key = @ParamStr[0]`
Calc `seen = @ParamStr[1]`
GetProp `"name"` `50` target="typed"
Calc `bytes = Length(typed)`
Calc `chars = JLength(typed)`
PAGE
cat > "$work/typed/input.txt" <<'INPUT'
# the box takes the keyboard in its first update
5 text 山😀田
8 key 13
INPUT
play_ok typed 15 --input "$work/typed/input.txt"
expect_vars typed <<'JSON'
{"variables":[
{"name":"typed","type":4,"scope":0,"dims":[],"values":["山田"]},
{"name":"bytes","type":1,"scope":0,"dims":[],"values":["4"]},
{"name":"chars","type":1,"scope":0,"dims":[],"values":["2"]},
{"name":"key","type":4,"scope":0,"dims":[],"values":["13"]},
{"name":"seen","type":4,"scope":0,"dims":[],"values":["山田"]}
]}
JSON

finish
