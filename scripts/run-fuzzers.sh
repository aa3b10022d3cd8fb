#!/usr/bin/env bash
# Runs every libFuzzer target of a build folder for the given number of seconds, starting from
# the seed corpus that the target's seed generator writes. A target that crashes does not stop
# the others: every crash is listed at the end, and the exit status is then 1.
set -uo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
crashed=()
ran=0
for fuzzer in "$build"/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer"); name=${name#fuzz_}
  # fuzz_replay_NAME only replays a corpus once (the tests use it): it is not a fuzzer.
  case "$name" in replay_*) continue ;; esac
  corpus="$build/fuzz-corpus/$name"
  artifacts="$build/fuzz-artifacts/$name/"
  mkdir -p "$corpus" "$artifacts"
  cmake --build "$build" --target "fuzz_seeds_$name" >/dev/null 2>&1 || true
  echo "== fuzzing $name for ${seconds}s"
  ran=$((ran + 1))
  if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$corpus"; then
    crashed+=("$name (inputs in $artifacts)")
  fi
done
echo
if [ "$ran" = 0 ]; then
  echo "== no fuzz targets in $build/fuzz"
  exit 1
fi
if [ ${#crashed[@]} -gt 0 ]; then
  echo "== ${#crashed[@]} of $ran fuzz targets crashed:"
  printf '   %s\n' "${crashed[@]}"
  exit 1
fi
echo "== all $ran fuzz targets ran ${seconds}s without a crash"
