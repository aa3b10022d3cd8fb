#!/usr/bin/env bash
# Data tables in small games played headless: a table filled from a tab-separated file of the
# game's data (CP932 text, escapes, a bool column), searched, sorted, read directly and copied,
# and the same file shown by novutool; a status table that survives to the next run and Reset,
# which keeps only status tables.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

# ---- A table from the game's data.
game tables
# りんご in CP932; the last line holds a, ", b, \, c and a line break written as escapes.
printf 'name str 20\tprice int\tweight float\tripe bool\nred\t120\t1.5\tTRUE\n' \
  > "$work/tables/src/items.tsv"
printf 'red apples\t300\t2.5\tFALSE\n\n\x82\xe8\x82\xf1\x82\xb2\t80\t0.5\ttrue\n' \
  >> "$work/tables/src/items.tsv"
printf 'a\\"b\\\\c\\n\t1\n' >> "$work/tables/src/items.tsv"
page tables main <<'PAGE'
VarNew "made" type=bool value=`DBCreateTable("items", FALSE)`
VarNew "loaded" type=bool value=`DBLoadTsvFile("items.tsv")`
VarNew "count" type=int value=`DBRecordCount()`
VarNew "found" type=string value=`DBLocate("name", "red apple", FALSE, TRUE)`
Calc `found = found ++ "," ++ DBGetStr("name") ++ "," ++ IntToStr(DBGetInt("price"))`
VarNew "keys" type=string
Calc `SetArray(keys, 2)`
Calc `keys[0] = "ripe"`
Calc `keys[1] = "price"`
VarNew "down" type=bool
Calc `SetArray(down, 2)`
Calc `down[0] = TRUE`
VarNew "sorted" type=bool value=`DBSort(keys, down)`
Calc `DBFindFirst()`
VarNew "order" type=string value=`DBGetStr("name")`
Calc `DBFindNext()`
Calc `order = order ++ "|" ++ DBGetStr("name")`
Calc `DBFindNext()`
Calc `order = order ++ "|" ++ DBGetStr("name")`
Calc `DBFindNext()`
Calc `order = order ++ "|" ++ DBGetStr("name")`
VarNew "last" type=bool value=`DBFindNext()`
VarNew "weight" type=float value=`DBDirectGetFloat("items", "price", 80, FALSE, FALSE, "weight", -1)`
VarNew "price" type=int value=`DBDirectGetInt("items", "price", "0080", FALSE, FALSE, "price", -1)`
Calc `DBCreateTable("cheap", FALSE)`
Calc `DBSetActive("items")`
VarNew "copied" type=bool value=`DBCopyTable("cheap", "ripe", FALSE)`
VarNew "cheap" type=int value=`DBRecordCount("cheap")`
Exit
PAGE
play_ok tables 3
expect_vars tables <<'JSON'
{"variables":[
{"name":"made","type":3,"scope":0,"dims":[],"values":["TRUE"]},
{"name":"loaded","type":3,"scope":0,"dims":[],"values":["TRUE"]},
{"name":"count","type":1,"scope":0,"dims":[],"values":["4"]},
{"name":"found","type":4,"scope":0,"dims":[],"values":["TRUE,red,120"]},
{"name":"keys","type":4,"scope":0,"dims":[2],"values":["ripe","price"]},
{"name":"down","type":3,"scope":0,"dims":[2],"values":["TRUE","FALSE"]},
{"name":"sorted","type":3,"scope":0,"dims":[],"values":["TRUE"]},
{"name":"order","type":4,"scope":0,"dims":[],"values":["red|a\"b\\c\u000d\u000a|りんご|red apples"]},
{"name":"last","type":3,"scope":0,"dims":[],"values":["FALSE"]},
{"name":"weight","type":2,"scope":0,"dims":[],"values":["0.5"]},
{"name":"price","type":1,"scope":0,"dims":[],"values":["-1"]},
{"name":"copied","type":3,"scope":0,"dims":[],"values":["TRUE"]},
{"name":"cheap","type":1,"scope":0,"dims":[],"values":["3"]}
]}
JSON

# ---- novutool table show lists the file as the loader reads it; a bad header is an error.
"$tool" table show "$work/tables/src/items.tsv" > "$work/shown" 2> "$work/shown.err" ||
  fail "table show: $(cat "$work/shown.err")"
diff - "$work/shown" > "$work/diff" <<'SHOWN' || fail "table show differs: $(cat "$work/diff")"
fields 4 (36 bytes a record)
  0 name string 20
  1 price int
  2 weight float
  3 ripe bool
records 4
  0: name="red" price=120 weight=1.5 ripe=TRUE
  1: name="red apples" price=300 weight=2.5 ripe=FALSE
  2: name="りんご" price=80 weight=0.5 ripe=FALSE
  3: name="a\"b\\c\r\n" price=1 weight=0 ripe=FALSE
SHOWN
printf ' name int\n1\n' > "$work/bad.tsv"
"$tool" table show "$work/bad.tsv" > /dev/null 2> "$work/bad.err"
[ $? = 1 ] && grep -q "without a name" "$work/bad.err" ||
  fail "table show of a bad header: $(cat "$work/bad.err")"

# ---- A status table survives to the next run; Reset frees the other tables.
game status
page status main <<'PAGE'
If `DBCreateTable("runs", TRUE)`
  Calc `DBAddField("n", 1)`
Calc `DBSetActive("runs")`
Calc `DBInsert(DBRecordCount() + 1)`
Calc `DBCreateTable("temp", FALSE)`
Calc `DBInsert()`
Calc `DBSetActive("runs")`
Reset "after.nsb" index=0
PAGE
page status after <<'PAGE'
VarNew "active" type=string value=`DBGetActive()`
VarNew "temp" type=int value=`DBRecordCount("temp")`
VarNew "runs" type=int value=`DBRecordCount("runs")`
VarNew "last" type=int value=`DBDirectGetInt("runs", "n", DBRecordCount("runs"), FALSE, FALSE, "n", -1)`
Exit
PAGE
for run in 1 2; do
  play_ok status 5
  expect_vars status <<JSON
{"variables":[
{"name":"active","type":4,"scope":0,"dims":[],"values":[""]},
{"name":"temp","type":1,"scope":0,"dims":[],"values":["-1"]},
{"name":"runs","type":1,"scope":0,"dims":[],"values":["$run"]},
{"name":"last","type":1,"scope":0,"dims":[],"values":["$run"]}
]}
JSON
done

finish
