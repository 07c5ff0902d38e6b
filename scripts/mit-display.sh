#!/bin/sh
# Runs a command with an X display: the one there is, or else a virtual one.
# Afterwards the build's Wine server is stopped, so that no Wine process of
# this display lingers into the next run.
#   scripts/mit-display.sh <build dir> <command...>
set -eu
build=$1
shift
if [ -z "${DISPLAY:-}" ]; then
  # Again inside the virtual display, so that Wine is stopped while it is
  # still there: a Wine process that outlives it says "X connection to :99
  # broken" on standard error.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$@"
fi
rc=0
"$@" || rc=$?
WINEPREFIX="${LUMBRIK_WINEPREFIX:-$build/wineprefix}" wineserver -k 2>/dev/null || true
exit "$rc"
