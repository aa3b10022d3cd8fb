#!/usr/bin/env bash
# Game save and load through the player: a scene saved into slot 3 and loaded by a second run
# goes on exactly as a run that never saved (variables, the trace after the saved command, the
# screen), and novutool lists the slot, describes it and extracts the screen saved with it.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

# The same pages in three games; a marker file tells the run what to do.
scene() {
  make_game "$1"
  [ -n "${2:-}" ] && echo x > "$work/$1/src/$2"
  page "$1" main <<'PAGE'
Jump "loader.nsb" if=`FileExists("load.txt")`
VarNew "hits" type=int
VarNew "steps" type=int
BoxNew PR_NAME=`"b"` PR_LEFT=`10` PR_TOP=`10` PR_WIDTH=`60` PR_HEIGHT=`40` PR_COLOR=`255`
Timer PR_NAME=`"t"` PR_ONNOTIFY=`"tick.nsb"` PR_DELAY=`75`
PropMotion `"m"` `"b"` `3` `200` `1500` `0`
Call "sub.nsb" args=[ `"7"` ]
Calc `steps = steps + 1000`
Exit
PAGE
  page "$1" sub <<'PAGE'
VarNew "inner" type=string value=`@ParamStr[0]` scope=local
Wait time=`150`
If `FileExists("save.txt")`
  GameSave `3` caption=`"three"`
Wait time=`90`
Calc `steps = steps + 1`
Wait time=`90`
Calc `steps = steps + 10`
PAGE
  page "$1" tick <<'PAGE'
Calc `hits = hits + 1`
PAGE
  page "$1" loader <<'PAGE'
GameLoad `3`
Wait time=`100000`
PAGE
}

# The save runs in tick 11, where the timer fires too; 20 ticks follow it.
save_tick=11
after=20

scene plain
play_ok plain $((save_tick + after)) --screenshot "$work/plain/shot.png"
scene saver save.txt
play_ok saver $((save_tick + 2))
scene loader load.txt
"$tool" build "$work/loader/src" -o "$work/loader/game" > /dev/null || fail "loader: build"
cp "$work/saver/game/save.dat" "$work/loader/game/save.dat" || fail "no save.dat was written"
play_ok loader $((1 + after)) --screenshot "$work/loader/shot.png"

diff "$work/plain/vars" "$work/loader/vars" > "$work/diff" ||
  fail "the loaded game's variables differ: $(cat "$work/diff")"
grep -q '"steps".*"1011"' "$work/loader/vars" || fail "the loaded game did not go on: $(cat "$work/loader/vars")"
# The trace after the saved command, without the clock.
after_clock() {
  local clock colon rest
  while read -r clock colon rest; do
    ((16#$clock >= $2)) && echo "$rest"
  done < "$1"
}
diff <(after_clock "$work/plain/trace" $(((save_tick + 1) * 15))) \
  <(after_clock "$work/loader/trace" 30) > "$work/diff" ||
  fail "the trace after the load differs: $(cat "$work/diff")"
cmp -s "$work/plain/shot.png" "$work/loader/shot.png" || fail "the screen after the load differs"

listing=$("$tool" save list "$work/saver/game/save.dat") || fail "save list: $listing"
grep -Eq '^ +3 +139 .* three$' <<<"$listing" || fail "save list: $listing"

# The slot in words: where the interpreter stood (in the called page, the caller below it),
# the local variable, the objects by class and the timer's event waiting in the queue.
shown=$("$tool" save show "$work/saver/game/save.dat" 3) || fail "save show: $shown"
for line in 'caption "three"' 'at sub.nsb:4 (Wait), started' 'arguments "7"' \
  'returns to main.nsb:7 (Calc)' 'inner string local = "7"' 'steps int global = "0"' \
  '"b" TNovuBox' '"t" TNovuTimer' '"m" TNovuPropMotion' '"tick.nsb" event 33 from "t", pending'; do
  grep -qF "$line" <<<"$shown" || fail "save show lacks '$line': $shown"
done
# The screen saved with the slot, as PNG.
"$tool" save extract "$work/saver/game/save.dat" 3 -o "$work/thumb.png" > "$work/out" 2>&1 ||
  fail "save extract: $(cat "$work/out")"
# It is the screen of the tick that saved: that of a run stopped after that tick, pixel for pixel.
scene at_save
play_ok at_save $save_tick --screenshot "$work/at_save/shot.png"
"$tool" picture tobmp "$work/thumb.png" -o "$work/thumb.bmp" > /dev/null &&
  "$tool" picture tobmp "$work/at_save/shot.png" -o "$work/at_save/shot.bmp" > /dev/null ||
  fail "picture tobmp"
cmp -s "$work/thumb.bmp" "$work/at_save/shot.bmp" || fail "the saved picture is not the screen at the save"
# (The box moves on: the screen twenty ticks later is another picture.)
"$tool" picture tobmp "$work/plain/shot.png" -o "$work/plain/shot.bmp" > /dev/null
cmp -s "$work/thumb.bmp" "$work/plain/shot.bmp" && fail "the later screen is the same picture"
# A slot that is not there, and a save whose game cannot be found, are errors, not crashes.
missing=$("$tool" save show "$work/saver/game/save.dat" 4 2>&1) && fail "save show of slot 4 succeeded"
grep -q 'holds no GAMESAVEDATA4' <<<"$missing" || fail "save show of slot 4: $missing"
missing=$("$tool" save extract "$work/saver/game/save.dat" 4 -o "$work/none.png" 2>&1) &&
  fail "save extract of slot 4 succeeded"
grep -q 'holds no GAMESAVEIMAGE4' <<<"$missing" || fail "save extract of slot 4: $missing"
mkdir -p "$work/elsewhere"
cp "$work/saver/game/save.dat" "$work/elsewhere/"
lost=$("$tool" save show "$work/elsewhere/save.dat" 3 2>&1) && fail "save show without the game succeeded"
grep -q 'sub.nsb' <<<"$lost" || fail "save show without the game: $lost"

finish
