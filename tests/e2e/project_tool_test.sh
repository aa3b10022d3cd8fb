#!/usr/bin/env bash
# novutool project build/show: the text description round-trips through the binary file.
set -euo pipefail
build=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/novutool" project build "$src/demo/project.txt" -o "$work/a.npb"
"$build/novutool" project show "$work/a.npb" > "$work/a.txt"
"$build/novutool" project build "$work/a.txt" -o "$work/b.npb"
cmp "$work/a.npb" "$work/b.npb"
grep -q '^title "NovuPlayer デモ"$' "$work/a.txt"
if "$build/novutool" project build /nonexistent -o "$work/c.npb" 2>/dev/null; then
  echo "a missing description must fail"; exit 1
fi
echo "ok"
