#!/usr/bin/env bash
# Small games built with novutool and played headless: control flow, calls, waits, the trace
# clock, status data across runs, the exit page, Terminate and the start-up failures. Every
# page built here, and every page of the demo, also goes through disasm and back to the same
# bytes.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"
src=$src_dir

# Every game here counts its runs in a status variable.
game() {
  make_game "$@"
  echo "variable int runs 0" >> "$work/$1/src/project.txt"
}

# ---- If/Elseif/Elseif/Else: only the second Elseif's block runs; an empty false If.
game branches
page branches main <<'PAGE'
VarNew "x" type=int value=`3`
VarNew "path" type=string
If `x == 1`
  Calc `path = path ++ "if"`
Elseif `x == 2`
  Calc `path = path ++ "elseif1"`
Elseif `x == 3`
  Calc `path = path ++ "elseif2"`
Else
  Calc `path = path ++ "else"`
If `x == 0`
Calc `path = path ++ ",after"`
Exit
PAGE
play branches 3
expect_status branches 0
expect_vars branches <<'JSON'
{"variables":[
{"name":"runs","type":1,"scope":3,"dims":[],"values":["0"]},
{"name":"x","type":1,"scope":0,"dims":[],"values":["3"]},
{"name":"path","type":4,"scope":0,"dims":[],"values":["elseif2,after"]}
]}
JSON

# ---- While with Break and Continue; Call with arguments and a result (locals gone after the
# return); Jump into another page at an index.
game flow
page flow main <<'PAGE'
VarNew "i" type=int
VarNew "odd" type=int
VarNew "sum" type=int
top:
While `TRUE` exit=@done
  WhileInit `i = i + 1`
  Break `i > 9` target=@done
  Continue `i % 2 == 0` target=@top
  Call "add.nsb" result="sum" args=[ `sum` `i` ]
  Calc `odd = odd + 1`
WhileLoop loop=@top
done:
Jump "second.nsb" index=1
PAGE
page flow add <<'PAGE'
page result=int
VarNew "a" type=int value=`@ParamStr[0]` scope=local
VarNew "b" type=int value=`@ParamStr[1]` scope=local
Calc `@Result = a + b`
PAGE
page flow second <<'PAGE'
Calc `sum = -1`
Calc `sum = sum * 10`
Exit
PAGE
play flow 3
expect_status flow 0
expect_vars flow <<'JSON'
{"variables":[
{"name":"runs","type":1,"scope":3,"dims":[],"values":["0"]},
{"name":"i","type":1,"scope":0,"dims":[],"values":["10"]},
{"name":"odd","type":1,"scope":0,"dims":[],"values":["5"]},
{"name":"sum","type":1,"scope":0,"dims":[],"values":["250"]}
]}
JSON

# ---- A Wait of 500 ms ends in the 34th tick after it starts; the continue byte ends ticks;
# Exit parks the main flow (it is traced once, then nothing more happens).
game clock
page clock main <<'PAGE'
VarNew "n" type=int
Wait time=`500` stop
Calc `n = 1` stop
Calc `n = 2`
Calc `n = 3` stop
Exit
PAGE
play clock 60
expect_status clock 0
# Tick k runs at 15·k ms: the wait starts in tick 1 (0x0f) and ends in tick 35 (0x20d); the
# command after it runs in tick 36 (0x21c).
expect_trace clock <<'TRACE'
0000000f : main.nsb(1)
0000000f : main.nsb(2)
0000021c : main.nsb(3)
0000022b : main.nsb(4)
0000022b : main.nsb(5)
0000023a : main.nsb(6)
TRACE

# ---- A status variable survives to the next run through save.dat; the exit page runs at close.
game status exit.nsb
page status main <<'PAGE'
Calc `runs = runs + 1`
Exit
PAGE
page status exit <<'PAGE'
VarNew "bye" type=int value=`runs * 100`
PAGE
play status 2
[ -f "$work/status/game/save.dat" ] || fail "status: no save.dat"
"$player" --headless --ticks 2 --dump-vars "$work/status/vars" "$work/status/game" 2> /dev/null
expect_vars status <<'JSON'
{"variables":[
{"name":"runs","type":1,"scope":3,"dims":[],"values":["2"]},
{"name":"bye","type":1,"scope":0,"dims":[],"values":["200"]}
]}
JSON

# ---- Eleven pages in a row (the cache keeps ten) and back into the first, now reloaded.
game pages
for k in $(seq 0 10); do
  if [ "$k" = 10 ]; then next='Jump "p0.nsb" index=2'; else next="Jump \"p$((k + 1)).nsb\""; fi
  printf 'Calc `hops = hops + 1`\n%s\nExit\n' "$next" | page pages "p$k"
done
page pages main <<'PAGE'
VarNew "hops" type=int
Jump "p0.nsb"
PAGE
play pages 3
expect_status pages 0
grep -q '"name":"hops","type":1,"scope":0,"dims":\[\],"values":\["11"\]' \
  "$work/pages/vars" || fail "pages: $(cat "$work/pages/vars")"
[ "$(tail -1 "$work/pages/trace")" = "0000000f : p0.nsb(3)" ] ||
  fail "pages: ends at $(tail -1 "$work/pages/trace")"

# ---- Terminate closes the player before the tick limit; the commands after it never run, the
# exit page does.
game terminate exit.nsb
page terminate main <<'PAGE'
VarNew "after" type=int
Wait time=`30` stop
Terminate
Calc `after = 1`
PAGE
page terminate exit <<'PAGE'
VarNew "closing" type=bool value=`TRUE`
PAGE
play terminate 1000
expect_status terminate 0
expect_vars terminate <<'JSON'
{"variables":[
{"name":"runs","type":1,"scope":3,"dims":[],"values":["0"]},
{"name":"after","type":1,"scope":0,"dims":[],"values":["0"]},
{"name":"closing","type":3,"scope":0,"dims":[],"values":["TRUE"]}
]}
JSON
[ "$(wc -l < "$work/terminate/trace")" = 4 ] || fail "terminate: $(cat "$work/terminate/trace")"

# ---- Start-up failures: exit status 1 with the message.
game nostart
play nostart 5
expect_status nostart 1
grep -q "警告: スタートページがありません" "$work/nostart/err" ||
  fail "nostart: $(cat "$work/nostart/err")"
mkdir -p "$work/blank"
: > "$work/blank/novu.npb"
"$player" --headless --ticks 5 "$work/blank" 2> "$work/blank/err"
[ $? = 1 ] || fail "empty project: exit status"
grep -q "警告: プロジェクトがありません" "$work/blank/err" ||
  fail "empty project: $(cat "$work/blank/err")"

# ---- Every page above and the demo's pages: disasm then asm gives the same bytes.
for text in "$work"/*/src/*.nst "$src"/demo/*.nst; do
  "$tool" asm "$text" -o "$work/a.nsb" || { fail "asm $text"; continue; }
  "$tool" disasm "$work/a.nsb" > "$work/a.txt" || { fail "disasm $text"; continue; }
  "$tool" asm "$work/a.txt" -o "$work/b.nsb" || { fail "asm of disasm $text"; continue; }
  cmp -s "$work/a.nsb" "$work/b.nsb" || fail "round trip of $text"
done

finish
