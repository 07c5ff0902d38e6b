#!/bin/sh
# Installs what the JavaScript example needs into a folder of the build: the
# 32-bit Node.js for Windows (npm package node-win-x86) and the example's own
# packages (koffi with its prebuilt win32-ia32 module), and copies the
# example and its test beside them. npm keeps its cache in the build, so a
# second run downloads nothing.
#   js_pakete.sh <example folder> <test folder> <target folder>
set -eu
beispiel=$1
test=$2
ziel=$3
cache=$ziel/npm-cache

# npm honours --os and --cpu only for optional packages, so the runtime is an
# optional one; node-win-x86 says cpu "x86", koffi's module "ia32", hence two
# installs. koffi's install script would look for a Linux module: skipped.
installieren() { # folder, cpu
  npm install --prefix "$1" --os=win32 --cpu="$2" --ignore-scripts --prefer-offline \
    --no-package-lock --no-audit --no-fund --loglevel=error --cache "$cache"
}
mkdir -p "$ziel/laufzeit" "$ziel/programm"
cp "$test/node-laufzeit/package.json" "$ziel/laufzeit/"
cp "$beispiel/package.json" "$beispiel/beispiel.js" "$test/js_pruefen.js" "$ziel/programm/"
installieren "$ziel/laufzeit" x86
installieren "$ziel/programm" ia32

for datei in laufzeit/node_modules/node-win-x86/bin/node.exe \
  programm/node_modules/@koromix/koffi-win32-ia32/win32_ia32/koffi.node; do
  if [ ! -f "$ziel/$datei" ]; then
    echo "FALSCH: $datei fehlt nach npm install"
    exit 1
  fi
done
echo "ok: Node.js und koffi in $ziel"
