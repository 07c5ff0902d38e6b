#!/bin/sh
# Lays out the folders of the bridge tests, as a 64-bit host's folder would
# be: lumbrik.dll and the bridge (umFish40.DLL) together, the 32-bit helper
# and the vendor library in bruecke32/ beside them; in "voll" the 64-bit
# console as the host. Other folders lack the helper or the vendor library,
# or hold a 64-bit umFish40.DLL (the bridge) where the helper looks. The
# 32-bit parts come from the 32-bit build; without them this fails and says
# why.
#   aufbauen.sh <target folder> <64-bit lumbrik.dll> <bridge umFish40.DLL> <32-bit build dir> <64-bit console>
set -eu
ziel=$1
lumbrik=$2
bruecke=$3
build32=$4
konsole=$5
helfer=$build32/bruecke/bruecke32/lumbrik-bruecke32.exe
vendor=$build32/simulator/umFish40.DLL
for teil in "$helfer" "$vendor"; do
  if [ ! -f "$teil" ]; then
    echo "FEHLT: $teil - die 32-Bit-Teile der Brücke kommen aus dem 32-Bit-Build (cmake --build --preset windows)" >&2
    exit 1
  fi
done
rm -rf "$ziel"
for aufbau in voll ohne_helfer ohne_vendor falsche_bits; do
  mkdir -p "$ziel/$aufbau"
  cp "$lumbrik" "$bruecke" "$ziel/$aufbau/"
done
mkdir -p "$ziel/voll/bruecke32" "$ziel/ohne_vendor/bruecke32" "$ziel/falsche_bits/bruecke32"
cp "$helfer" "$vendor" "$ziel/voll/bruecke32/"
cp "$konsole" "$ziel/voll/"
cp "$helfer" "$ziel/ohne_vendor/bruecke32/"
cp "$helfer" "$bruecke" "$ziel/falsche_bits/bruecke32/"
echo "Brücke aufgebaut in $ziel"
