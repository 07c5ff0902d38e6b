#!/bin/bash
# End-to-end tests of lumbrik-konsole.exe under Wine, one case per CTest test:
# the console runs a script against the real lumbrik.dll and the simulated
# umFish40.DLL, and what it prints and its exit code are checked.
#   konsole_test.sh CASE EXE SOURCE_DIR EMULATOR...
# EMULATOR is the build's CMAKE_CROSSCOMPILING_EMULATOR.
# shellcheck source=../fall_vorspann.sh
. "$(dirname "$0")/../fall_vorspann.sh"

# The start-up box as --boxes=console prints it.
hinweis_box='Box "Meldung":
  lumbrik meldet: Fischer-Technik-Robo Interface ist geladen.
  Viel Spaß beim Bauen und Steuern!
  [OK]'

# Runs the console: output in $tmp/aus, errors in $tmp/err, exit code in $rc.
konsole() {
  rc=0
  "${emulator[@]}" "$exe" "$@" >"$tmp/aus" 2>"$tmp/err" </dev/null || rc=$?
}

# The same with a file as standard input.
konsole_mit_eingabe() {
  local eingabe=$1
  shift
  rc=0
  "${emulator[@]}" "$exe" "$@" >"$tmp/aus" 2>"$tmp/err" <"$eingabe" || rc=$?
}

exit_code() {
  [ "$rc" = "$1" ] || falsch "Exit-Code $rc statt $1"
}

# The output, or the errors, exactly as expected.
wie_erwartet() { # file, expected text
  diff -u <(printf '%s\n' "$2") "$1" || falsch "$(basename "$1") weicht ab"
}

enthaelt() { # file, text
  grep -qF -- "$2" "$1" || falsch "$(basename "$1") enthaelt nicht: $2"
}

leer() { # file
  [ ! -s "$1" ] || falsch "$(basename "$1") ist nicht leer"
}

# A Unix path as the console names it under Wine: drive Z:, backslashes.
wine_pfad() {
  printf 'Z:%s' "$1" | sed 's|/|\\|g'
}

# A pause's time varies; its line is checked apart.
ohne_wartezeit() {
  sed -i 's/^(gewartet: [0-9]*,[0-9]* s)$/(gewartet: ...)/' "$tmp/aus"
}

case $fall in
paar/*)
  # A case as a pair of files: NAME.txt the script, NAME.aus what the console
  # prints, NAME.err what it says on standard error (no file: nothing). The
  # options and the exit code come from CMakeLists.txt.
  name=${fall#paar/}
  read -r -a optionen <<<"${KONSOLE_OPTIONEN:-}"
  konsole "${optionen[@]}" "$quellen/$name.txt"
  exit_code "${KONSOLE_ENDE:-0}"
  if [ "$name" = escape ]; then
    # The long pause ended after about 0.3 s, well before its 100 s.
    lang=$(grep -m1 '^(gewartet: ' "$tmp/aus" | sed 's/^(gewartet: \([0-9]*\),.*/\1/')
    if [ -z "$lang" ] || [ "$lang" -ge 5 ]; then
      falsch "die Pause endete nicht durch Escape"
    fi
  fi
  ohne_wartezeit
  diff -u "$quellen/$name.aus" "$tmp/aus" || falsch "die Ausgabe weicht von $name.aus ab"
  if [ -f "$quellen/$name.err" ]; then
    diff -u "$quellen/$name.err" "$tmp/err" || falsch "die Fehler weichen von $name.err ab"
  else
    leer "$tmp/err"
  fi
  ;;

