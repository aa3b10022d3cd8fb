#!/usr/bin/env bash
# The message window played headless on the 15 ms virtual clock: when a paced page ends, a page
# at text delay 0, a negative wait, a click turning the page, TextIns holding the script until
# TextClr, two inline events, a link click with its arguments, read text remembered across runs,
# and where the window's frame, background and text ink lie on the screen.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

# window GAME EXTRA MARKUP [TEXTINS OPTIONS]: a start page with one window at (20, 160), 280 x 60,
# white 16-pixel text, filled by a TextIns that waits for the window to be emptied.
window() {
  game "$1"
  printf '%s\n' \
    "MesNew PR_NAME=\`\"m\"\` PR_LEFT=\`20\` PR_TOP=\`160\` PR_WIDTH=\`280\` PR_HEIGHT=\`60\` PR_FONTHEIGHT=\`16\` PR_FONTCOLOR=\`\$FFFFFF\` $2" \
    "TextIns markup\"$3\" target=\`\"m\"\` wait=\`TRUE\` ${4:-}" \
    'VarNew "after" type=int value=`1`' \
    'Exit' | page "$1" main
  printf '%s\n' 'TextClr `"m"`' | page "$1" end
}
event_clock() { grep -m1 "<Event>$2" "$work/$1/trace" | cut -c1-8; }
var() { tr -d ' \n' < "$work/$1/vars" | grep -o "{\"name\":\"$2\",[^}]*}" | grep -o '"values":\[[^]]*\]'; }

# ---- Five glyphs waiting 40 ms at rate 256 with a fade of 1 ms: the tick after the TextIns only
# counts the fade's start down, the first glyph comes at tick 2 and glyph k at tick
# 2 + ceil(40 k / 15), so the last at tick 13; the end is seen at tick 14 and its handler runs at
# tick 15 (0xe1). The handler empties the window and the waiting TextIns goes on in that tick.
window paced 'PR_DELAY=`1` PR_TEXTDELAY=`256` PR_ONPLAYEND=`"end.nsb"`' '<WAIT VALUE=40>abcde'
play_ok paced 30
expect_trace paced <<'TRACE'
0000000f : main.nsb(1)
0000000f : main.nsb(2)
000000e1 : <Event>end.nsb(1)
000000e1 : end.nsb(1)
000000e1 : main.nsb(2)
000000e1 : main.nsb(3)
000000e1 : main.nsb(4)
TRACE

# ---- Text delay 0: the whole page is taken in its first revealing frame (tick 2), has faded in
# by tick 3, ends in tick 4; the handler runs at tick 5 (0x4b).
window instant 'PR_DELAY=`1` PR_TEXTDELAY=`0` PR_ONPLAYEND=`"end.nsb"`' '<WAIT VALUE=40>abcdefghij'
play_ok instant 30
[ "$(event_clock instant end.nsb)" = 0000004b ] ||
  fail "text delay 0: the page ended at $(event_clock instant end.nsb), expected 0000004b"

# ---- WAIT -200 after "b" pauses 200 ms whatever the rate: "a" and "b" at tick 2, "c" at tick
# 2 + ceil(200 / 15) = 16, the end in tick 17, the handler at tick 18 (0x10e).
for rate in 0 256 1024; do
  window "neg$rate" "PR_DELAY=\`1\` PR_TEXTDELAY=\`$rate\` PR_ONPLAYEND=\`\"end.nsb\"\`" \
    '<WAIT VALUE=0>a</WAIT><WAIT VALUE=-200>b</WAIT><WAIT VALUE=0>c'
  play_ok "neg$rate" 30
  [ "$(event_clock "neg$rate" end.nsb)" = 0000010e ] ||
    fail "negative wait at rate $rate: ended at $(event_clock "neg$rate" end.nsb), expected 0000010e"
done

# ---- Two adjacent inline events are handed on, in order, once the text before them has faded
# in: taken with "ab" at tick 2, whose fade of 60 ms (64 a frame) has ended by tick 6; both
# handlers run at tick 7 (0x69).
window events 'PR_DELAY=`60` PR_TEXTDELAY=`0` PR_ONNOTIFY=`"notify.nsb"`' \
  'ab<EVENT VALUE=one><EVENT VALUE=two>c'
printf '%s\n' 'VarNew "got" type=string' 'Calc `got = got ++ @ParamStr[0] ++ ";"`' \
  > "$work/events/src/notify.nst"
play_ok events 20
[ "$(var events got)" = '"values":["one;two;"]' ] || fail "events: the handlers got $(var events got)"
[ "$(grep '<Event>notify.nsb' "$work/events/trace" | cut -c1-8 | tr '\n' ' ')" = "00000069 00000069 " ] ||
  fail "events: handed on at $(grep '<Event>notify.nsb' "$work/events/trace" | cut -c1-8 | tr '\n' ' ')"

