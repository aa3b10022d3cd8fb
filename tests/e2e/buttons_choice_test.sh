#!/usr/bin/env bash
# Buttons and a preview menu played headless with scripted input: hovering and pressing a
# button change the screenshot at its pixels to its hover and pressed pictures, a click runs
# its handler with @Sender naming it, and a preview menu built with novutool prevmenu build
# reports the chosen item through @SelStr, @SelIndex and its select event.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"
command -v convert >/dev/null || { echo "skipped: ImageMagick's convert is needed"; exit 0; }

src="$work/src"
mkdir -p "$src/menu" "$work/png"
for c in red lime blue; do convert -size 20x10 "xc:$c" "$work/png/$c.png"; done
"$tool" image "$work/png/red.png" "$src/normal.fip" >/dev/null
"$tool" image "$work/png/lime.png" "$src/hover.fip" >/dev/null
"$tool" image "$work/png/blue.png" "$src/pressed.fip" >/dev/null
"$tool" image "$work/png/red.png" "$src/menu/item.fip" >/dev/null
"$tool" image "$work/png/lime.png" "$src/menu/item_hover.fip" >/dev/null

# Two items at (0, 0) and (0, 20) of a menu placed at (100, 100); names relative to its folder.
cat >"$work/menu.txt" <<'MENU'
version 106
size 20 30
item
pos 0 0
name "Left"
normal "item.fip"
hover_in "item_hover.fip"
item
pos 0 20
name "Right"
normal "item.fip"
hover_in "item_hover.fip"
MENU
"$tool" prevmenu build "$work/menu.txt" -o "$src/menu/choice.npm" || fail "prevmenu build"
"$tool" prevmenu show "$src/menu/choice.npm" >"$work/menu-shown.txt" || fail "prevmenu show"
"$tool" prevmenu build "$work/menu-shown.txt" -o "$work/again.npm" || fail "prevmenu rebuild"
cmp -s "$src/menu/choice.npm" "$work/again.npm" || fail "show and build do not round-trip"

cat >"$src/project.txt" <<'PROJECT'
version 114
title "E2E buttons"
screen 320 240
start_page "main.nsb"
PROJECT
cat >"$src/main.nst" <<'PAGE'
VarNew "sender" type=string
VarNew "clicks" type=int
VarNew "chosen" type=string
VarNew "chosen_index" type=int value=`-5`
VarNew "selected_arg" type=string
Button PR_NAME=`"yes"` PR_SOURCE=`"normal.fip"` PR_HOVERSOURCE=`"hover.fip"` PR_PRESSEDSOURCE=`"pressed.fip"` PR_LEFT=`20` PR_TOP=`20` PR_ONNOTIFY=`"clicked.nsb"`
PrevMenuNew PR_NAME=`"menu"` PR_SOURCE=`"menu\choice.npm"` PR_LEFT=`100` PR_TOP=`100` PR_ONSELECT=`"chosen.nsb"`
idle:
While `TRUE` exit=@end
  Wait time=`1000` stop
WhileLoop loop=@idle
end:
PAGE
cat >"$src/clicked.nst" <<'PAGE'
Calc `sender = @Sender`
Calc `clicks = clicks + 1`
PAGE
cat >"$src/chosen.nst" <<'PAGE'
Calc `chosen = @SelStr`
Calc `chosen_index = @SelIndex`
Calc `selected_arg = @ParamStr[0]`
PAGE
"$tool" build "$src" -o "$work/game" >/dev/null || fail "build"

# shot TICKS INPUT: plays the game and leaves $work/shot.png and $work/vars.json.
shot() {
  "$player" --headless --ticks "$1" --input "$2" --screenshot "$work/shot.png" \
    --dump-vars "$work/vars.json" "$work/game" 2>"$work/err" || fail "run of $1: $(cat "$work/err")"
}
# expect X Y #RRGGBB WHAT
expect() {
  local got
  got=$(convert "$work/shot.png" -crop "1x1+$1+$2" +repage -depth 8 txt:- | tail -1 |
    grep -o '#[0-9A-F]\{6\}' | head -1)
  [ "$got" = "$3" ] || fail "$4: pixel ($1, $2) is $got, expected $3"
}
# var NAME VALUE
var() {
  grep -q "\"$1\",\"type\":[0-9],\"scope\":0,\"dims\":\[\],\"values\":\[\"$2\"\]" \
    "$work/vars.json" || fail "$1: $(grep -o "\"$1\"[^}]*" "$work/vars.json")"
}

printf '%s\n' "# nothing" >"$work/none.txt"
shot 4 "$work/none.txt"
expect 25 25 '#FF0000' "button at rest"
expect 105 105 '#FF0000' "menu item at rest"

printf '%s\n' "2 move 25 25" "3 move 105 125" >"$work/hover.txt"
shot 5 "$work/hover.txt"
expect 25 25 '#FF0000' "button after the pointer left it"
expect 105 125 '#00FF00' "hovered menu item"
expect 105 105 '#FF0000' "the other menu item"

printf '%s\n' "2 move 25 25" >"$work/hover-button.txt"
shot 4 "$work/hover-button.txt"
expect 25 25 '#00FF00' "hovered button"

printf '%s\n' "2 move 25 25" "3 down 25 25 left" >"$work/press.txt"
shot 5 "$work/press.txt"
expect 25 25 '#0000FF' "pressed button"
var clicks 0

printf '%s\n' "2 move 25 25" "3 click 25 25 left" "8 click 105 125 left" >"$work/click.txt"
shot 14 "$work/click.txt"
var clicks 1
var sender yes
var chosen Right
var chosen_index 1
var selected_arg Right

finish