escape_box)
  # escape_nach comes due while the start-up box is open (as a window); the
  # box must not take it: it ends the pause that follows the box.
  printf 'escape_nach 2\nvorbereitung\npause 300\ngib_fehler\n' >"$tmp/ein.txt"
  konsole "$tmp/ein.txt" &
  konsole_pid=$!
  box=
  for _ in $(seq 1 300); do
    box=$(xdotool search --name '^Meldung$' 2>/dev/null | head -n 1) && [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || falsch "keine Box erschienen"
  sleep 1
  xdotool key --window "$box" Return
  rc=0
  wait "$konsole_pid" || rc=$?
  exit_code 0
  grep -q '^(gewartet: [0-4],' "$tmp/aus" || falsch "die Pause endete nicht durch das Escape"
  enthaelt "$tmp/aus" "> gib_fehler
= wahr"
  ;;

pipe)
  # Through a pipe, as with | tee log: each line comes when it is written
  # (long before the pause ends), and an error stands under its line.
  printf 'sim_eingang 9 1\nsim_protokoll\npause 150\n' >"$tmp/ein.txt"
  start=$(date +%s)
  "${emulator[@]}" "$exe" "$tmp/ein.txt" </dev/null 2>&1 |
    { head -n 5 >"$tmp/aus"; date +%s >"$tmp/zeit"; cat >/dev/null; }
  [ $(($(cat "$tmp/zeit") - start)) -lt 12 ] || falsch "die Zeilen kamen erst am Ende"
  wie_erwartet "$tmp/aus" "> sim_eingang 9 1
Zeile 1: Eingang 9 gibt es am simulierten Interface nicht (1 bis 8)
> sim_protokoll
  (keine Aufrufe)
> pause 150"
  ;;

dll_fehlt)
  mkdir "$tmp/leer"
  konsole --dll="$tmp/leer" "$quellen/gute_zeilen.txt"
  exit_code 2
  leer "$tmp/aus"
  ordner=$(wine_pfad "$tmp/leer")
  wie_erwartet "$tmp/err" "lumbrik-konsole: lumbrik.dll nicht gefunden: gesucht als $ordner\\lumbrik.dll (angegeben mit --dll)."
  # Without --dll, in the program's own folder.
  mkdir "$tmp/allein"
  cp "$exe" "$tmp/allein/"
  exe="$tmp/allein/$(basename "$exe")"
  konsole "$quellen/gute_zeilen.txt"
  exit_code 2
  ordner=$(wine_pfad "$tmp/allein")
  wie_erwartet "$tmp/err" "lumbrik-konsole: lumbrik.dll nicht gefunden: gesucht als $ordner\\lumbrik.dll (im Ordner des Programms)."
  ;;

umfish_fehlt)
  # lumbrik.dll and the console in a folder of their own, and a PATH (from
  # WINEPATH) without the simulator.
  mkdir "$tmp/bin"
  cp "$exe" "$(dirname "$exe")/lumbrik.dll" "$tmp/bin/"
  unset WINEPATH
  exe="$tmp/bin/$(basename "$exe")"
  konsole "$quellen/gute_zeilen.txt"
  exit_code 2
  leer "$tmp/aus"
  ordner=$(wine_pfad "$tmp/bin")
  wie_erwartet "$tmp/err" "lumbrik-konsole: umFish40.DLL nicht gefunden, die Bibliothek des Interfaces, die $ordner\\lumbrik.dll braucht. Gesucht im Ordner des Programms ($ordner), in den Systemordnern, im aktuellen Ordner und in den Ordnern von PATH."
  # Also when --dll names the copy.
  konsole --dll="$tmp/bin/lumbrik.dll" "$quellen/gute_zeilen.txt"
  exit_code 2
  enthaelt "$tmp/err" "umFish40.DLL nicht gefunden"
  # Laid out like the release package: the simulator in its folder, and the
  # message says how to use it; done as it says, the script runs.
  mkdir "$tmp/bin/simulator"
  cp "$KONSOLE_SIMULATOR" "$tmp/bin/simulator/"
  konsole --boxes=console "$quellen/gute_zeilen.txt"
  exit_code 2
  wie_erwartet "$tmp/err" "lumbrik-konsole: umFish40.DLL nicht gefunden, die Bibliothek des Interfaces, die $ordner\\lumbrik.dll braucht. Gesucht im Ordner des Programms ($ordner), in den Systemordnern, im aktuellen Ordner und in den Ordnern von PATH.
Ohne Interface geht es mit dem simulierten: simulator\\umFish40.DLL neben $(basename "$exe") kopieren (copy \"$ordner\\simulator\\umFish40.DLL\" \"$ordner\") und neu starten."
  cp "$tmp/bin/simulator/umFish40.DLL" "$tmp/bin/"
  konsole --boxes=console "$quellen/gute_zeilen.txt"
  exit_code 0
  enthaelt "$tmp/aus" "= 13"
  ;;

eingabe)
  # From standard input, in 1252 with CR LF; ende stops before the last line.
  konsole_mit_eingabe "$quellen/eingabe_1252.txt" --boxes=console
  exit_code 0
  leer "$tmp/err"
  wie_erwartet "$tmp/aus" "> vorbereitung
