#!/usr/bin/env bash
# A player killed (SIGKILL) while it saves over and over never leaves a broken save.dat: after
# every kill the file is a whole archive whose entries match their checksums, the slot being
# rewritten holds either the caption it had before the run or one the run wrote (and reads back
# whole, with the counter of its caption), and the slot written before the loop is still there. The kills land at different moments of the runs;
# nothing depends on when exactly they land.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

# The saved variables hold a string of some 280 KB, so each save has real work to do.
saver_pages() {
  page saver main <<PAGE
VarNew "n" type=int
VarNew "run" type=string value=\`"$1"\`
VarNew "bulk" type=string value=\`"0123456789abcdef"\`
VarNew "i" type=int
grow:
While \`i < 14\` exit=@grown
  WhileInit \`i = i + 1\`
  Calc \`bulk = bulk ++ i ++ bulk\`
WhileLoop loop=@grow
grown:
GameSave \`2\` caption=\`"kept"\`
Wait time=\`1\`
top:
While \`TRUE\` exit=@done
  Calc \`n = n + 1\`
  GameSave \`1\` caption=\`run ++ "-" ++ n\`
  Wait time=\`1\`
WhileLoop loop=@top
done:
Exit
PAGE
}

make_game saver
save="$work/saver/game/save.dat"

# The caption of SLOT in the listing of save.dat ("" when the slot is missing).
caption_of() {
  awk -v slot="$2" '$1 == slot && $2 == 139 { print $NF }' <<<"$1"
}

old=""
# The last run ("saved") is killed only once save.dat is there, so that on a slow or busy machine
# at least one run has saved.
for kill_after in 0.05 0.3 0.25 0.5 0.35 0.6 0.45 saved; do
  run="r${kill_after#0.}"
  saver_pages "$run"
  "$tool" build "$work/saver/src" -o "$work/saver/game" > /dev/null || { fail "build"; break; }
  "$player" --headless --ticks 100000 "$work/saver/game" 2> "$work/saver/err" &
  pid=$!
  if [ "$kill_after" = saved ]; then
    for _ in $(seq 600); do [ -f "$save" ] && break; sleep 0.05; done
    sleep 0.1
  else
    sleep "$kill_after"
  fi
  kill -KILL "$pid"
  wait "$pid" 2> /dev/null

  [ -f "$save" ] || { [ -z "$old" ] && continue; fail "$run: save.dat is gone"; break; }
  "$tool" list "$save" > "$work/archive" 2>&1 || fail "$run: not a whole archive: $(cat "$work/archive")"
  listing=$("$tool" save list "$save" 2>&1) || fail "$run: save list: $listing"
  new=$(caption_of "$listing" 1)
  [ "$(caption_of "$listing" 2)" = kept ] || fail "$run: slot 2 is lost: $listing"
  if [ -n "$new" ] && [ "$new" != "$old" ] && [[ "$new" != "$run"-* ]]; then
    fail "$run: slot 1 holds '$new', neither the old '$old' nor one of this run"
  fi
  [ -n "$new" ] || [ -z "$old" ] || fail "$run: slot 1 is lost: $listing"
  # The whole slot reads back, and it is the game of its caption.
  if [ -n "$new" ]; then
    shown=$("$tool" save show "$save" 1 2>&1) || fail "$run: slot 1 does not read: $shown"
    grep -qF "n int global = \"${new##*-}\"" <<<"$shown" ||
      fail "$run: slot '$new' holds $(grep '^  n ' <<<"$shown")"
  fi
  old=$new
done
# At least one run got as far as a save (the first kills may come before any).
[ -n "$old" ] || fail "no run saved anything: $(cat "$work/saver/err")"

# A killed save leaves its temporary file beside save.dat; the next start removes them and
# nothing else.
folder=$(dirname "$save")
: > "$folder/.save.dat.AbC123"
: > "$folder/.save.dat.keep-me"
"$player" --headless --ticks 1 "$work/saver/game" 2> "$work/saver/err" ||
  fail "the player did not start after the kills: $(cat "$work/saver/err")"
left=$(find "$folder" -maxdepth 1 -name '.save.dat.??????' | wc -l)
[ "$left" -eq 0 ] || fail "$left temporary save files are left after a new start"
[ -f "$folder/.save.dat.keep-me" ] || fail "a file that is no temporary save was removed"

finish
