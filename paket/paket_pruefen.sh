#!/bin/sh
# Checks the release package: exactly the expected files, its lumbrik.dll
# byte for byte the one the tests ran, a read-me that names every file and
# what a user must know, every file a shipped document names present, and
# no path of the building machine in any file.
#   paket_pruefen.sh <zip> <tested lumbrik.dll> <package name> <source dir> <build dir>
set -eu
zip=$1
dll=$2
name=$3
quellen=$4
build=$5
fehler=0
falsch() {
  echo "FALSCH: $*"
  fehler=1
}

inhalt=$(cmake -E tar tf "$zip" | sed 's|/$||' | sort)
# The example hosts, as the source tree has them, one name per file.
beispiele=$(cd "$quellen" && find hosts/beispiele | sort)
# shellcheck disable=SC2086
erwartet=$(printf "$name/%s\n" LIESMICH.txt LICENSE.txt lumbrik.dll lumbrik-konsole.exe \
  lumbrik.lib liblumbrik.dll.a lumbrik.def include include/lumbrik.h docs docs/befehle.md \
  docs/konsole.md docs/hosts.md simulator simulator/LIESMICH.txt simulator/umFish40.DLL \
  hosts $beispiele | sort)
erwartet=$(printf '%s\n%s\n' "$name" "$erwartet")
if [ "$inhalt" != "$erwartet" ]; then
  falsch "Inhalt des Pakets"
  echo "--- erwartet"; echo "$erwartet"
  echo "--- im Paket"; echo "$inhalt"
  exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && cmake -E tar xf "$zip")
paket=$tmp/$name
cmp "$paket/lumbrik.dll" "$dll" || falsch "lumbrik.dll im Paket ist nicht die getestete"

# The read-me names every other file (as Windows writes paths) and says
# in both languages that the host must be a 32-bit process.
liesmich=$paket/LIESMICH.txt
dateien=$(cd "$paket" && find . -type f ! -name LIESMICH.txt -o -type f -path ./simulator/LIESMICH.txt |
  sed 's|^\./||' | sort)
for datei in $dateien; do
  # The examples are named by their folder.
  case $datei in hosts/beispiele/*) datei=hosts/beispiele/ ;; esac
  grep -qF "$(printf '%s' "$datei" | sed 's|/|\\|g')" "$liesmich" || falsch "LIESMICH.txt nennt $datei nicht"
done
for text in '32-Bit-Programm' '32-bit process' 'simulator\umFish40.DLL neben' \
  'Copy simulator\umFish40.DLL next to'; do
  grep -qF "$text" "$liesmich" || falsch "LIESMICH.txt sagt nicht: $text"
done

# A file name in a document (in any folder, \ or /) must be in the package:
# with a folder, relative to the package or to the document; a bare name
# anywhere in it.
alle=$(cd "$paket" && find . -type f | sed 's|^\./||' | tr '[:upper:]' '[:lower:]')
for dokument in $(cd "$paket" && find . -name '*.md' -o -name '*.txt' | sed 's|^\./||'); do
  ordner=$(dirname "$dokument")
  for pfad in $(grep -oiE '[A-Za-z0-9_.\\/-]*[A-Za-z0-9_-]\.(dll|exe|h|lib|a|def|md|txt|sh|c|cpp|png|zip)\b' \
    "$paket/$dokument" | sed 's|\\|/|g' | tr '[:upper:]' '[:lower:]' | sed 's|^\./||' | sort -u); do
    case $pfad in
    # Programs and headers that are not ours, named where hosts meet them.
    node.exe | python.exe | stdio.h | windows.h) ;;
    */*) printf '%s\n' "$alle" | grep -qxF -e "$pfad" -e "$ordner/$pfad" ;;
    *) printf '%s\n' "$alle" | grep -qE "(^|/)$(printf '%s' "$pfad" | sed 's/\./\\./g')\$" ;;
    esac || falsch "$dokument nennt $pfad, das nicht im Paket ist"
  done
done

# The build and source folders, also as tools fold paths into symbol names.
for ort in "$quellen" "$build"; do
  for form in "$ort" "$(printf '%s' "$ort" | tr '/.-' '___')"; do
    treffer=$(grep -rlF -- "$form" "$paket" || true)
    [ -z "$treffer" ] || falsch "$form steht in: $treffer"
  done
done

[ "$fehler" = 0 ] || exit 1
echo "$(basename "$zip"): $(echo "$inhalt" | wc -l) Eintraege, lumbrik.dll wie getestet, Dokumente stimmen"
