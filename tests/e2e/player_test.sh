#!/usr/bin/env bash
# The player's command-line contract: start-up outcomes and their exit statuses.
set -uo pipefail
build=$1
player=$build/novuplay
tool=$build/novutool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check NAME EXPECTED_STATUS ACTUAL_STATUS
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: exit status $3, expected $2"
    failures=$((failures + 1))
  else
    echo "ok: $1"
  fi
}

# A private copy of the demo, so that other tests playing it at the same time do not hold its lock.
mkdir -p "$work/demo"
cp -r "$build/demo/." "$work/demo/"

# The demo plays headless for 100 ticks and closes normally.
"$player" --headless --ticks 100 "$work/demo" 2>"$work/err"
check "demo runs 100 ticks" 0 $?

# A folder without a project file: start-up fails.
mkdir -p "$work/empty"
"$player" --headless --ticks 10 "$work/empty" 2>"$work/err"
check "folder without novu.npb" 1 $?
grep -q "novu.npb" "$work/err" || { echo "FAIL: no reason given"; failures=$((failures + 1)); }

# A project file newer than the player.
mkdir -p "$work/new"
sed 's/^version .*/version 115/' "$2/demo/project.txt" > "$work/new.txt"
"$tool" project build "$work/new.txt" -o "$work/new/novu.npb"
"$player" --headless --ticks 10 "$work/new" 2>"$work/err"
check "project version 115" 1 $?
grep -q "このバージョンには対応していません" "$work/err" ||
  { echo "FAIL: version message missing: $(cat "$work/err")"; failures=$((failures + 1)); }

# An empty project file.
mkdir -p "$work/blank"
: > "$work/blank/novu.npb"
"$player" --headless --ticks 10 "$work/blank" 2>"$work/err"
check "empty novu.npb" 1 $?
grep -q "警告: プロジェクトがありません" "$work/err" ||
  { echo "FAIL: empty-project message missing"; failures=$((failures + 1)); }

# One player per game folder: a second one ends at once.
mkdir -p "$work/game"
cp -r "$build/demo/." "$work/game/"
# The first player holds the lock from before its first traced command until it ends.
"$player" --headless --trace "$work/first-trace" "$work/game" 2>/dev/null &
first=$!
for _ in $(seq 200); do
  [ -s "$work/first-trace" ] && break
  kill -0 "$first" 2>/dev/null || break
  sleep 0.05
done
[ -s "$work/first-trace" ] || { echo "FAIL: the first player never started"; failures=$((failures + 1)); }
timeout 10 "$player" --headless --ticks 5 "$work/game" 2>"$work/err"
check "second player on the same folder" 1 $?
kill "$first" 2>/dev/null
wait "$first" 2>/dev/null
"$player" --headless --ticks 5 "$work/game" 2>"$work/err"
check "the folder is free again" 0 $?

# Without --headless there must be a display to show the window on: SDL's invisible drivers
# (chosen by hand, or its fall-back when no X server answers) are refused with a reason.
for case in "dummy driver|SDL_VIDEODRIVER=dummy DISPLAY=:0" \
  "unusable display|-u SDL_VIDEODRIVER DISPLAY=:987 WAYLAND_DISPLAY=novu-none XDG_RUNTIME_DIR="; do
  name=${case%%|*}
  # shellcheck disable=SC2086
  env ${case#*|} "$player" --ticks 5 "$work/demo" >"$work/out" 2>"$work/err"
  check "window without a display ($name)" 1 $?
  grep -q "no usable display" "$work/err" && grep -q -- "--headless" "$work/err" ||
    { echo "FAIL: $name: no reason given: $(cat "$work/err")"; failures=$((failures + 1)); }
done

# A bad command line, and the reports of a headless run.
"$player" --ticks 2>/dev/null
check "bad command line" 2 $?
printf '1 click 10 10 left\n2 key 0x41\n' > "$work/input.txt"
"$player" --headless --ticks 3 --seed 7 --input "$work/input.txt" \
  --dump-vars "$work/vars.json" --trace "$work/trace.txt" "$work/demo"
check "headless reports" 0 $?
grep -q '"variables"' "$work/vars.json" || { echo "FAIL: no variable dump"; failures=$((failures + 1)); }
# Report files that cannot be written: the run fails before its first tick and says why.
for case in "--dump-vars|variable dump" "--trace|trace file"; do
  option=${case%%|*}
  "$player" --headless --ticks 3 "$option" "$work/no-such-folder/report" "$work/demo" \
    >"$work/out" 2>"$work/err"
  check "$option to an unwritable path" 1 $?
  grep -q "cannot write the ${case#*|} $work/no-such-folder/report: No such file" "$work/err" ||
    { echo "FAIL: $option: no reason given: $(cat "$work/err")"; failures=$((failures + 1)); }
  [ ! -s "$work/out" ] || { echo "FAIL: $option: the run went on: $(cat "$work/out")"; failures=$((failures + 1)); }
done
printf '1 jump\n' > "$work/bad-input.txt"
"$player" --headless --ticks 3 --input "$work/bad-input.txt" "$work/demo" 2>/dev/null
check "bad input script" 2 $?

echo "$failures failed"
[ "$failures" = 0 ]
