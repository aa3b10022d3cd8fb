#!/usr/bin/env bash
# The demo's right-button menu played headless: a right click on the sky opens it where the
# pointer is, with the hovered row highlighted; choosing "quit" ends the game at once, choosing
# "backlog" (once the story has a page in the history) opens the backlog.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

[ -d "$build/demo" ] || { fail "build the demo first"; finish; exit; }
cp -r "$build/demo" "$work/demo"
var() { tr -d ' \n' < "$work/vars" | grep -o "{\"name\":\"$1\",[^}]*}" | grep -o '"values":\[[^]]*\]'; }
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
run() {
  "$player" --headless --ticks "$1" --input "$work/input" --trace "$work/trace" \
    --dump-vars "$work/vars" --screenshot "$work/shot.png" "$work/demo" 2> "$work/err"
  [ $? = 0 ] || fail "the demo did not close normally: $(cat "$work/err")"
}

# The menu opens at (400, 60) over 150 ms; its rows (20 pixels, 4 apart, inside a 2-pixel border
# and a 4-pixel margin) start at y 66 and 90. The title film covers the screen until tick 70.
: > "$work/input"
run 98
pixel "$work/shot.png" 404 70 > "$work/sky_row0"
pixel "$work/shot.png" 404 94 > "$work/sky_row1"
cat > "$work/input" <<'INPUT'
80 move 400 60
80 click 400 60 right
96 move 420 98
INPUT
run 98
grep -q '<Event>menu_open.nsb' "$work/trace" || fail "the right button did not open the menu"
box=$(pixel "$work/shot.png" 404 70)
hovered=$(pixel "$work/shot.png" 404 94)
[ "$box" != "$(cat "$work/sky_row0")" ] || fail "no menu box at its place: $box"
[ "$hovered" != "$(cat "$work/sky_row1")" ] || fail "no menu row at its place: $hovered"
[ "$hovered" != "$box" ] || fail "the hovered row is not highlighted: $hovered"

# "quit": the game ends right after the choice, long before its 300 ticks.
cat >> "$work/input" <<'INPUT'
102 click 420 98 left
INPUT
run 300
grep -q '<Event>menu_choice.nsb' "$work/trace" || fail "the choice did not reach its handler"
exit_clock=$(grep -m1 ' : exit.nsb' "$work/trace" | cut -c1-8)
[ -n "$exit_clock" ] && [ $((16#$exit_clock)) -lt 2000 ] ||
  fail "quit did not end the game (exit page at ${exit_clock:-never})"

# "backlog", after the first page of the story was turned (tick 80), opens the backlog.
cat > "$work/input" <<'INPUT'
80 click 300 400 left
100 move 400 60
100 click 400 60 right
120 move 420 74
122 click 420 74 left
INPUT
run 140
[ "$(var backlog_open)" = '"values":["1"]' ] || fail "the backlog did not open: $(var backlog_open)"

finish
