#!/bin/sh
# The Wine session that a build's tests share, as CTest's set-up and clean-up
# around every test that runs a Windows program.
#   sitzung.sh anfang|ende <source dir>
# anfang: a virtual display on $DISPLAY, the prefix $WINEPREFIX (made once),
# one persistent wineserver and Wine's own processes (services, the desktop).
# Their output goes to a log beside the prefix: a test's pipe is held by
# nobody but its program, and no Wine process outlives the display.
# ende: all of it stopped again.
set -eu
quellen=$2
: "${DISPLAY:?}" "${WINEPREFIX:?}"
nummer=${DISPLAY#:}
log=$WINEPREFIX.log
xvfb_pid=$WINEPREFIX.xvfb

beenden() {
  if wineserver -k 2>/dev/null; then
    wineserver -w
  fi
  if [ -f "$xvfb_pid" ]; then
    kill "$(cat "$xvfb_pid")" 2>/dev/null || true
    # Xvfb removes its lock as it ends.
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X$nummer-lock" ] || break
      sleep 0.1
    done
    rm -f "$xvfb_pid"
  fi
}

case $1 in
anfang)
  # What a run that was cut short left behind.
  beenden
  : >"$log"
  # Its own session, so that it outlives this script.
  setsid Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp </dev/null >>"$log" 2>&1 &
  echo $! >"$xvfb_pid"
  # Xvfb refuses a display that another program holds, and says so.
  for _ in $(seq 1 100); do
    [ -S "/tmp/.X11-unix/X$nummer" ] && kill -0 "$(cat "$xvfb_pid")" 2>/dev/null && break
    sleep 0.1
  done
  kill -0 "$(cat "$xvfb_pid")" 2>/dev/null || {
    echo "sitzung.sh: Xvfb startet nicht auf $DISPLAY:" >&2
    cat "$log" >&2
    exit 1
  }
  "$quellen/scripts/wine-praefix.sh" "$WINEPREFIX"
  wineserver -p </dev/null >>"$log" 2>&1
  /usr/lib/wine/wine64 wineboot </dev/null >>"$log" 2>&1
  ;;
ende)
  beenden
  ;;
*)
  echo "sitzung.sh: anfang oder ende, nicht $1" >&2
  exit 1
  ;;
esac
