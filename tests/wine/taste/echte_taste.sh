#!/bin/sh
# A real Escape key press through the X server ends a running pause:
# the host waits in pause, xdotool focuses its window and presses Escape.
# With --panel the host also shows the simulator's window, and a click into
# it (on input 1's switch) comes first: the key must still reach the host.
#   echte_taste.sh [--panel] <emulator...> <taste_host.exe>
set -u
panel=
if [ "$1" = --panel ]; then
  panel=panel
  shift
fi
host=$(eval echo "\${$#}")
fenstername="lumbrik Tastentest"

# shellcheck disable=SC2086 # no word at all without --panel
"$@" $panel &
pid=$!

fenster=$(timeout 60 xdotool search --sync --name "$fenstername" | head -n 1)
if [ -z "$fenster" ]; then
  echo "Fenster '$fenstername' erscheint nicht"
  kill "$pid" 2>/dev/null
  exit 1
fi
if [ -n "$panel" ]; then
  simulator=$(timeout 60 xdotool search --sync --onlyvisible --name '^lumbrik Simulator$' | head -n 1)
  if [ -z "$simulator" ]; then
    echo "das Fenster des Simulators erscheint nicht"
    kill "$pid" 2>/dev/null
    exit 1
  fi
  # Apart, so the click cannot land on the host's window.
  xdotool windowmove "$fenster" 200 700
fi
# The key may come before the pause starts (it waits in the queue), but a
# moment's delay makes the test what it claims: a key during a pause.
sleep 1
xdotool windowfocus --sync "$fenster"
if [ -n "$panel" ]; then
  # Input 1's switch, in client pixels (simulator/panel_bild.cpp); Wine
  # draws the frame, so the client area sits centred at the window's foot.
  eval "$(xdotool getwindowgeometry --shell "$simulator")"
  rand=$(((WIDTH - 876) / 2))
  xdotool mousemove --window "$simulator" $((rand + 44)) $((HEIGHT - 310 - rand + 154)) click 1
  sleep 1
fi
xdotool key Escape

rc=0
wait "$pid" || rc=$?
echo "taste_host ($host) endete mit $rc"
exit "$rc"
