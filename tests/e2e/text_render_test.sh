#!/usr/bin/env bash
# novutool text render: a page of Japanese markup drawn as PNG with the installed fonts.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tool=$build/novutool
printf '<FONT SIZE=24>吾輩は<B>猫</B>である。<RUBY VALUE="なまえ">名前</RUBY>はまだ無い。<BR>\n' > "$work/page.txt"
printf '<FONT BORDER=2>どこで</FONT><FONT SHADOW=2>生れたか</FONT></FONT>\n' >> "$work/page.txt"
"$tool" text render "$work/page.txt" -o "$work/page.png" --width 320 > "$work/out"
grep -qF '1 page(s); page 0 is 320 x ' "$work/out" || { cat "$work/out"; exit 1; }
# A PNG of the page plus an 8-pixel margin on each side.
"$tool" picture info "$work/page.png" > "$work/info"
grep -qx 'width 336' "$work/info" || { echo "unexpected size:"; cat "$work/info"; exit 1; }
# A visible height cuts the text into pages; any page can be drawn.
"$tool" text render "$work/page.txt" -o "$work/p1.png" --width 320 --height 30 --page 1 > "$work/out"
grep -qF 'page 1 is 320 x 30' "$work/out" || { cat "$work/out"; exit 1; }
# Errors: a missing file, a bad level, a missing output.
if "$tool" text render "$work/none.txt" -o "$work/x.png" 2>/dev/null; then
  echo "a missing input must fail"; exit 1
fi
if "$tool" text render "$work/page.txt" -o "$work/x.png" --aa 4 2>/dev/null; then
  echo "--aa 4 must fail"; exit 1
fi
status=0
"$tool" text render "$work/page.txt" 2>/dev/null || status=$?
[ "$status" = 2 ] || { echo "no output must be a usage error, got $status"; exit 1; }
echo "ok"
