#!/usr/bin/env bash
# Runs every benchmark of a build folder and ends with all the ratio lines together.
set -uo pipefail
build=${1:-build}
ratios=$(mktemp)
trap 'rm -f "$ratios"' EXIT
status=0
for bench in "$build"/bench/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  # No line may start with a terminal escape code, whatever a benchmark binary prints.
  "$bench" --benchmark_color=false | sed -u 's/\x1b\[[0-9;]*[A-Za-z]//g' | tee -a "$ratios" ||
    status=1
done
echo
echo "== ratios (ours / anchor, lower is better; NAME VALUE TARGET)"
grep '^ratio ' "$ratios" || true
exit $status
