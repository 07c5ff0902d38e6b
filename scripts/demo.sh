#!/bin/sh
# The main job: builds lumbrik.dll and lumbrik-konsole.exe for Windows and
# runs the demo script against the simulated interface under Wine. With a
# display the message boxes are real windows to click; without one the
# console prints them.
#   scripts/demo.sh [build dir]      (default: build/windows)
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh demo

build=$(realpath -m "${1:-build/windows}")
cmake --preset windows -B "$build"
# The console brings lumbrik.dll and the simulated umFish40.DLL with it.
cmake --build "$build" --target lumbrik_konsole

boxen=""
if [ -z "${DISPLAY:-}" ]; then
  boxen=--boxes=console
  # Nobody would see the simulator's own window in a virtual display.
  export LUMBRIK_PANEL="${LUMBRIK_PANEL:-0}"
fi
# shellcheck disable=SC2086
exec scripts/wine-run.sh "$build" "$build/bin/lumbrik-konsole.exe" $boxen --zustand \
  hosts/konsole/demo.txt
