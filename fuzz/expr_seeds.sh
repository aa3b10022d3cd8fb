#!/bin/bash
# Seeds for the expression fuzz targets: expr_seeds.sh stream|text NOVUTOOL OUTPUT_FOLDER.
# "stream" compiles each text with novutool into the stored form; "text" writes the texts.
set -euo pipefail
kind=$1
tool=$2
out=$3
mkdir -p "$out"
texts=(
  'x = 1 + 2 * 3'
  'a[1, i + 1] = -b * (c - 2.5)'
  's = "a\"b\n" ++ IntToStr(n, 3) ++ t'
  '(a >= 2 & a < 9) | b <> c'
  'x = $FF << 4 >> 2 ^ 7 % 3'
  'Calc("y = 2") ++ GetProp("", 3)'
  'SetArray(a, 3, 4) + a[2, 3] / 0'
  '@MouseX = @ParamStr[0] + @KeyPush[13]'
  'PushVar(a, b) & PopVar()'
  'TRUE == FALSE ++ 1.5e3'
)
i=0
for text in "${texts[@]}"; do
  if [ "$kind" = stream ]; then
    "$tool" expr -o "$out/seed$i" "$text" > /dev/null
  else
    printf '%s' "$text" > "$out/seed$i"
  fi
  i=$((i + 1))
done
