#!/usr/bin/env bash
# Damaged game data and save files, played headless: nothing fails silently. A picture whose
# archive entry cannot be read shows as the placeholder with one warning line; a page that
# cannot be loaded is reported with the reason; a damaged save.dat is moved aside once and the
# game saves afresh; a game folder that cannot be written saves in the per-user folder and says
# where.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

# Every game here counts its runs in a status variable.
game() {
  make_game "$@"
  echo "variable int runs 0" >> "$work/$1/src/project.txt"
}

# runs_are GAME N: the variable dump of the last run holds runs = N.
runs_are() {
  grep -q "\"name\":\"runs\",\"type\":1,\"scope\":3,\"dims\":\[\],\"values\":\[\"$2\"\]" \
    "$work/$1/vars" || fail "$1: runs should be $2: $(cat "$work/$1/vars")"
}

# ---- A picture in game.dat with one byte flipped: reading it fails (its data or its checksum no
# longer match), so it shows as the placeholder, with one warning line however often it is used.
if command -v convert >/dev/null; then
  game picture
  convert -size 16x16 'xc:#3070b0' "$work/picture.png"
  # The last name in the archive, so that its data ends the file.
  "$tool" image "$work/picture.png" "$work/picture/src/zz.fip" >/dev/null
  page picture main <<'PAGE'
VarNew "after" type=int
ImgNew PR_NAME=`"sky"` PR_SOURCE=`"zz.fip"`
ImgNew PR_NAME=`"sky2"` PR_SOURCE=`"zz.fip"` PR_LEFT=`20`
Calc `after = 1`
PAGE
  play_ok picture 3
  grep -q 'zz.fip' "$work/picture/err" && fail "picture: a warning for an intact picture"
  archive="$work/picture/game/game.dat"
  stored=$("$tool" list "$archive" | awk '$NF == "zz.fip" {print $2}')
  [ "$("$tool" list "$archive" | tail -1 | awk '{print $NF}')" = zz.fip ] ||
    fail "picture: zz.fip is not the last entry"
  printf '\x5A' | dd of="$archive" bs=1 seek=$(($(stat -c %s "$archive") - stored / 2)) \
    conv=notrunc status=none
  "$tool" list "$archive" > /dev/null 2>&1 && fail "picture: the archive was not damaged"
  "$player" --headless --ticks 3 --dump-vars "$work/picture/vars" "$work/picture/game" \
    2> "$work/picture/err"
  [ $? = 0 ] || fail "picture: the damaged picture stopped the game: $(cat "$work/picture/err")"
  [ "$(grep -c 'zz.fip' "$work/picture/err")" = 1 ] ||
    fail "picture: expected one warning line: $(cat "$work/picture/err")"
  grep -q '^novuplay: 警告: zz.fip: zz.fip:.*壊れています' "$work/picture/err" ||
    fail "picture: the warning gives no reason: $(cat "$work/picture/err")"
  grep -q '"name":"after","type":1,"scope":0,"dims":\[\],"values":\["1"\]' "$work/picture/vars" ||
    fail "picture: the page did not go on: $(cat "$work/picture/vars")"
else
  echo "skipped the picture case: ImageMagick's convert is needed"
fi

# ---- A called page that cannot be loaded: the call fails with the reason said, once; the
# calling page goes on.
game pages
page pages main <<'PAGE'
VarNew "after" type=int
Call "count.nsb"
Call "count.nsb"
Calc `after = 1`
PAGE
page pages count <<'PAGE'
Calc `runs = 100`
PAGE
"$tool" build "$work/pages/src" -o "$work/pages/game" --loose >/dev/null || fail "pages: build"
# Keep the version and cut the rest: the page's data ends inside its header.
head -c 6 "$work/pages/game/count.nsb" > "$work/pages/cut" && mv "$work/pages/cut" "$work/pages/game/count.nsb"
"$player" --headless --ticks 3 --dump-vars "$work/pages/vars" "$work/pages/game" 2> "$work/pages/err"
[ $? = 0 ] || fail "pages: exit status $?: $(cat "$work/pages/err")"
[ "$(grep -c 'count.nsb' "$work/pages/err")" = 1 ] ||
  fail "pages: count.nsb should be reported once: $(cat "$work/pages/err")"
grep -A1 '^警告: count.nsb' "$work/pages/err" | grep -q '.' ||
  fail "pages: no reason for count.nsb: $(cat "$work/pages/err")"
grep -q '"name":"after","type":1,"scope":0,"dims":\[\],"values":\["1"\]' "$work/pages/vars" ||
  fail "pages: the page did not go on: $(cat "$work/pages/vars")"
runs_are pages 0

# ---- A damaged save.dat is moved aside once; the game starts afresh and saves again.
game saves
page saves main <<'PAGE'
Calc `runs = runs + 1`
PAGE
play_ok saves 2
runs_are saves 1
printf 'not an archive at all' > "$work/saves/game/save.dat"
play_ok saves 2
runs_are saves 1
aside=$(ls "$work/saves/game/" | grep '^save\.dat\.damaged-[0-9]\{8\}-[0-9]\{6\}$')
[ -n "$aside" ] || fail "saves: the damaged file was not moved aside: $(ls "$work/saves/game")"
[ -n "$aside" ] && [ "$(cat "$work/saves/game/$aside")" = "not an archive at all" ] ||
  fail "saves: the damaged file changed"
grep -q "save.dat cannot be read .*moved to $work/saves/game/$aside" "$work/saves/err" ||
  fail "saves: the move was not said: $(cat "$work/saves/err")"
play_ok saves 2
runs_are saves 2
[ -s "$work/saves/err" ] && fail "saves: said again: $(cat "$work/saves/err")"

# ---- A game folder that cannot be written: saves go to the per-user folder, which is said.
# As root every folder is writable, so the player runs as another user there.
as_player_user=()
if [ "$(id -u)" = 0 ]; then
  as_player_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  "${as_player_user[@]}" test -x "$player" 2>/dev/null || as_player_user=(skip)
fi
if [ "${as_player_user[*]}" = skip ]; then
  echo "skipped the read-only folder case: the player cannot be run as another user here"
else
  game readonly
  page readonly main <<'PAGE'
Calc `runs = runs + 1`
PAGE
  "$tool" build "$work/readonly/src" -o "$work/readonly/game" >/dev/null || fail "readonly: build"
  mkdir -p "$work/readonly/out" "$work/xdg"
  chmod 755 "$work" "$work/readonly"
  chmod 555 "$work/readonly/game"
  chmod 777 "$work/readonly/out" "$work/xdg"
  for expected in 1 2; do
    env XDG_DATA_HOME="$work/xdg" "${as_player_user[@]}" "$player" --headless --ticks 2 \
      --dump-vars "$work/readonly/out/vars" "$work/readonly/game" 2> "$work/readonly/err"
    [ $? = 0 ] || fail "readonly: exit status: $(cat "$work/readonly/err")"
    cp "$work/readonly/out/vars" "$work/readonly/vars"
    runs_are readonly "$expected"
    grep -q "cannot be written; progress is saved in $work/xdg/novuplay/.*/save.dat" \
      "$work/readonly/err" || fail "readonly: where saves go is not said: $(cat "$work/readonly/err")"
  done
  [ ! -e "$work/readonly/game/save.dat" ] || fail "readonly: a save.dat in the read-only folder"
  chmod -R u+w "$work/readonly/game"
fi

finish
