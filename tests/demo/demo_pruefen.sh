#!/bin/sh
# The README's main job as a user starts it: scripts/demo.sh from the
# project's root, without a display (so the console prints its boxes). It
# passes when the demo ends with 0, prints every step as demo.aus has it,
# and says nothing on standard error but what setting up may say: no X
# error, no crash of qemu or Wine, no lost X connection.
#   tests/demo/demo_pruefen.sh
set -u
cd "$(dirname "$0")/../.." || exit 1
aus=$(mktemp)
err=$(mktemp)
trap 'rm -f "$aus" "$err"' EXIT

rc=0
env -u DISPLAY scripts/demo.sh >"$aus" 2>"$err" || rc=$?

fehler=0
if [ "$rc" != 0 ]; then
  echo "FALSCH: scripts/demo.sh endet mit $rc"
  fehler=1
fi
# The console's part, from the demo's title on; the pause that Escape ends
# after half a second lasts a little longer on a busy machine.
sed -n '/^# =====/,$p' "$aus" |
  sed 's/^(gewartet: [0-4],[0-9][0-9] s)$/(gewartet: unter 5 s)/' |
  diff -u tests/demo/demo.aus - || {
  echo "FALSCH: die Ausgabe der Vorführung weicht von tests/demo/demo.aus ab"
  fehler=1
}
# Installing packages (debconf) and replacing an old Wine prefix may speak.
fremd=$(grep -v -e '^debconf: ' -e '^wine-praefix.sh: ' "$err")
if [ -n "$fremd" ]; then
  echo "FALSCH: auf der Fehlerausgabe steht:"
  printf '%s\n' "$fremd"
  fehler=1
fi
[ "$fehler" = 0 ] || exit 1
echo "demo: bestanden"
