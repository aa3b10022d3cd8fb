#!/bin/bash
# Writes the seed corpus of the page fuzz target: the demo's pages and project file, and a few
# assembled pages with other set-table shapes and older versions.
# Arguments: the novutool binary, the source folder, the corpus folder.
set -euo pipefail
tool="$1"
src="$2"
corpus="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus"
"$tool" project build "$src/demo/project.txt" -o "$corpus/project.npb"
for page in "$src"/demo/*.nst; do
  "$tool" asm "$page" -o "$corpus/$(basename "$page" .nst).nsb"
done
printf 'page version=106\nset BoxNew PR_NAME PR_LEFT\nBoxNew PR_NAME=`"b"`\nWait time=`1`\nFlip kind=`3` names=[ `"a"` ]\n' > "$work/old.txt"
printf 'sets 70 25\nset_raw 65 "ffffffffffffffffffffffffffffffffffffffffffffffffff"\nCall "x.nsb" args=[ `1` ]\nTextIns "abc"\n' > "$work/wide.txt"
"$tool" asm "$work/old.txt" -o "$corpus/old.nsb"
"$tool" asm "$work/wide.txt" -o "$corpus/wide.nsb"
