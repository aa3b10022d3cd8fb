#!/bin/bash
# novutool pack / list / extract / append round trip. Arguments: build folder, source folder.
set -euo pipefail
tool="$1/novutool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mkdir -p src/CG src/bgm src/script
for i in $(seq 200); do echo "line $i of a compressible text"; done > src/script/start.txt
head -c 20000 /dev/urandom > src/bgm/title.ogg
head -c 1000 /dev/urandom > src/CG/Bg01.fip
: > src/empty.txt

"$tool" pack src -o game.dat
"$tool" list game.dat > listing
grep -q 'compressed .* ok   script\\start.txt' listing
grep -q 'stored .* ok   bgm\\title.ogg' listing
"$tool" extract game.dat -o out > /dev/null
diff -r src out

# The listing gives the original and the stored size and their ratio.
head -1 listing | grep -q '^version 102, 4 entries$'
grep -q '^ *original  *stored  *ratio  *kind' listing
read -r original stored ratio _ < <(grep 'script\\start.txt' listing)
[ "$original" = "$(stat -c %s src/script/start.txt)" ]
[ "$stored" -lt "$original" ]
[[ "$ratio" =~ ^[0-9]+\.[0-9]%$ ]]
grep -q '^ *0  *0  *-  *stored .* empty.txt' listing

# Folders whose names differ only in case are two folders on disk: each file is read where it is.
mkdir -p cased/CG cased/cg/sub
echo one > cased/CG/Bg01.fip
echo two > cased/cg/sub/Chara.FIP
"$tool" pack cased -o cased.dat > /dev/null
"$tool" extract cased.dat -o cased-out > /dev/null
diff -r cased cased-out
# Two files whose names are equal without regard to case cannot both be entries.
mkdir -p twins/a
echo x > twins/a/Read.txt
echo y > twins/a/READ.TXT
if "$tool" pack twins -o twins.dat 2> twins.err; then exit 1; fi
grep -q 'a/READ.TXT' twins.err && grep -q 'a/Read.txt' twins.err
[ ! -e twins.dat ]

# Only the named entries, in any letter case.
"$tool" extract game.dat -o some 'cg\BG01.FIP' > /dev/null
cmp src/CG/Bg01.fip some/CG/Bg01.fip
[ ! -e some/script ]

# A single-file game: the archive appended to a program, which still runs.
cp "$(type -P true)" prog
"$tool" append prog game.dat -o single
./single
"$tool" list single | grep -q 'bgm\\title.ogg'
# A program without the trailer is not an archive.
if "$tool" list prog 2> /dev/null; then exit 1; fi

# Pictures: one saved without compression is deflated in the archive, a deflated one is stored.
mkdir -p pictures
printf 'P3\n2 2\n255\n255 0 0 0 255 0 0 0 255 9 9 9\n' > red.ppm
if command -v convert > /dev/null; then
  convert red.ppm red.png
  "$tool" image --compression none red.png pictures/raw.fip
  "$tool" image red.png pictures/zip.fip
  "$tool" pack pictures -o pictures.dat > /dev/null
  "$tool" list pictures.dat | grep -q 'compressed .* raw.fip'
  "$tool" list pictures.dat | grep -q 'stored .* zip.fip'
fi

# A flipped byte in a stored entry fails the checksum and is not extracted.
size=$(stat -c %s game.dat)
printf '\xAA' | dd of=game.dat bs=1 seek=$((size - 10)) conv=notrunc status=none
if "$tool" list game.dat > /dev/null 2>&1; then exit 1; fi
echo ok
