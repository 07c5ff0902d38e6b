#!/bin/sh
# Checks the release package: exactly the expected files, its DLLs and the
# bridge's helper byte for byte the ones the tests ran, a read-me that names
# every file and what a user must know, every file a shipped document names
# or links present, no path of the building machine in any file, the
# checksum beside the zip, and the 64-bit console running from the package.
#   paket_pruefen.sh <zip> <tested 32-bit lumbrik.dll> <tested 64-bit lumbrik.dll>
#                    <tested bridge> <tested helper> <tested recorder> <package name>
#                    <source dir> <build dir>
set -eu
zip=$1
dll=$2
dll64=$3
bruecke=$4
helfer=$5
rekorder=$6
name=$7
quellen=$8
build=$9
fehler=0
falsch() {
  printf 'FALSCH: %s\n' "$*"
  fehler=1
}

inhalt=$(cmake -E tar tf "$zip" | sed 's|/$||' | sort)
# The example hosts, as the source tree has them, one name per file.
beispiele=$(cd "$quellen" && find hosts/beispiele | sort)
modelle=$(cd "$quellen" && find simulator/modelle -name '*.toml' -o -name '*.txt' | sort)
# shellcheck disable=SC2086
erwartet=$(printf "$name/%s\n" LIESMICH.txt LICENSE.txt CHANGELOG.md lumbrik.dll lumbrik-konsole.exe lumbrik-klasse.exe \
  lumbrik.lib liblumbrik.dll.a lumbrik.def include include/lumbrik.h docs docs/befehle.md \
  docs/konsole.md docs/hosts.md docs/modelle.md docs/simulator.md docs/mitschnitt.md docs/simulator.png \
  docs/modell.png docs/klasse.md docs/klasse.png docs/zeitdiagramm.svg docs/zeitdiagramm.png docs/mitschnitt.svg docs/mitschnitt.png docs/wiedergabe.svg \
  docs/wiedergabe.png mitschnitt \
  mitschnitt/umFish40.DLL mitschnitt/lumbrik-zeitdiagramm.exe mitschnitt/LIESMICH.txt simulator simulator/LIESMICH.txt simulator/umFish40.DLL \
  simulator/modelle $modelle win64/lumbrik-konsole.exe \
  hosts $beispiele win64 win64/lumbrik.dll win64/lumbrik.lib win64/liblumbrik.dll.a win64/lumbrik.def \
  win64/simulator win64/simulator/umFish40.DLL win64/bruecke win64/bruecke/umFish40.DLL \
  win64/bruecke/bruecke32 win64/bruecke/bruecke32/lumbrik-bruecke32.exe | sort)
erwartet=$(printf '%s\n%s\n' "$name" "$erwartet")
if [ "$inhalt" != "$erwartet" ]; then
  falsch "Inhalt des Pakets"
  echo "--- erwartet"; echo "$erwartet"
  echo "--- im Paket"; echo "$inhalt"
  exit 1
fi

# The checksum beside the zip is the zip's.
(cd "$(dirname "$zip")" && sha256sum --quiet -c "$(basename "$zip").sha256") ||
  falsch "die Pruefsumme neben $(basename "$zip") stimmt nicht"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && cmake -E tar xf "$zip")
paket=$tmp/$name
cmp "$paket/lumbrik.dll" "$dll" || falsch "lumbrik.dll im Paket ist nicht die getestete"
cmp "$paket/win64/lumbrik.dll" "$dll64" || falsch "win64/lumbrik.dll im Paket ist nicht die getestete"
cmp "$paket/win64/bruecke/umFish40.DLL" "$bruecke" || falsch "die Brücke im Paket ist nicht die getestete"
cmp "$paket/win64/bruecke/bruecke32/lumbrik-bruecke32.exe" "$helfer" ||
  falsch "der Helfer im Paket ist nicht der getestete"
cmp "$paket/mitschnitt/umFish40.DLL" "$rekorder" || falsch "der Mitschnitt im Paket ist nicht der getestete"

# The read-me names every other file (as Windows writes paths) and says
# in both languages which files a 32-bit and a 64-bit host need, and where
# the vendor's library goes for the bridge.
liesmich=$paket/LIESMICH.txt
dateien=$(cd "$paket" && find . -type f ! -path ./LIESMICH.txt |
  sed 's|^\./||' | sort)
