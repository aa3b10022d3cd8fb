#!/usr/bin/env bash
# A game whose files are all inside game.dat plays, and so does the same game appended to a
# copy of the player, started without a folder argument.
set -uo pipefail
build=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() {  # expect NAME STATUS COMMAND...
  local name=$1 want=$2
  shift 2
  "$@" >"$work/out" 2>&1
  local got=$?
  if [ "$got" != "$want" ]; then
    echo "FAIL: $name: exit status $got, expected $want: $(cat "$work/out")"
    failures=$((failures + 1))
  else
    echo "ok: $name"
  fi
}

mkdir -p "$work/source" "$work/packed" "$work/solo"
"$build/novutool" build "$src/demo" --loose -o "$work/source" >/dev/null
"$build/novutool" pack "$work/source" -o "$work/packed/game.dat" >/dev/null
expect "only game.dat in the folder" 0 "$build/novuplay" --headless --ticks 50 "$work/packed"

"$build/novutool" append "$build/novuplay" "$work/packed/game.dat" -o "$work/solo/mygame" >/dev/null
chmod +x "$work/solo/mygame"
expect "game appended to the player" 0 "$work/solo/mygame" --headless --ticks 50
expect "a folder that does not exist" 1 "$build/novuplay" --headless --ticks 5 "$work/none"

# An archive whose directory trailer promises more than the file holds.
mkdir -p "$work/bad"
printf 'garbage vf' > "$work/bad/game.dat"
expect "a damaged game.dat is refused" 1 "$build/novuplay" --headless --ticks 5 "$work/bad"

echo "$failures failed"
[ "$failures" = 0 ]
