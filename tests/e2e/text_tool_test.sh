#!/usr/bin/env bash
# novutool text compile/show: markup compiled to a glyph stream and listed.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tool=$build/novutool
printf '<B>ソ表</B>\r\n<A HREF=next>能十</A><BR CLEAR>\n<VAR NAME=score>' > "$work/a.txt"
"$tool" text compile "$work/a.txt" -o "$work/a.kxw"
"$tool" text show "$work/a.kxw" > "$work/a.show"
expect() {
  grep -qF -- "$1" "$work/a.show" || { echo "missing: $1"; cat "$work/a.show"; exit 1; }
}
expect 'version 102'
expect 'styles 2'
expect '0: users=2 colour=-1 border_colour=-1 shadow_colour=-1 size=0 flags=1 '
expect 'glyphs 6'
expect '0: char "ソ" code=835C style=0 wait=50'
expect '1: char "表" code=955C style=0 wait=50'
expect '2: char "能" code=945C style=1 wait=50 link="next"'
expect '4: br clear'
expect '5: var "score" style=1 wait=50'
expect 'text "ソ表能十\x0D\x0A"'
# Older versions: no header at 0, compiled expressions before 102.
"$tool" text compile "$work/a.txt" -o "$work/v0.kxw" --version 0
"$tool" text show "$work/v0.kxw" > "$work/a.show"
expect 'version 0'
expect '5: var (compiled expression) style=1 wait=0'
# The same text in CP932 gives the same stream.
iconv -f UTF-8 -t CP932 "$work/a.txt" > "$work/sj.txt"
"$tool" text compile --cp932 "$work/sj.txt" -o "$work/sj.kxw"
cmp "$work/a.kxw" "$work/sj.kxw"
# Errors: a link without target, and a file that is no glyph stream.
printf '<A>x</A>' > "$work/bad.txt"
if "$tool" text compile "$work/bad.txt" -o "$work/bad.kxw" 2> "$work/err"; then
  echo "an A tag without HREF must fail"; exit 1
fi
grep -q 'HREF' "$work/err"
printf 'KxWord102\xff\xff\xff\xff' > "$work/bad.kxw"
if "$tool" text show "$work/bad.kxw" 2>/dev/null; then
  echo "a negative style count must fail"; exit 1
fi
echo "ok"