for datei in $dateien; do
  # The examples and the models are named by their folder.
  case $datei in
  hosts/beispiele/*) datei=hosts/beispiele/ ;;
  simulator/modelle/*) datei=simulator/modelle/ ;;
  esac
  grep -qF "$(printf '%s' "$datei" | sed 's|/|\\|g')" "$liesmich" || falsch "LIESMICH.txt nennt $datei nicht"
done
for text in '32-Bit-Programm' '32-bit host' '64-Bit-Programm' '64-bit host' \
  'simulator\umFish40.DLL neben' 'Copy simulator\umFish40.DLL next to' \
  'win64\simulator\umFish40.DLL neben' 'Copy win64\simulator\umFish40.DLL next to' \
  'Ordner win64\bruecke\bruecke32' 'folder win64\bruecke\bruecke32'; do
  grep -qF "$text" "$liesmich" || falsch "LIESMICH.txt sagt nicht: $text"
done

# Every text file has CR LF line ends, for any Windows editor; no line of a
# read-me is wider than a console of 80 columns.
for text in $(cd "$paket" && find . -name '*.txt' | sed 's|^\./||'); do
  awk '!/\r$/ { b = 1 } END { exit b }' "$paket/$text" || falsch "$text hat Zeilen ohne CR LF"
done
for text in $(cd "$paket" && find . -name LIESMICH.txt | sed 's|^\./||'); do
  awk '{ sub(/\r$/, "") } length($0) > 80 { b = 1 } END { exit b }' "$paket/$text" ||
    falsch "$text hat Zeilen mit mehr als 80 Zeichen"
done

# A file name in a document (in any folder, \ or /) must be in the package:
# with a folder, relative to the package or to the document (or below
# C:\lumbrik, where the read-mes' examples unpack it); a bare name anywhere
# in it.
alle=$(cd "$paket" && find . -type f | sed 's|^\./||' | tr '[:upper:]' '[:lower:]')
for dokument in $(cd "$paket" && find . -name '*.md' -o -name '*.txt' | sed 's|^\./||'); do
  ordner=$(dirname "$dokument")
  for pfad in $(grep -oiE '[A-Za-z0-9_.\\/-]*[A-Za-z0-9_-]\.(dll|exe|h|lib|a|def|md|txt|sh|c|cpp|png|zip)\b' \
    "$paket/$dokument" | sed 's|\\|/|g; s|//*|/|g' | tr '[:upper:]' '[:lower:]' | sed 's|^\./||; s|^/lumbrik/||' | sort -u); do
    case $pfad in
    # Programs and headers that are not ours, named where hosts meet them.
    node.exe | python.exe | stdio.h | windows.h) ;;
    # The user's own programs, named in examples of a host's folder.
    host.exe | program.exe | programm.exe | programm.txt) ;;
    # The vendor's library, which the user puts into echt\ beside the recorder.
    *echt/umfish40.dll) ;;
    # A host's folder laid out for the bridge: each file there is one of ours.
    bruecke32/*) printf '%s\n' "$alle" | grep -qE "(^|/)$(basename "$pfad" | sed 's/\./\\./g')\$" ;;
    */*) printf '%s\n' "$alle" | grep -qxF -e "$pfad" -e "$ordner/$pfad" ;;
    *) printf '%s\n' "$alle" | grep -qE "(^|/)$(printf '%s' "$pfad" | sed 's/\./\\./g')\$" ;;
    esac || falsch "$dokument nennt $pfad, das nicht im Paket ist"
  done
done

# A link or picture in a document (](target)) is a file beside it.
for dokument in $(cd "$paket" && find . -name '*.md' | sed 's|^\./||'); do
  fehlt=$(grep -oE '\]\([^)#]+' "$paket/$dokument" | sed 's/^](//' | grep -v '^[a-z]*:' | sort -u |
    while read -r ziel; do
      [ -f "$paket/$(dirname "$dokument")/$ziel" ] || printf ' %s' "$ziel"
    done)
  [ -z "$fehlt" ] || falsch "$dokument verweist auf Dateien, die nicht im Paket sind:$fehlt"
done
for bild in zeitdiagramm mitschnitt klasse; do
  [ "$(head -c 4 "$paket/docs/$bild.png" | tail -c 3)" = PNG ] || falsch "docs/$bild.png ist kein PNG"
done

# The build and source folders, also as tools fold paths into symbol names.
for ort in "$quellen" "$build"; do
  for form in "$ort" "$(printf '%s' "$ort" | tr '/.-' '___')"; do
    treffer=$(grep -rlF -- "$form" "$paket" || true)
    [ -z "$treffer" ] || falsch "$form steht in: $treffer"
  done
done

# The 64-bit console runs from the package as the read-me says, with the
# 64-bit simulated interface copied beside it; not the build's simulator on
# WINEPATH: the console finds only what lies beside it.
cp "$paket/win64/simulator/umFish40.DLL" "$paket/win64/"
antwort=$(printf 'vorbereitung\neinschalten [1 3]\nausgangzustand\n' |
  env -u WINEPATH LUMBRIK_PANEL=0 wine "$paket/win64/lumbrik-konsole.exe" --boxes=console 2>&1) ||
  falsch "win64\\lumbrik-konsole.exe endet mit einem Fehler: $antwort"
printf '%s\n' "$antwort" | grep -qx '= 5' || falsch "win64\\lumbrik-konsole.exe antwortet nicht = 5: $antwort"

# The class check runs from the package as its document says: a class of
# one console script, checked against a built-in model.
mkdir "$tmp/abgaben"
cp "$paket/simulator/modelle/schranke.txt" "$tmp/abgaben/anna.txt"
antwort=$(cd "$tmp" && env -u WINEPATH wine "$paket/lumbrik-klasse.exe" --modell=schranke abgaben 2>&1) ||
  falsch "lumbrik-klasse.exe endet mit einem Fehler: $antwort"
printf '%s\n' "$antwort" | grep -qx 'anna: bestanden ([0-9,.]* s)' ||
  falsch "lumbrik-klasse.exe findet anna nicht bestanden: $antwort"

[ "$fehler" = 0 ] || exit 1
echo "$(basename "$zip"): $(echo "$inhalt" | wc -l) Eintraege, lumbrik.dll wie getestet, Dokumente stimmen"
