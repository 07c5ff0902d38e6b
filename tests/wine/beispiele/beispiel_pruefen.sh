#!/bin/sh
# Runs an example host and checks what it prints. Its start-up box
# ("Meldung", shown by vorbereitung) must appear: the test waits for it and
# presses Return in it, as a user would press OK, so no box can hang it.
#   beispiel_pruefen.sh <expected output> <command...>
set -u
erwartet=$1
shift

aus=$(mktemp)
trap 'rm -f "$aus"' EXIT
"$@" >"$aus" 2>&1 &
pid=$!

box=$(timeout "${LUMBRIK_BOX_WARTEN:-60}" xdotool search --sync --name '^Meldung$' | head -n 1)
if [ -z "$box" ]; then
  echo "FALSCH: die Startmeldung erscheint nicht"
  kill "$pid"
  wait "$pid"
  cat "$aus"
  exit 1
fi
# A key that comes while the box is still being set up is lost: press it
# again until the box is gone.
while kill -0 "$pid" 2>/dev/null && xdotool getwindowname "$box" >/dev/null 2>&1; do
  xdotool windowfocus --sync "$box" key Return 2>/dev/null
  sleep 1
done

rc=0
wait "$pid" || rc=$?
if [ "$rc" -ne 0 ]; then
  echo "FALSCH: das Beispiel endete mit $rc"
  cat "$aus"
  exit 1
fi
# A C runtime on Windows ends its lines with CR LF, Node.js with LF.
if ! tr -d '\r' <"$aus" | diff -u "$erwartet" -; then
  echo "FALSCH: die Ausgabe weicht ab"
  exit 1
fi
echo "ok: $*"
