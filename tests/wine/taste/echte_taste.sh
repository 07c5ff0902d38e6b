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
# Give the host a moment to enter its pause, then press the key.
sleep 1
xdotool windowfocus --sync "$fenster"
xdotool key Escape

rc=0
wait "$pid" || rc=$?
echo "taste_host ($host) endete mit $rc"
exit "$rc"
