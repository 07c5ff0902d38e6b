#!/bin/sh
# Runs a Windows program of the build under Wine.
#   scripts/wine-run.sh <build dir> <program.exe> [arguments...]
# The Wine environment is the build's own (wine-umgebung.sh). Without a
# display the program runs inside a virtual X server.
set -eu
build=$(cd "$1" && pwd)
shift

if [ -z "${DISPLAY:-}" ]; then
  # Nobody sees this display: the console then prints its message boxes
  # (and says so); any other program is warned about here.
  export LUMBRIK_OHNE_ANZEIGE=1
  case $(basename "$1") in
  lumbrik-konsole.exe) ;;
  *) printf '%s\n' "wine-run.sh: kein Bildschirm (DISPLAY ist leer): $(basename "$1") läuft in einem unsichtbaren virtuellen Bildschirm; seine Fenster und Meldungsboxen sieht niemand, und eine Box wartet dort für immer." >&2 ;;
  esac
  exec xvfb-run -a "$0" "$build" "$@"
fi

skripte=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-umgebung.sh
. "$skripte/wine-umgebung.sh"

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
