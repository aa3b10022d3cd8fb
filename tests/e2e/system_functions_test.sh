#!/usr/bin/env bash
# System functions and system variables in small games played headless: a page computing with
# every family of functions, the system-variable walk (clock, frame counter, title, call depth),
# and scripts that try to write files outside the game's save folder.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

# ---- One page computing with functions of every family.
game families
page families main <<'PAGE'
VarNew "text" type=string value=`IntToStr(7, 3) ++ "," ++ IntToStr(-7, 3) ++ "," ++ IntToHex(255, 4) ++ "," ++ Copy("abcdef", 3)`
VarNew "replaced" type=string value=`StringReplace("aAa", "a", "b") ++ StringReplace("aAa", "a", "b", TRUE) ++ StringReplace("aAa", "a", "b", TRUE, TRUE) ++ AddDelimiter(",", "x")`
VarNew "week" type=string value=`GetWeekJStr(EncodeDate(2000, 1, 2)) ++ GetWeekStr(EncodeDate(2000, 1, 2))`
VarNew "day0" type=float value=`EncodeDate(1899, 12, 30)`
VarNew "halfpi" type=float value=`ArcTan2(1, 0) * 2 - @Pi`
VarNew "a" type=int
Calc `SetArray(a, 3, 4)`
VarNew "sizes" type=int value=`GetArraySize(a) * 100 + GetArraySize(a, 0) * 10 + GetArraySize(a, 1)`
VarNew "list" type=int
Calc `SetArray(list, 5)`
VarNew "left" type=int value=`DeleteArray(list, 3, 10)`
VarNew "fallback" type=float value=`StrToFloatDef("x", 1.5)`
VarNew "q" type=int
VarNew "calc" type=string value=`Calc("q = 5")`
VarNew "path" type=string value=`ExtractFileName("dir\\name.txt") ++ ExtractFileExt("dir\\name.txt")`
VarNew "wide" type=string value=`HanToZen("A1") ++ ZenToHan(HanToZen("b"))`
VarNew "found" type=string value=`Exists("") ++ FileExists("main.nsb") ++ VarExists("q")`
VarNew "minmax" type=int value=`Max(3, Min(9, 4)) + Abs(-10)`
Exit
PAGE
play_ok families 3
expect_vars families <<'JSON'
{"variables":[
{"name":"text","type":4,"scope":0,"dims":[],"values":["007,-007,00FF,cdef"]},
{"name":"replaced","type":4,"scope":0,"dims":[],"values":["bAabAbbbbx,"]},
{"name":"week","type":4,"scope":0,"dims":[],"values":["日Sunday"]},
{"name":"day0","type":2,"scope":0,"dims":[],"values":["0"]},
{"name":"halfpi","type":2,"scope":0,"dims":[],"values":["0"]},
{"name":"a","type":1,"scope":0,"dims":[3,4],"values":["0","0","0","0","0","0","0","0","0","0","0","0"]},
{"name":"sizes","type":1,"scope":0,"dims":[],"values":["1243"]},
{"name":"list","type":1,"scope":0,"dims":[3],"values":["0","0","0"]},
{"name":"left","type":1,"scope":0,"dims":[],"values":["3"]},
{"name":"fallback","type":2,"scope":0,"dims":[],"values":["1.5"]},
{"name":"q","type":1,"scope":0,"dims":[],"values":["5"]},
{"name":"calc","type":4,"scope":0,"dims":[],"values":["TRUE"]},
{"name":"path","type":4,"scope":0,"dims":[],"values":["name.txt.txt"]},
{"name":"wide","type":4,"scope":0,"dims":[],"values":["Ａ１b"]},
{"name":"found","type":4,"scope":0,"dims":[],"values":["FALSETRUETRUE"]},
{"name":"minmax","type":1,"scope":0,"dims":[],"values":["14"]}
]}
JSON

# ---- The system-variable walk: tick k runs at 15·k ms, the frame counter counts the ticks
# that reached the object update, the title is the project's, the call depth shows inside a
# call, and @ParamStr read as a whole in the main flow is empty.
game walk
page walk main <<'PAGE'
VarNew "t1" type=int value=`@TickCount`
VarNew "u1" type=int value=`@UpdateCount`
Wait time=`30` stop
VarNew "t2" type=int value=`@TickCount`
VarNew "u2" type=int value=`@UpdateCount`
VarNew "title" type=string value=`@Title`
VarNew "depth" type=int value=`@StackCount`
VarNew "inner" type=string
Call "sub.nsb" args=[ `"p0"` ]
VarNew "params" type=string value=`@ParamStr ++ "|" ++ IntToStr(@ParamCount)`
VarNew "delay" type=int value=`@TextDelay`
Calc `@TextDelay = "abc"`
Calc `delay = delay * 1000 + @TextDelay`
Exit
PAGE
page walk sub <<'PAGE'
Calc `depth = depth * 10 + @StackCount`
Calc `inner = @ParamStr[0] ++ IntToStr(@ParamCount) ++ "|" ++ @ParamStr`
PAGE
play_ok walk 8
expect_vars walk <<'JSON'
{"variables":[
{"name":"t1","type":1,"scope":0,"dims":[],"values":["15"]},
{"name":"u1","type":1,"scope":0,"dims":[],"values":["0"]},
{"name":"t2","type":1,"scope":0,"dims":[],"values":["60"]},
{"name":"u2","type":1,"scope":0,"dims":[],"values":["3"]},
{"name":"title","type":4,"scope":0,"dims":[],"values":["E2E walk"]},
{"name":"depth","type":1,"scope":0,"dims":[],"values":["1"]},
{"name":"inner","type":4,"scope":0,"dims":[],"values":["p01|"]},
{"name":"params","type":4,"scope":0,"dims":[],"values":["|0"]},
{"name":"delay","type":1,"scope":0,"dims":[],"values":["50050"]}
]}
JSON

