#!/bin/sh
# Checks the release package: exactly the expected files, and its
# lumbrik.dll byte for byte the one the tests ran.
#   paket_pruefen.sh <zip> <tested lumbrik.dll> <package name>
set -eu
zip=$1
dll=$2
name=$3

inhalt=$(cmake -E tar tf "$zip" | sed 's|/$||' | sort)
erwartet=$(printf '%s\n' "$name" "$name/BEFEHLE.md" "$name/LICENSE.txt" \
  "$name/liblumbrik.dll.a" "$name/lumbrik-konsole.exe" "$name/lumbrik.def" \
  "$name/lumbrik.dll" "$name/lumbrik.h" "$name/simulator" \
  "$name/simulator/LIESMICH.txt" "$name/simulator/umFish40.DLL" | sort)
if [ "$inhalt" != "$erwartet" ]; then
  echo "FALSCH: Inhalt des Pakets"
  echo "--- erwartet"; echo "$erwartet"
  echo "--- im Paket"; echo "$inhalt"
  exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && cmake -E tar xf "$zip")
if ! cmp "$tmp/$name/lumbrik.dll" "$dll"; then
  echo "FALSCH: lumbrik.dll im Paket ist nicht die getestete"
  exit 1
fi
echo "$(basename "$zip"): $(echo "$inhalt" | wc -l) Eintraege, lumbrik.dll wie getestet"
