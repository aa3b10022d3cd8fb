#!/usr/bin/env bash
# Game save and load through the player: a scene saved into slot 3 and loaded by a second run
# goes on exactly as a run that never saved (variables, the trace after the saved command, the
# screen), and novutool lists the slot.
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

finish