# ---- Scripts that try to write outside the save folder write nothing there; a name inside it
# is written.
game escape
page escape main <<'PAGE'
VarNew "up" type=bool value=`ExtractFile("main.nsb", FALSE, "..\\escaped")`
VarNew "slash" type=bool value=`ExtractFile("main.nsb", FALSE, "../escaped")`
VarNew "absolute" type=bool value=`ExtractFile("main.nsb", FALSE, "ABSOLUTE")`
VarNew "drive" type=bool value=`ExtractFile("main.nsb", FALSE, "c:\\escaped")`
VarNew "inside" type=bool value=`ExtractFile("main.nsb", FALSE, "copies\\pages")`
VarNew "copy" type=bool value=`CopyFile("main.nsb", "save:main")`
Exit
PAGE
sed -i "s|ABSOLUTE|$work/absolute|" "$work/escape/src/main.nst"
play_ok escape 3
expect_vars escape <<'JSON'
{"variables":[
{"name":"up","type":3,"scope":0,"dims":[],"values":["FALSE"]},
{"name":"slash","type":3,"scope":0,"dims":[],"values":["FALSE"]},
{"name":"absolute","type":3,"scope":0,"dims":[],"values":["FALSE"]},
{"name":"drive","type":3,"scope":0,"dims":[],"values":["FALSE"]},
{"name":"inside","type":3,"scope":0,"dims":[],"values":["TRUE"]},
{"name":"copy","type":3,"scope":0,"dims":[],"values":["FALSE"]}
]}
JSON
[ ! -e "$work/escape/escaped" ] || fail "escape: wrote ../escaped"
[ ! -e "$work/escaped" ] || fail "escape: wrote ../../escaped"
[ ! -e "$work/absolute" ] || fail "escape: wrote an absolute path"
[ -f "$work/escape/game/copies/pages/main.nsb" ] || fail "escape: nothing written inside"
find "$work" -name 'main.nsb' -newer "$work/escape/src/main.nst" | grep -v "/escape/game/" &&
  fail "escape: a page was written outside the save folder"

# ---- Screen captures: into memory, copied into the save file (there for the next run), into
# a file inside the save folder; nothing for a path outside it, another extension or a size
# beyond the capture limit.
game shots
page shots main <<'PAGE'
VarNew "mem" type=bool value=`SaveScreen("mem:shot.fip")`
VarNew "copied" type=bool value=`CopyFile("mem:shot.fip", "save:copy.fip")`
VarNew "file" type=bool value=`SaveScreen("shots\\small.fip", 32, 24)`
VarNew "outside" type=bool value=`SaveScreen("..\\up.fip")`
VarNew "png" type=bool value=`SaveScreen("shot.png")`
VarNew "huge" type=bool value=`SaveScreen("huge.fip", 100000, 100000)`
VarNew "found" type=string value=`FileExists("mem:shot.fip") ++ FileExists("save:copy.fip")`
Exit
PAGE
play_ok shots 3
expect_vars shots <<'JSON'
{"variables":[
{"name":"mem","type":3,"scope":0,"dims":[],"values":["TRUE"]},
{"name":"copied","type":3,"scope":0,"dims":[],"values":["TRUE"]},
{"name":"file","type":3,"scope":0,"dims":[],"values":["TRUE"]},
{"name":"outside","type":3,"scope":0,"dims":[],"values":["FALSE"]},
{"name":"png","type":3,"scope":0,"dims":[],"values":["FALSE"]},
{"name":"huge","type":3,"scope":0,"dims":[],"values":["FALSE"]},
{"name":"found","type":4,"scope":0,"dims":[],"values":["TRUETRUE"]}
]}
JSON
[ -s "$work/shots/game/shots/small.fip" ] || fail "shots: no capture inside the save folder"
[ ! -e "$work/shots/up.fip" ] || fail "shots: wrote outside the save folder"
"$tool" list "$work/shots/game/save.dat" | grep -q "save:copy.fip" ||
  fail "shots: save.dat has no save:copy.fip"
ls "$work/shots/game" | grep -v -x -e game.dat -e novu.npb -e save.dat -e shots &&
  fail "shots: a temporary file was left beside save.dat"
# The next run finds the copy in the save file again.
page shots main <<'PAGE'
VarNew "again" type=bool value=`FileExists("save:copy.fip")`
Exit
PAGE
play_ok shots 3
expect_vars shots <<'JSON'
{"variables":[
{"name":"again","type":3,"scope":0,"dims":[],"values":["TRUE"]}
]}
JSON

finish
