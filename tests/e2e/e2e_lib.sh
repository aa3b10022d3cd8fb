# Shared by the end-to-end scripts: `source "$(dirname "$0")/e2e_lib.sh" "$@"` with the build
# and source folders as arguments. Sets build, src_dir, tool, player and a private work folder,
# and gives fail/finish and the small-game helpers.
build=$1
src_dir=${2:-}
tool="$build/novutool"
player="$build/novuplay"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The last line of every script: the count, and the exit status.
finish() {
  echo "$failures failed"
  [ "$failures" = 0 ]
}

# game NAME [EXIT_PAGE]: a fresh source folder with a project whose start page is main.nsb.
# A script may redefine `game` on top of `make_game`.
game() { make_game "$@"; }
make_game() {
  rm -rf "${work:?}/$1"
  mkdir -p "$work/$1/src"
  cat > "$work/$1/src/project.txt" <<PROJECT
version 114
title "E2E $1"
screen 320 240
start_page "main.nsb"
exit_page "${2:-}"
PROJECT
}

# page GAME NAME: the page text NAME.nst from standard input.
page() { cat > "$work/$1/src/$2.nst"; }

# play GAME TICKS [PLAYER OPTIONS...]: builds the game and plays it headless; the trace, the
# variables, standard error and the exit status land in $work/GAME/.
play() {
  local dir="$work/$1" ticks=$2
  shift 2
  "$tool" build "$dir/src" -o "$dir/game" > /dev/null || { fail "$dir: build"; return 1; }
  "$player" --headless --ticks "$ticks" --trace "$dir/trace" --dump-vars "$dir/vars" "$@" \
    "$dir/game" 2> "$dir/err"
  echo $? > "$dir/status"
}

# play_ok: play, and the run must close normally.
play_ok() {
  play "$@" || return 1
  expect_status "$1" 0
}

# expect_vars GAME and expect_trace GAME: the report must equal standard input.
expect_vars() {
  diff <(cat) "$work/$1/vars" > "$work/diff" || fail "$1: variables differ: $(cat "$work/diff")"
}
expect_trace() {
  diff <(cat) "$work/$1/trace" > "$work/diff" || fail "$1: trace differs: $(cat "$work/diff")"
}
expect_status() {
  [ "$(cat "$work/$1/status")" = "$2" ] ||
    fail "$1: exit status $(cat "$work/$1/status"), expected $2: $(cat "$work/$1/err")"
}
