#!/usr/bin/env bash
# The demo's settings panel: dragging the volume slider's thumb along its bar through scripted
# input sets the music's volume from the slider's value.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

[ -d "$build/demo" ] || { fail "build the demo first"; finish; exit; }
cp -r "$build/demo" "$work/demo"
# The bar starts at x 502 (panel 474 + 10, a 12-pixel button, half the 12-pixel thumb) and is
# 100 pixels long: a press at 552 sets 50, the drag to 572 sets 70.
cat > "$work/input" <<'INPUT'
40 down 552 28 left
42 move 572 28
44 up 572 28 left
INPUT
"$player" --headless --ticks 60 --input "$work/input" --dump-vars "$work/vars" "$work/demo" \
  2> "$work/err" || fail "the demo did not close normally: $(cat "$work/err")"
got=$(tr -d ' \n' < "$work/vars" | grep -o '{"name":"music_volume",[^}]*}' | grep -o '"values":\[[^]]*\]')
[ "$got" = '"values":["700"]' ] || fail "music volume after the drag: $got"

finish
