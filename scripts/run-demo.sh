#!/usr/bin/env bash
# Plays the bundled demo game from a build folder.
set -euo pipefail
build=${1:-build}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/novuplay" "$build/demo"
fi
echo "No display found. To play in a window, run under a desktop session (or xvfb-run)."
echo "Running headless instead: $build/novuplay --headless --ticks 200 $build/demo"
exec "$build/novuplay" --headless --ticks 200 "$build/demo"
