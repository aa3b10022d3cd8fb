#!/usr/bin/env bash
# Shows the player's desktop window on a virtual X screen, photographs the whole screen and checks
# that the toolbar dock is there with both button captions drawn; then, under a window manager,
# that the picture fills a resized window and that full screen on and off restores it.
# Usage: window_screenshot_test.sh BUILD_DIR SOURCE_DIR
set -u

build=$1

for tool in xvfb-run import; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 0
  fi
done
for tool in convert compare xwininfo xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool is needed to inspect the screenshot" >&2
    exit 1
  fi
done

if [[ "${1:-}" != --inside-x ]]; then
  unset SDL_VIDEODRIVER
  # The desktop libraries (D-Bus, the GL driver) keep allocations past exit; leaks of our own are
  # the unit tests' business, this check is about what reaches the screen.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  # -noreset: by default the X server resets whenever its last client disconnects, and a player
  # connecting during such a reset (the window polls below connect and disconnect) loses X.
  exec xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash "$0" --inside-x "$@"
fi
shift
build=$1

work=$(mktemp -d)
player_pid=
cleanup() {
  [[ -n "$player_pid" ]] && kill "$player_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Prints the id of a mapped top-level window at least as large as the toolbar, if any.
find_window() {
  local id
  for id in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ {print $1}'); do
    local info
    info=$(xwininfo -id "$id" 2>/dev/null) || continue
    grep -q "Map State: IsViewable" <<<"$info" || continue
    local width height
    width=$(awk '/^ +Width:/ {print $2}' <<<"$info")
    height=$(awk '/^ +Height:/ {print $2}' <<<"$info")
    if ((width >= 138 && height >= 22)); then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# Starts "$@" in the background and waits up to 10 s for its window; sets `window` to its id.
start_and_find_window() {
  "$@" >"$work/program.log" 2>&1 &
  player_pid=$!
  local tries
  for tries in $(seq 100); do
    if window=$(find_window); then
      return 0
    fi
    kill -0 "$player_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$player_pid" 2>/dev/null
  wait "$player_pid" 2>/dev/null
  player_pid=
  return 1
}

source_name="novuplay"
[[ -x "$build/novuplay" && -d "$build/demo" ]] || fail "build the player and the demo first"
cp -r "$build/demo" "$work/demo" # a private copy: other tests may be playing the demo
start_and_find_window "$build/novuplay" --ticks 150 "$work/demo" ||
  fail "novuplay opened no window: $(cat "$work/program.log")"

sleep 0.3 # let the first frames reach the screen
info=$(xwininfo -id "$window")
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
import -window root "$work/screen.png" || fail "could not take a screenshot"
[[ -n "${NOVU_KEEP_SCREENSHOT:-}" ]] && cp "$work/screen.png" "$NOVU_KEEP_SCREENSHOT"

pixel() { convert "$work/screen.png" -crop "1x1+$1+$2" +repage -format '%[hex:p{0,0}]' info:; }
colours_in() { convert "$work/screen.png" -crop "$1x$2+$3+$4" +repage -format %k info:; }

# The dock background shows left of the first button (margin 2, buttons 67 x 18).
dock=$(pixel "$((left + 1))" "$((top + 10))")
[[ "$dock" == F0F0F0* ]] || fail "no toolbar dock at $left,$top (found #$dock) in the $source_name window"

for index in 0 1; do
  name=$([[ $index == 0 ]] && echo "終了" || echo "画面切替")
  # Inside the button's border: the face plus the caption's ink and anti-aliased shades.
  x=$((left + 2 + index * 67 + 1))
  y=$((top + 2 + 1))
  count=$(colours_in 65 16 "$x" "$y")
  echo "button $name: $count colours"
  ((count >= 4)) || fail "button $name shows no caption ($count colours) in the $source_name window"
done

if [[ -n "$player_pid" ]]; then
  wait "$player_pid"
  status=$?
  player_pid=
  ((status == 0)) || fail "the $source_name ended with status $status: $(cat "$work/program.log")"
fi
echo "PASS: toolbar with both captions found in the $source_name window"

# Under a window manager: the picture fills a larger window with its aspect kept, and Alt+Enter
# to full screen and back restores the toolbar, the size and the scaling exactly.
if ! command -v openbox >/dev/null || ! command -v xdotool >/dev/null; then
  echo "SKIP: openbox and xdotool are needed for the full-screen check"
  exit 0
fi
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
trap 'kill "$wm_pid" 2>/dev/null; cleanup' EXIT
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
"$build/novuplay" --ticks 100000 "$work/demo" >"$work/program.log" 2>&1 &
player_pid=$!
window=
for _ in $(seq 300); do # start-up can be slow on a loaded machine
  window=$(xdotool search --onlyvisible --classname novuplay 2>/dev/null | head -1)
  [[ -n "$window" ]] && break
  kill -0 "$player_pid" 2>/dev/null || fail "novuplay ended: $(cat "$work/program.log")"
  sleep 0.1
done
[[ -n "$window" ]] || fail "novuplay opened no window under the window manager"
geometry() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}'
}
shoot() { import -window root "$work/$1.png" || fail "could not take a screenshot"; }
at() { convert "$work/$1.png" -crop "1x1+$2+$3" +repage -format '%[hex:p{0,0}]' info:; }
# A window of 1000 x 722: the 640 x 480 picture fills the 1000 x 700 below the dock at
# 933 x 700, centred with black bars 33 pixels wide.
sleep 1 # let the window manager take the window and the player draw its first frames
for _ in 1 2 3 4 5; do
  window=$(xdotool search --onlyvisible --classname novuplay 2>/dev/null | head -1)
  xdotool windowsize --sync "$window" 1000 722 2>/dev/null
  sleep 1
  read -r left top width height < <(geometry)
  ((width == 1000 && height == 722)) && break
