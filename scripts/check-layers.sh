#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a folder that its own folder does not build
# on. The order of the layers is written once, in src/CMakeLists.txt: each
# `novu_subsystem(NAME DEPS novu_A novu_B ...)` says which libraries NAME stands on, and a folder
# may include its own headers and those of every folder it stands on, directly or further down.
# Usage: check-layers.sh [SOURCE_DIR]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

# "NAME DEP DEP ..." for every subsystem (a declaration may span several lines).
declarations=$(tr '\n' ' ' <src/CMakeLists.txt | grep -oE 'novu_subsystem\([^)]*\)' |
  sed -E 's/novu_subsystem\(//; s/\)//; s/ DEPS / /' |
  awk '{ line = $1; for (i = 2; i <= NF; i++) if ($i ~ /^novu_/) line = line " " substr($i, 6); print line }')

declare -A direct
while read -r name deps; do
  direct[$name]=$deps
done <<<"$declarations"

# Every folder NAME stands on, directly or through the folders it stands on.
below() {
  local -A seen=()
  local todo=(${direct[$1]:-}) next
  while [ ${#todo[@]} -gt 0 ]; do
    next=${todo[0]}
    todo=("${todo[@]:1}")
    [ -n "${seen[$next]:-}" ] && continue
    seen[$next]=1
    todo+=(${direct[$next]:-})
  done
  echo "${!seen[@]}"
}

status=0
checked=0
for folder in src/*/; do
  name=$(basename "$folder")
  if [ -z "${direct[$name]+set}" ]; then
    echo "check-layers: src/$name has no novu_subsystem line in src/CMakeLists.txt" >&2
    status=1
    continue
  fi
  allowed=" $name $(below "$name") "
  while IFS=: read -r file line text; do
    [[ "$text" =~ ^#include\ \"([a-z_]+)/ ]] || continue
    target=${BASH_REMATCH[1]}
    [ -d "src/$target" ] || continue
    checked=$((checked + 1))
    if [[ "$allowed" != *" $target "* ]]; then
      echo "$file:$line: $name may not include $target/ ($text); $name stands on:${allowed# $name}" >&2
      status=1
    fi
  done < <(grep -rnE '^#include "[a-z_]+/' "$folder" --include='*.h' --include='*.cpp' || true)
done

if [ "$status" -ne 0 ]; then
  echo "check-layers: includes above climb the layer order of src/CMakeLists.txt" >&2
  exit 1
fi
echo "check-layers: $checked includes across folders follow the layer order"
