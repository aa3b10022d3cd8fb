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
  "$bench" --benchmark_color=false | tee -a "$ratios" || status=1
done
echo
echo "== ratios (ours / anchor, lower is better; NAME VALUE TARGET)"
grep '^ratio ' "$ratios" || true
exit $status
