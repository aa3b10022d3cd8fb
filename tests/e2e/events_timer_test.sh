#!/usr/bin/env bash
# Timers and the events they post, played headless on the 15 ms virtual clock: a timer every
# 100 ms, a handler interrupting a Wait that then resumes with its remaining time, a Wait that
# blocks events until it ends, and an auto-scrap timer that goes once its handler has returned.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

# ---- A timer of 100 ms made at 15 ms: its handler is entered at 135, 240, 330, 435 and 540 ms
# (each firing time is the previous one plus the interval, seen by the first frame after it).
game every
page every main <<'PAGE'
VarNew "n" type=int
Timer PR_NAME=`"t"` PR_ONNOTIFY=`"tick.nsb"` PR_DELAY=`100`
Exit
PAGE
page every tick <<'PAGE'
Calc `n = n + 1`
PAGE
play_ok every 37
grep '<Event>' "$work/every/trace" > "$work/every/events"
diff <(printf '%s\n' "00000087 : <Event>tick.nsb(1)" "000000f0 : <Event>tick.nsb(1)" \
  "0000014a : <Event>tick.nsb(1)" "000001b3 : <Event>tick.nsb(1)" \
  "0000021c : <Event>tick.nsb(1)") "$work/every/events" > "$work/diff" ||
  fail "every: event clocks differ: $(cat "$work/diff")"
expect_vars every <<'JSON'
{"variables":[
{"name":"n","type":1,"scope":0,"dims":[],"values":["5"]}
]}
JSON

# ---- A handler that deletes its own sender and yields: after resuming, @Sender is empty.
game gone
page gone main <<'PAGE'
VarNew "before" type=string value=`"-"`
VarNew "after" type=string value=`"-"`
Timer PR_NAME=`"t"` PR_ONNOTIFY=`"h.nsb"` PR_DELAY=`30`
Exit
PAGE
page gone h <<'PAGE'
Calc `before = @Sender`
ObjDel `"t"`
DoEvent
Calc `after = @Sender`
PAGE
play_ok gone 10
expect_vars gone <<'JSON'
{"variables":[
{"name":"before","type":4,"scope":0,"dims":[],"values":["t"]},
{"name":"after","type":4,"scope":0,"dims":[],"values":[""]}
]}
JSON

# ---- The handler interrupts a Wait of 300 ms; the Wait then ends at 315 ms as if it had not
# been interrupted. The timer scraps itself after its one handler: it still exists while the
# handler runs and is gone afterwards.
game interrupt
page interrupt main <<'PAGE'
VarNew "n" type=int
VarNew "inside" type=int value=`-7`
VarNew "after" type=int value=`-7`
Timer PR_NAME=`"t"` PR_ONNOTIFY=`"h.nsb"` PR_DELAY=`100` PR_AUTOSCRAP=`TRUE`
Wait time=`300`
GetProp `"t"` `26` target="after"
Calc `n = n * 10`
Exit
PAGE
page interrupt h <<'PAGE'
Calc `n = n + 1`
GetProp `"t"` `26` target="inside"
PAGE
play_ok interrupt 40
expect_trace interrupt <<'TRACE'
0000000f : main.nsb(1)
0000000f : main.nsb(2)
0000000f : main.nsb(3)
0000000f : main.nsb(4)
0000000f : main.nsb(5)
00000087 : <Event>h.nsb(1)
00000087 : h.nsb(1)
00000087 : h.nsb(2)
00000087 : main.nsb(5)
0000013b : main.nsb(6)
0000013b : main.nsb(7)
0000013b : main.nsb(8)
TRACE
expect_vars interrupt <<'JSON'
{"variables":[
{"name":"n","type":1,"scope":0,"dims":[],"values":["10"]},
{"name":"inside","type":1,"scope":0,"dims":[],"values":["100"]},
{"name":"after","type":1,"scope":0,"dims":[],"values":["-7"]}
]}
JSON

# ---- A Wait with block-events holds the timer's events back until it ends at 315 ms; the
# first handler then runs before the command after the Wait.
game block
page block main <<'PAGE'
VarNew "n" type=int
Timer PR_NAME=`"t"` PR_ONNOTIFY=`"h.nsb"` PR_DELAY=`100`
Wait time=`300` block=`TRUE`
Calc `n = n * 10`
Exit
PAGE
page block h <<'PAGE'
Calc `n = n + 1`
PAGE
play_ok block 23
expect_trace block <<'TRACE'
0000000f : main.nsb(1)
0000000f : main.nsb(2)
0000000f : main.nsb(3)
0000013b : <Event>h.nsb(1)
0000013b : h.nsb(1)
0000013b : main.nsb(4)
0000013b : main.nsb(5)
0000014a : <Event>h.nsb(1)
0000014a : h.nsb(1)
0000014a : main.nsb(5)
TRACE
expect_vars block <<'JSON'
{"variables":[
{"name":"n","type":1,"scope":0,"dims":[],"values":["11"]}
]}
JSON

finish
