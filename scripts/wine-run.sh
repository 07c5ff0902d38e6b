#!/bin/sh
# Runs a Windows program of a build under Wine, as a person would try it: in
# the build's Wine prefix (LUMBRIK_WINEPREFIX names another), with the
# simulated umFish40.DLL on the path. Without a display the program runs in
# a virtual one that nobody sees.
#   scripts/wine-run.sh <build dir> <program.exe> [arguments...]
set -eu
build=$(cd "$1" && pwd)
shift

if [ -z "${DISPLAY:-}" ]; then
  case " $* " in
  *" --boxes="* | *" --boxen="*) ;;
  *)
    echo "wine-run.sh: kein Bildschirm: $(basename "$1") läuft in einem unsichtbaren virtuellen Bildschirm; seine Fenster und Meldungsboxen sieht niemand (lumbrik-konsole.exe gibt Boxen mit --boxes=console als Text aus)." >&2
    ;;
  esac
  export LUMBRIK_EIGENE_ANZEIGE=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$@"
fi

# The build's Wine environment (cmake/wine.cmake writes it).
set -a
# shellcheck source=/dev/null # written by the build
. "$build/wine.env"
set +a
WINEPREFIX=${LUMBRIK_WINEPREFIX:-$WINEPREFIX}
WINEPATH="$LUMBRIK_WINEPATH${WINEPATH:+;$WINEPATH}"
export WINEPREFIX WINEPATH
"$(dirname "$0")/wine-praefix.sh" "$WINEPREFIX"

# Wine's server and own processes start apart from the program, so that they
# never hold its output: a pipe (| tee log) ends when the program does.
/usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
rc=0
wine "$@" || rc=$?
# No Wine process may outlive a virtual display: it would complain of the
# lost X connection.
if [ "${LUMBRIK_EIGENE_ANZEIGE:-}" = 1 ]; then
  wineserver -k 2>/dev/null || true
  wineserver -w
fi
exit "$rc"
