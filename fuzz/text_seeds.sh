#!/bin/bash
# Seeds for the text fuzz targets: text_seeds.sh markup|stream NOVUTOOL OUTPUT_FOLDER.
# "markup" writes the markup texts in CP932; "stream" compiles each with novutool at every
# stream version.
set -euo pipefail
kind=$1
tool=$2
out=$3
mkdir -p "$out"
texts=(
  'plain text, two  spaces'
  '<B>bold</B><I>italic</I><U>u</U><S>s</S> ソ表能十\<\>\\'
  '<FONT SIZE=24 COLOR=#FF0000 BCOLOR=#00ff00 SCOLOR="#0000FF" BORDER=2 SHADOW NAME="ＭＳ 明朝">大きい</FONT>'
  '<DIV ALIGN=center>中央</DIV><DIV ALIGN=right>右</DIV><INDENT>字下げ<UNDENT>'
  '<RUBY VALUE=かんじ>漢字</RUBY><NOBR>ABC</NOBR><A HREF="next\npage">リンク</A>'
  '<WAIT VALUE=-20>待つ</WAIT><EVENT VALUE="a\\b"><EVENT VALUE=end END><BR><CLEAR><BR CLEAR>'
  '<VAR NAME=name><VAR NAME="score + 1"><IMG SRC=face.fip ALIGN=top><IMG SRC="b.fip">'
  $'<PRE>line one\n  line\ttwo\n</PRE><!-- hidden --><script>x<y</script>after'
  # Styles that differ only where old versions cannot tell them apart.
  '<FONT BORDER=0>a</FONT><FONT BORDER=2>b</FONT><FONT SHADOW=3>c</FONT>d'
)
versions=(0 99 100 101 102)
i=0
for text in "${texts[@]}"; do
  printf '%s' "$text" > "$out/markup$i.txt"
  if [ "$kind" = stream ]; then
    for v in "${versions[@]}"; do
      "$tool" text compile "$out/markup$i.txt" -o "$out/seed$i-v$v.kxw" --version "$v"
    done
    rm "$out/markup$i.txt"
  else
    iconv -f UTF-8 -t CP932 "$out/markup$i.txt" > "$out/seed$i"
    rm "$out/markup$i.txt"
  fi
  i=$((i + 1))
done
if [ "$kind" = stream ]; then
  # A version-0 stream whose second character names a style the stream lacks: the plain style
  # it falls back to and the stream's one record look the same at this version.
  i32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
  char() { printf '\x01'; i32 0; i32 0; printf "$1\\x00"; i32 "$2"; }
  { i32 1; i32 1; i32 -1; i32 -1; i32 0; printf '\x00\x00\x00'; i32 0; i32 0
    i32 2; char A 0; char B 9; } > "$out/plain-fallback-v0.kxw"
fi
