#!/usr/bin/env bash
# A headless run with scripted input writes the composed frame of the screen as a PNG file of the
# project's screen size; a screenshot that cannot be written fails the run.
set -uo pipefail
build=$1
player=$build/novuplay
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A private copy of the demo, so that other tests playing it at the same time do not hold its lock.
mkdir -p "$work/demo"
cp -r "$build/demo/." "$work/demo/"
printf '%s\n' "2 move 100 100" "3 click 100 100 left" "4 key 13" "5 wheel down" \
  "6 click 320 240 right" >"$work/input.txt"

"$player" --headless --ticks 10 --input "$work/input.txt" --screenshot "$work/shot.png" \
  "$work/demo" 2>"$work/err"
status=$?
[ "$status" = 0 ] || fail "run with input and screenshot: exit status $status ($(cat "$work/err"))"
[ -s "$work/shot.png" ] || fail "no screenshot written"
if [ -s "$work/shot.png" ]; then
  signature=$(head -c 8 "$work/shot.png" | od -An -tx1 | tr -d ' \n')
  [ "$signature" = 89504e470d0a1a0a ] || fail "not a PNG file: $signature"
  # IHDR: width and height (big-endian), bit depth 8, colour type 2 (RGB).
  header=$(od -An -tx1 -j16 -N10 "$work/shot.png" | tr -d ' \n')
  [ "$header" = 00000280000001e00802 ] || fail "not a 640 x 480 8-bit RGB image: $header"
  if command -v convert >/dev/null; then
    # Nothing is placed on the demo's screen yet: the base shows its colour, black.
    colours=$(convert "$work/shot.png" -unique-colors -format '%k' info:)
    [ "$colours" = 1 ] || fail "expected one colour on the empty screen, found $colours"
  fi
fi

# A screenshot into a folder that does not exist: the run reports the failure.
"$player" --headless --ticks 3 --screenshot "$work/missing/shot.png" "$work/demo" 2>"$work/err"
status=$?
[ "$status" != 0 ] || fail "an unwritable screenshot was reported as success"
grep -q "screenshot" "$work/err" || fail "no reason given for the failed screenshot"

[ "$failures" = 0 ] || exit 1
echo "ok"