$hinweis_box
# Grüße in 1252
> einschalten [1 2]
> ausgangzustand
= 3
> ende"
  # UTF-8 works as well, and a bad line counts at the end of the input too.
  printf '# Grüße in UTF-8\nvorbereitung\nsensor\n' >"$tmp/utf8.txt"
  konsole_mit_eingabe "$tmp/utf8.txt" --boxes=console
  exit_code 1
  enthaelt "$tmp/aus" "# Grüße in UTF-8"
  wie_erwartet "$tmp/err" "Zeile 3: sensor erwartet 1 Argument (N), nicht 0"
  # UTF-16 with its byte order mark, as PowerShell's > writes a script.
  { printf '\377\376'; printf '# Grüße in UTF-16\r\nvorbereitung\r\nausgangzustand\r\n' | iconv -f UTF-8 -t UTF-16LE; } >"$tmp/utf16.txt"
  konsole --boxes=console "$tmp/utf16.txt"
  exit_code 0
  wie_erwartet "$tmp/aus" "# Grüße in UTF-16
> vorbereitung
$hinweis_box
> ausgangzustand
= 0"
  ;;

hilfe)
  printf 'hilfe\n' >"$tmp/hilfe.txt"
  konsole "$tmp/hilfe.txt"
  exit_code 0
  for befehl in einschalten ausschalten motor t_proz1 schalter sensor poti t_funk1 \
    ausgangzustand allesaus pause gib_fehler vorbereitung lpt sim_eingang sim_analog \
    sim_spannung sim_oeffnen_fehlschlagen sim_zuruecksetzen sim_protokoll escape_nach hilfe ende; do
    grep -q "^  $befehl " "$tmp/aus" || falsch "hilfe zeigt $befehl nicht"
  done
  # As shipped: no line wraps in a console 80 columns wide.
  zu_lang=$(iconv -f UTF-8 -t CP1252 "$tmp/aus" | LC_ALL=C awk 'length > 79')
  [ -z "$zu_lang" ] || falsch "hilfe hat Zeilen über 79 Spalten: $zu_lang"
  konsole --hilfe
  exit_code 0
  enthaelt "$tmp/aus" "Aufruf: lumbrik-konsole.exe [Optionen] [SKRIPT]"
  konsole --version
  exit_code 0
  wie_erwartet "$tmp/aus" "lumbrik-konsole $KONSOLE_VERSION ($KONSOLE_BITS Bit)"
  konsole --laut
  exit_code 1
  wie_erwartet "$tmp/err" "lumbrik-konsole: unbekannte Option --laut (--hilfe zeigt den Aufruf)"
  konsole "$tmp/gibt-es-nicht.txt"
  exit_code 1
  enthaelt "$tmp/err" "gibt-es-nicht.txt kann nicht geöffnet werden"
  ;;

ohne_simulator)
  # An umFish40.DLL like the vendor's (built by this folder's CMakeLists.txt)
  # on the path instead of the simulator.
  export WINEPATH="$KONSOLE_OHNE_SIMULATOR"
  konsole --zustand "$quellen/ohne_simulator.txt"
  exit_code 1
  wie_erwartet "$tmp/aus" "> ausgangzustand
= 100
Hinweis: noch kein vorbereitung: der Befehl ging mit dem Handle 0x00000000 an das Interface
> sensor 2
= 102
Hinweis: noch kein vorbereitung: der Befehl ging mit dem Handle 0x00000000 an das Interface
> sim_eingang 1 1"
  wie_erwartet "$tmp/err" "lumbrik-konsole: --zustand geht nur mit dem simulierten Interface; geladen ist ein anderes umFish40.DLL.
Zeile 3: sim_eingang geht nur mit dem simulierten Interface; geladen ist ein anderes umFish40.DLL"
  ;;

*)
  falsch "unbekannter Fall $fall"
  ;;
esac

if [ "$fehler" != 0 ]; then
  echo "--- Ausgabe:"
  cat "$tmp/aus"
  echo "--- Fehler:"
  cat "$tmp/err"
  exit 1
fi
echo "$fall: bestanden"
