#!/bin/sh
# A real Escape key press through the X server ends a running pause:
# the host waits in pause, xdotool focuses its window and presses Escape.
#   echte_taste.sh <emulator...> <taste_host.exe>
set -u
host=$(eval echo "\${$#}")
fenstername="lumbrik Tastentest"

"$@" &
pid=$!

fenster=$(timeout 60 xdotool search --sync --name "$fenstername" | head -n 1)
if [ -z "$fenster" ]; then
  echo "Fenster '$fenstername' erscheint nicht"
  kill "$pid" 2>/dev/null
  exit 1
fi
# The key may come before the pause starts (it waits in the queue), but a
# moment's delay makes the test what it claims: a key during a pause.
sleep 1
xdotool windowfocus --sync "$fenster"
xdotool key Escape

rc=0
wait "$pid" || rc=$?
echo "taste_host ($host) endete mit $rc"
exit "$rc"
