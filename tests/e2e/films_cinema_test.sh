#!/usr/bin/env bash
# Films made with `novutool film build` in every version, played headless by a cinema: the
# screenshots at chosen ticks show each box track only inside its window (older files count
# 1/30-second frames, so their stored times are halved here), a film with a background colour
# plays in a scene of its own, and the play-end event arrives once.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

command -v convert > /dev/null || { echo "skipped: no ImageMagick"; exit 0; }

pixel() { convert "$work/$1/$2.png" -format "%[pixel:p{$3,$4}]" info:; }

# film VERSION BACKGROUND: a red box at (10, 10) for the first second and a green one at
# (200, 100) for the second, in stored frames of the version.
film() {
  local version=$1 background=$2 unit=1
  [ "$version" -le 106 ] && unit=2
  cat <<FILM
film NovuCinema $version
screen 320 240
background $background
track box
  length $((60 / unit))
  pos_start 10 10
  pos_end 10 10
  width_start 20
  height_start 20
  width_end 20
  height_end 20
  fill_start 255
  fill_end 255
track box
  start $((60 / unit))
  length $((60 / unit))
  pos_start 200 100
  pos_end 200 100
  width_start 20
  height_start 20
  width_end 20
  height_end 20
  fill_start 65280
  fill_end 65280
FILM
}

cinema_game() {
  game "$1"
  film "$2" "$3" > "$work/$1/film.txt"
  "$tool" film build "$work/$1/film.txt" -o "$work/$1/src/title.nmt" ||
    fail "$1: film build"
  "$tool" film show "$work/$1/src/title.nmt" > "$work/$1/shown.txt" || fail "$1: film show"
  grep -q "^# 120 film frames" "$work/$1/shown.txt" || fail "$1: the film is not 120 frames long"
  page "$1" main <<'PAGE'
VarNew "ends" type=int value=`0` scope=global
Cinema PR_NAME=`"c"` PR_SOURCE=`"title.nmt"` PR_ONPLAYEND=`"end.nsb"`
Wait time=`4000`
Exit
PAGE
  page "$1" end <<'PAGE'
Calc `ends = ends + 1`
PAGE
}

for version in 100 103 105 106 107 108; do
  name="v$version"
  cinema_game "$name" "$version" -1
  play_ok "$name" 30 --screenshot "$work/$name/early.png"
  [ "$(pixel "$name" early 15 15)" = "srgb(255,0,0)" ] || fail "$name: no red box at tick 30"
  [ "$(pixel "$name" early 205 105)" = "srgb(0,0,0)" ] || fail "$name: the green box came early"
  play_ok "$name" 100 --screenshot "$work/$name/late.png"
  [ "$(pixel "$name" late 15 15)" = "srgb(0,0,0)" ] || fail "$name: the red box outlived its window"
  [ "$(pixel "$name" late 205 105)" = "srgb(0,255,0)" ] || fail "$name: no green box at tick 100"
  play_ok "$name" 250
  [ "$(grep -c '<Event>end.nsb' "$work/$name/trace")" = 1 ] ||
    fail "$name: the play-end event ran $(grep -c '<Event>end.nsb' "$work/$name/trace") times"
done

# A background colour: the film plays in a scene of its own, blue where no box is.
cinema_game scene 108 16711680
play_ok scene 30 --screenshot "$work/scene/early.png"
[ "$(pixel scene early 15 15)" = "srgb(255,0,0)" ] || fail "scene: no red box"
[ "$(pixel scene early 100 200)" = "srgb(0,0,255)" ] || fail "scene: no blue background"

finish
