#!/bin/sh
# The main job: builds lumbrik.dll and lumbrik-konsole.exe for Windows and
# runs the demo script against the simulated interface under Wine. With a
# display the message boxes are real windows to click; without one the
# console prints them.
#   scripts/demo.sh [build dir]      (default: build/windows)
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

build=$(realpath -m "${1:-build/windows}")
cmake --preset windows -B "$build"
cmake --build "$build"

boxen=""
if [ -z "${DISPLAY:-}" ]; then
  boxen=--boxes=console
  # Nobody would see the simulator's own window in a virtual display.
  export LUMBRIK_PANEL="${LUMBRIK_PANEL:-0}"
fi
# shellcheck disable=SC2086
exec scripts/mit-display.sh "$build" scripts/wine-run.sh "$build" \
  "$build/bin/lumbrik-konsole.exe" $boxen --zustand hosts/konsole/demo.txt
