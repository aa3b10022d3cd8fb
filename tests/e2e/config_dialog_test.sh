#!/usr/bin/env bash
# The settings dialog of "/config", end to end: the player in a folder of its own beside a
# game.ini, driven headless with scripted keys and clicks, photographed with --screenshot.
# OK writes [Sound] DirectSound and DelayTime and keeps every other byte of the file; Cancel,
# the close of the script's input and a run without input write nothing.
# Usage: config_dialog_test.sh BUILD_DIR SOURCE_DIR
set -u
source "$(dirname "$0")/e2e_lib.sh" "$@"

# The player reads game.ini from its own folder: it runs from a link (or copy) in $work/app.
mkdir -p "$work/app"
ln "$player" "$work/app/novuplay" 2>/dev/null || cp "$player" "$work/app/novuplay"
app="$work/app/novuplay"
ini="$work/app/game.ini"

# Track positions 1..5 lie at these x on the bar (its row y = 82); OK and Cancel at (137, 152)
# and (217, 152); the check box at (34, 32).
track_x=(0 41 89 138 187 236)

# dialog INPUT_LINES...: runs the dialog with the input lines; the status lands in $work/status.
dialog() {
  printf '%s\n' "$@" > "$work/input"
  "$app" --headless /config --input "$work/input" --screenshot "$work/shot.png" 2> "$work/err"
  echo $? > "$work/status"
}
expect_ok_status() {
  [ "$(cat "$work/status")" = 0 ] || fail "$1: exit status $(cat "$work/status"): $(cat "$work/err")"
}
pixel() { convert "$work/shot.png" -format "%[hex:p{$1,$2}]" info: 2>/dev/null; }

# A file written on Windows: CRLF, a comment, a CP932 value and a section after [Sound].
original=$'; \x83\x51\x81\x5B\x83\x80\r\n[Sound]\r\nDelayTime=250\r\n\r\n[Video]\r\nUseWMP=1\r\nTitle=\x82\xa0\r\n'

# 1. DelayTime 250 shows position 2 and 200ms; with DirectSound (the default) the bar is grey.
#    Enter presses OK, which writes 200 and DirectSound=1 and keeps the rest.
printf '%s' "$original" > "$ini"
dialog "1 key 13"
expect_ok_status "enter"
expected=$'; \x83\x51\x81\x5B\x83\x80\r\n[Sound]\r\nDelayTime=200\r\nDirectSound=1\r\n\r\n[Video]\r\nUseWMP=1\r\nTitle=\x82\xa0\r\n'
cmp -s "$ini" <(printf '%s' "$expected") || fail "enter: game.ini is $(cat -A "$ini")"
if command -v convert >/dev/null; then
  [ "$(convert "$work/shot.png" -format '%wx%h' info:)" = 270x179 ] || fail "the screenshot is not 270x179"
  [ "$(pixel "${track_x[2]}" 82)" = CCCCCC ] || fail "enter: the thumb is not grey at position 2"
  [ "$(pixel "${track_x[5]}" 82)" != CCCCCC ] || fail "enter: a thumb at position 5"
fi

# 2. Cancel writes nothing, whatever was changed before; so do Escape and the end of the input.
for how in "Cancel:1 click 34 32 left|2 click 217 152 left" "Escape:1 key 83|2 key 27" \
  "end of input:1 key 83|2 key 68|3 key 39"; do
  name=${how%%:*}
  IFS='|' read -r -a lines <<< "${how#*:}"
  printf '%s' "$original" > "$ini"
  dialog "${lines[@]}"
  expect_ok_status "$name"
  cmp -s "$ini" <(printf '%s' "$original") || fail "$name: game.ini changed: $(cat -A "$ini")"
done

# 3. With the mouse: uncheck DirectSound, which enables the bar; press the bar at position 4,
#    photograph (the run ends at tick 3 before OK), then the same with a click on OK.
printf '%s' "$original" > "$ini"
dialog "1 click 34 32 left" "2 click ${track_x[4]} 82 left" "3 move 0 0"
expect_ok_status "mouse"
if command -v convert >/dev/null; then
  [ "$(pixel "${track_x[4]}" 82)" = 0078D7 ] || fail "mouse: the blue thumb is not at position 4"
  [ "$(pixel "${track_x[2]}" 82)" != 0078D7 ] || fail "mouse: a thumb is left at position 2"
fi
dialog "1 click 34 32 left" "2 click ${track_x[4]} 82 left" "3 click 137 152 left"
expect_ok_status "mouse OK"
grep -q $'^DirectSound=0\r$' "$ini" || fail "mouse OK: DirectSound not 0: $(cat -A "$ini")"
grep -q $'^DelayTime=400\r$' "$ini" || fail "mouse OK: DelayTime not 400: $(cat -A "$ini")"
grep -q $'^UseWMP=1\r$' "$ini" || fail "mouse OK: [Video] UseWMP lost"

# 4. Keyboard only: D to the bar (refused while DirectSound is on), S off, D, End, Tab past the
#    bar round to the check box and on to OK, Space.
printf '%s' "$original" > "$ini"
dialog "1 key 68" "2 key 83" "3 key 68" "4 key 35" "5 key 9" "6 key 9" "7 key 32"
expect_ok_status "keyboard"
grep -q $'^DelayTime=500\r$' "$ini" || fail "keyboard: DelayTime not 500: $(cat -A "$ini")"
grep -q $'^DirectSound=0\r$' "$ini" || fail "keyboard: DirectSound not 0"

# 5. Out of range values are clamped to the bar; without a game.ini OK makes one.
printf '[Sound]\nDelayTime=9000\nDirectSound=0\n' > "$ini"
dialog "1 key 13"
cmp -s "$ini" <(printf '[Sound]\nDelayTime=500\nDirectSound=0\n') || fail "clamp: $(cat -A "$ini")"
rm -f "$ini"
dialog "1 key 13"
cmp -s "$ini" <(printf '[Sound]\r\nDirectSound=1\r\nDelayTime=500\r\n') || fail "new file: $(cat -A "$ini")"

# 6. A run without input (and without --ticks) closes at once and writes nothing.
rm -f "$ini"
"$app" --headless /CONFIG 2> "$work/err" || fail "no input: exit status $?: $(cat "$work/err")"
[ ! -e "$ini" ] || fail "no input: game.ini was written"

finish
