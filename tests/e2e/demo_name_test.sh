#!/usr/bin/env bash
# The demo asks the reader's name in the edit box on its panel: the name typed there and taken
# with Enter is the one the story tells of, and it is kept for the next run.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

[ -d "$build/demo" ] || { fail "build the demo first"; finish; exit; }
cp -r "$build/demo" "$work/demo"
name() { tr -d ' \n' < "$work/vars" | grep -o '{"name":"player_name",[^}]*}' | grep -o '"values":\[[^]]*\]'; }
# The edit box shows (and takes the keyboard) once the title film has gone, after tick 70.
printf '80 text 太郎\n85 key 13\n' > "$work/input"
"$player" --headless --ticks 95 --input "$work/input" --dump-vars "$work/vars" "$work/demo" \
  2> "$work/err" || fail "the demo did not close normally: $(cat "$work/err")"
[ "$(name)" = '"values":["太郎"]' ] || fail "the typed name was not taken: $(name)"

# The next run starts with the kept name; Enter on the box keeps it.
printf '80 key 13\n' > "$work/input"
"$player" --headless --ticks 95 --input "$work/input" --dump-vars "$work/vars" "$work/demo" \
  2> "$work/err" || fail "second run: $(cat "$work/err")"
[ "$(name)" = '"values":["太郎"]' ] || fail "second run: the kept name was lost: $(name)"

finish