done
((width == 1000 && height == 722)) || fail "the window is ${width}x$height after resizing"
shoot windowed
[[ "$(at windowed $((left + 1)) $((top + 10)))" == F0F0F0* ]] || fail "no toolbar after resizing"
[[ "$(at windowed $((left + 16)) $((top + 300)))" == 000000* ]] || fail "no bar left of the picture"
[[ "$(at windowed $((left + 40)) $((top + 23)))" != 000000* ]] ||
  fail "the picture does not fill the window"
xdotool windowactivate --sync "$window"
xdotool key --clearmodifiers alt+Return
sleep 1.5
read -r _ _ full_width full_height < <(geometry)
screen=$(xwininfo -root | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
[[ "${full_width}x$full_height" == "$screen" ]] ||
  fail "full screen is ${full_width}x$full_height, not $screen"
shoot full
[[ "$(at full 1 10)" != F0F0F0* ]] || fail "the toolbar stays over the full-screen picture"
[[ "$(at full 1 384)" != 000000* ]] || fail "the full-screen picture does not fill the screen"
xdotool key --clearmodifiers alt+Return
sleep 1.5
[[ "$(geometry)" == "$left $top $width $height" ]] ||
  fail "back from full screen at $(geometry), not $left $top $width $height"
shoot back
# The demo changes scenes on its own, so only what is not the game's picture is compared: the
# toolbar strip and the two bars beside the picture must be as they were.
differing_pixels() { # crop geometry -> pixels that differ between before and after
  convert "$work/windowed.png" -crop "$1" +repage "$work/before-part.png"
  convert "$work/back.png" -crop "$1" +repage "$work/after-part.png"
  compare -metric AE "$work/before-part.png" "$work/after-part.png" null: 2>&1 | cut -d' ' -f1
}
difference=0
for part in "${width}x22+${left}+${top}" "33x700+${left}+$((top + 22))" \
  "33x700+$((left + width - 33))+$((top + 22))"; do
  part_difference=$(differing_pixels "$part")
  difference=$((difference + ${part_difference%.*}))
done
[[ "$(at back $((left + 1)) $((top + 10)))" == F0F0F0* ]] || fail "no toolbar after full screen"
[[ "$(at back $((left + 16)) $((top + 300)))" == 000000* ]] || fail "the scaling changed"
((difference < width * 22 / 20)) ||
  fail "the toolbar or the bars differ from before full screen in $difference pixels"
echo "PASS: the picture fills the window, and full screen on and off restores it exactly"
