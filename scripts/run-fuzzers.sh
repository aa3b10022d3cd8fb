#!/usr/bin/env bash
# Runs every libFuzzer target of a build folder for the given number of seconds, starting from
# the seed corpus that the target's seed generator writes.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
for fuzzer in "$build"/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer"); name=${name#fuzz_}
  corpus="$build/fuzz-corpus/$name"
  mkdir -p "$corpus"
  cmake --build "$build" --target "fuzz_seeds_$name" >/dev/null 2>&1 || true
  echo "== fuzzing $name for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$corpus"
done
