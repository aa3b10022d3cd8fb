#!/usr/bin/env bash
# The demo's question after the story, played headless: the story is clicked through as in the
# story test, then one of the two choice buttons is clicked, and the variable dump shows the
# branch the answer took (1: the star, 2: down the hill).
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

[ -d "$build/demo" ] || { fail "build the demo first"; finish; exit; }
var() { tr -d ' \n' < "$work/vars" | grep -o "{\"name\":\"$1\",[^}]*}" | grep -o '"values":\[[^]]*\]'; }

# Clicks turn the story's four pages; after the last one (tick 290) the buttons appear, at
# x 170-309 and 330-469, y 360-395.
story=$'80 click 300 400 left\n140 click 300 400 left\n245 click 196 357 left\n280 click 300 400 left\n290 click 300 400 left'
for answer in "240 ask_star 1" "400 ask_home 2"; do
  read -r x name ending <<<"$answer"
  rm -rf "$work/demo"
  cp -r "$build/demo" "$work/demo"
  printf '%s\n%s\n' "$story" "300 move $x 377" >"$work/input"
  printf '%s\n' "305 click $x 377 left" >>"$work/input"
  "$player" --headless --ticks 320 --input "$work/input" --dump-vars "$work/vars" \
    "$work/demo" 2>"$work/err" || fail "$name: the demo did not close normally: $(cat "$work/err")"
  [ "$(var story_done)" = '"values":["1"]' ] || fail "$name: the story did not end"
  [ "$(var answer)" = "\"values\":[\"$name\"]" ] || fail "$name: answer $(var answer)"
  [ "$(var ending)" = "\"values\":[\"$ending\"]" ] || fail "$name: ending $(var ending)"
done

finish
