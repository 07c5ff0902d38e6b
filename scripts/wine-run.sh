#!/bin/sh
# Runs a Windows program of the build under Wine.
#   scripts/wine-run.sh <build dir> <program.exe> [arguments...]
# The build keeps a Wine prefix of its own, created on first use, and finds
# the simulated umFish40.DLL through WINEPATH. Without a display the program
# runs inside a virtual X server.
set -eu
build=$(cd "$1" && pwd)
shift

export WINEPREFIX="${LUMBRIK_WINEPREFIX:-$build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers, no menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPATH="Z:$build/simulator${WINEPATH:+;$WINEPATH}"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a "$0" "$build" "$@"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot --init >/dev/null 2>&1
      # No window manager runs here: unmanaged windows open and close at
      # once instead of waiting for one to answer.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi

if [ -t 1 ]; then
  exec wine "$@"
fi
# Wine's helper processes (wineserver, explorer) outlive the program and
# would hold a pipe on our standard output open, so a reader like CTest
# would wait for them. They get files instead, copied out once the program ends.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
rc=0
wine "$@" >"$out" 2>"$err" || rc=$?
cat "$out"
cat "$err" >&2
exit "$rc"