# ---- A click on the window turns to the second page; the script waits until that page, the
# last, has ended and its handler empties the window.
window pages 'PR_DELAY=`0` PR_TEXTDELAY=`0` PR_ONLBTNDOWN=`"next.nsb"`' 'one<BR CLEAR>two'
printf '%s\n' 'VarNew "page" type=int' 'GetProp `"m"` `44` target="page"' 'Calc `page = page + 1`' \
  'SetProp `"m"` `44` `page`' \
  'If `page == 2`' '  TextClr `"m"`' > "$work/pages/src/next.nst"
printf '%s\n' '10 click 40 170 left' '20 click 40 170 left' > "$work/pages/input"
play_ok pages 40 --input "$work/pages/input"
[ "$(var pages page)" = '"values":["2"]' ] || fail "pages: page is $(var pages page), expected 2"
[ "$(var pages after)" = '"values":["1"]' ] || fail "pages: the script did not go on after TextClr"
[ "$(grep -c '<Event>next.nsb' "$work/pages/trace")" = 2 ] || fail "pages: expected two clicks"
# Until the window is emptied the command after the TextIns does not run.
play_ok pages 15 --input "$work/pages/input"
grep -q 'main.nsb(4)' "$work/pages/trace" && fail "pages: the script went on before TextClr"

# ---- A link: the click runs its handler with the run's text and the lines of its HREF; the
# window's own button-down label is not posted for it.
window link 'PR_DELAY=`0` PR_TEXTDELAY=`0` PR_ONLINK=`"link.nsb"` PR_ONLBTNDOWN=`"never.nsb"`' \
  'go <A HREF=\"north\\nfast\">there</A> now'
printf '%s\n' 'VarNew "got" type=string value=`@ParamStr[0] ++ "|" ++ @ParamStr[1] ++ "|" ++ @ParamStr[2]`' \
  > "$work/link/src/link.nst"
printf 'VarNew "never" type=int value=`1`\n' > "$work/link/src/never.nst"
# "there" starts in the fourth cell of 16 pixels: x = 20 + 48 + 22 lies in it.
printf '%s\n' '8 move 90 168' '9 click 90 168 left' > "$work/link/input"
play_ok link 20 --input "$work/link/input"
[ "$(var link got)" = '"values":["there|north|fast"]' ] ||
  fail "link: the handler got $(var link got)"
grep -q '<Event>never.nsb' "$work/link/trace" && fail "link: the window's button-down label ran"

# ---- Read text stays read: the page-start argument is "0" on the first run and "1" on a second
# run over the same folder (the read marks live in save.dat's status data).
window reads 'PR_DELAY=`0` PR_TEXTDELAY=`0` PR_ONPLAYSTART=`"start.nsb"` PR_ONPLAYEND=`"end.nsb"`' \
  'once upon a time' 'history=`TRUE`'
printf 'VarNew "seen" type=string value=`@ParamStr[0]`\n' > "$work/reads/src/start.nst"
play_ok reads 20
[ "$(var reads seen)" = '"values":["0"]' ] || fail "reads: first run saw $(var reads seen)"
play_ok reads 20
[ "$(var reads seen)" = '"values":["1"]' ] || fail "reads: second run saw $(var reads seen)"

# ---- On screen: a box behind the window is its frame (a white border of 2) and background;
# text ink lies only inside the window, nothing is drawn outside the box.
if command -v convert > /dev/null; then
  window shot 'PR_DELAY=`0` PR_TEXTDELAY=`0`' 'あいうえおかきくけこ<BR>second line'
  sed -i '1i BoxNew PR_NAME=`"frame"` PR_LEFT=`10` PR_TOP=`150` PR_WIDTH=`300` PR_HEIGHT=`80` PR_COLOR=`$402020` PR_BORDERWIDTH=`2` PR_BORDERCOLOR=`$FFFFFF`' \
    "$work/shot/src/main.nst"
  play_ok shot 10 --screenshot "$work/shot/shot.png"
  pixel() { convert "$work/shot/shot.png" -format "%[pixel:p{$1,$2}]" info:; }
  [ "$(pixel 10 150)" = "srgb(255,255,255)" ] || fail "shot: no frame at the box's corner"
  [ "$(pixel 305 225)" = "srgb(32,32,64)" ] || fail "shot: background $(pixel 305 225)"
  [ "$(pixel 5 5)" = "srgb(0,0,0)" ] || fail "shot: something drawn outside the box"
  # The window's area holds ink; painted over, the box inside its border is one colour, and the
  # screen outside the box is black.
  ink=$(convert "$work/shot/shot.png" -crop 280x60+20+160 -format "%k" info:)
  [ "$ink" -gt 1 ] || fail "shot: no text in the window"
  rest=$(convert "$work/shot/shot.png" -fill "srgb(32,32,64)" -draw "rectangle 20,160 299,219" \
    -crop 296x76+12+152 -format "%k" info:)
  [ "$rest" = 1 ] || fail "shot: ink outside the window's area ($rest colours)"
  outside=$(convert "$work/shot/shot.png" -fill black -draw "rectangle 10,150 309,229" -format "%k" info:)
  [ "$outside" = 1 ] || fail "shot: drawing outside the box ($outside colours)"
fi

finish
