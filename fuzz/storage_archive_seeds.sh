#!/bin/bash
# Writes the seed corpus of the archive fuzz target with novutool pack.
# Arguments: the novutool binary, the corpus folder.
set -euo pipefail
tool="$1"
corpus="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/a/CG" "$work/b" "$work/c/deep/er" "$corpus"
for i in $(seq 40); do echo "compressible line $i"; done > "$work/a/CG/text.txt"
printf 'stored sound' > "$work/a/voice.ogg"
printf 'x' > "$work/b/one"
: > "$work/c/deep/er/empty.txt"
printf '\x83\x5C' > "$work/c/deep/name.txt"
"$tool" pack "$work/a" -o "$corpus/two-entries.dat" > /dev/null
"$tool" pack "$work/b" -o "$corpus/one-entry.dat" > /dev/null
"$tool" pack "$work/c" -o "$corpus/nested.dat" > /dev/null
