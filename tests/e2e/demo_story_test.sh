#!/usr/bin/env bash
# The demo's story played headless to its end with scripted input: clicks turn the pages, the
# inline event of the bell reaches its handler, a click on the link runs the link's page, the
# wheel opens the backlog on the last page left and a click closes it; a second run over the
# same folder finds the page read to its end marked as read.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

[ -d "$build/demo" ] || { fail "build the demo first"; finish; exit; }
cp -r "$build/demo" "$work/demo"
var() { tr -d ' \n' < "$work/vars" | grep -o "{\"name\":\"$1\",[^}]*}" | grep -o '"values":\[[^]]*\]'; }
run() {
  "$player" --headless --ticks 300 --input "$work/input" --trace "$work/trace" \
    --dump-vars "$work/vars" "$work/demo" 2> "$work/err"
  [ $? = 0 ] || fail "the demo did not close normally: $(cat "$work/err")"
}

# The story starts at tick 35. Page 1 is left at tick 80, page 2 (whose bell rings 9 glyphs of
# 50 ms in) at 140; page 3 (25 glyphs, 1.25 s) has revealed its link on the star (x 184-207,
# y 345-368) by tick 240.
cat > "$work/input" <<'INPUT'
80 click 300 400 left
140 click 300 400 left
245 click 196 357 left
250 wheel up
255 click 300 200 left
260 click 300 400 left
280 click 300 400 left
INPUT
run
[ "$(var story_done)" = '"values":["1"]' ] || fail "the story did not end: $(var story_done)"
[ "$(var story_reread)" = '"values":["0"]' ] || fail "first run: read text found: $(var story_reread)"
[ "$(var wishes)" = '"values":["1"]' ] || fail "the link's handler did not run: $(var wishes)"
grep -q '<Event>story_event.nsb' "$work/trace" || fail "the bell's inline event was not handed on"
grep -q '<Event>backlog.nsb' "$work/trace" || fail "the wheel did not open the backlog"
grep -q '<Event>backlog_close.nsb' "$work/trace" || fail "the click did not close the backlog"
[ "$(var backlog_open)" = '"values":["0"]' ] || fail "the backlog stayed open"

# Page 3 was read to its end: on the second run it is shown as read.
run
[ "$(var story_done)" = '"values":["1"]' ] || fail "second run: the story did not end"
[ "$(var story_reread)" = '"values":["1"]' ] || fail "second run: read pages $(var story_reread)"

finish
