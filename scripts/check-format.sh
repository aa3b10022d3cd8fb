#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it (the root .clang-format).
# Usage: check-format.sh [SOURCE_DIR]. Fix with: clang-format-14 -i FILE...
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "check-format: clang-format-14 is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
folders=(src tests tools bench fuzz demo)
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- "${folders[@]/%//*.cpp}" "${folders[@]/%//*.h}")
else  # an unpacked source tree without git
  mapfile -t files < <(find "${folders[@]}" -name '*.cpp' -o -name '*.h' | sort)
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "check-format: no tracked C++ files under $root" >&2
  exit 1
fi
if ! "$format" --dry-run -Werror "${files[@]}"; then
  echo "check-format: the files above are not formatted; run: $format -i FILE..." >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
