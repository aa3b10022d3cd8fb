#!/bin/bash
# Writes the seed corpus of the preview-menu fuzz target with novutool prevmenu build: one
# two-item menu of every version, with relative, parent-folder and absolute names.
# Arguments: the novutool binary, the corpus folder.
set -euo pipefail
tool="$1"
corpus="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus"

for version in 100 101 102 103 104 105 106; do
  {
    echo "version $version"
    echo "size 320 240"
    echo "item"
    echo "pos 10 20"
    echo "name \"Yes\""
    echo "normal \"yes.fip\""
    echo "hover_in \"..\\\\pics\\\\yes_h.fip\""
    echo "click_overlay \"C:\\\\abs.nmt\""
    echo "capture_mask 1"
    echo "item"
    echo "pos 10 60"
    echo "name \"No\""
    echo "normal \"\\\\root\\\\no.fip\""
    echo "cursor \"hand.cur\""
    if [ "$version" -gt 103 ]; then
      echo "group -1"
      echo "checked \"no_c.fip\""
    fi
  } >"$work/m$version.txt"
  "$tool" prevmenu build "$work/m$version.txt" -o "$corpus/v$version.npm"
done
