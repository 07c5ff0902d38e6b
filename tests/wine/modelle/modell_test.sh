#!/bin/bash
# End-to-end tests of the simulated models: lumbrik-konsole.exe runs a script
# headless (LUMBRIK_PANEL=0) with LUMBRIK_MODELL set and LUMBRIK_BERICHT
# pointing into a temporary folder; the report, trace and diagram are checked.
#   modell_test.sh CASE EXE SOURCE_DIR EMULATOR...
# CASE is a built-in model (its sample program must pass its rules),
# "anschlag" (the barrier driven into its stop), "kaputt" (a bad model file)
# or "abfragen" (EXE is abfrage_host.exe instead of the console).
# shellcheck source=../fall_vorspann.sh
. "$(dirname "$0")/../fall_vorspann.sh"

# Runs a script with a model: output in $tmp/aus, errors in $tmp/err.
lauf() { # model, script[, expected exit code]
  rc=0
  LUMBRIK_PANEL=0 LUMBRIK_MODELL=$1 LUMBRIK_BERICHT=$tmp/lauf.json \
    "${emulator[@]}" "$exe" --boxes=console "$2" >"$tmp/aus" 2>"$tmp/err" </dev/null || rc=$?
  [ "$rc" = "${3:-0}" ] || falsch "Exit-Code $rc statt ${3:-0}"
}

bericht_enthaelt() { # text
  grep -qF -- "$1" "$tmp/lauf.json" || falsch "der Bericht enthaelt nicht: $1"
}

case $fall in
schranke | ampel | aufzug | band)
  lauf "$fall" "$quellen/simulator/modelle/$fall.txt"
  bericht_enthaelt "\"modell\": \"$fall\""
  bericht_enthaelt '"fehler_anzahl": 0,'
  xmllint --noout "$tmp/lauf.svg" || falsch "lauf.svg ist kein wohlgeformtes XML"
  [ "$(grep -c 'class="spur"' "$tmp/lauf.svg")" -ge 22 ] || falsch "lauf.svg hat zu wenige Spuren"
  head -n 1 "$tmp/lauf.csv" | grep -qx 'zeit_ms,art,name,wert' || falsch "lauf.csv ohne Kopfzeile"
  ;;
anschlag)
  # Chosen with the console's options, as a teacher's script would; the
  # fault shows in the exit code.
  printf 'vorbereitung\neinschalten 3\nmotor 1 1\npause 25\nschalter 2\nmotor 1 0\n' >"$tmp/skript.txt"
  rc=0
  LUMBRIK_PANEL=0 "${emulator[@]}" "$exe" --boxes=console --modell=schranke \
    --bericht="$(printf 'Z:%s' "$tmp/lauf.json" | sed 's|/|\\|g')" "$tmp/skript.txt" \
    >"$tmp/aus" 2>"$tmp/err" </dev/null || rc=$?
  [ "$rc" = 3 ] || falsch "Exit-Code $rc statt 3"
  grep -qx 'lumbrik-konsole: das Modell schranke hat 1 Fehler gemeldet' "$tmp/err" ||
    falsch "keine Meldung des Fehlers"
  grep -qx '= wahr' "$tmp/aus" || falsch "der obere Endschalter ist nicht geschlossen"
  bericht_enthaelt '"fehler_anzahl": 1,'
  bericht_enthaelt '"regel": "anschlag"'
  grep -q ',fehler,anschlag,1$' "$tmp/lauf.csv" || falsch "der Fehler fehlt in der Spur"
  ;;
kaputt)
  printf '[modell]\nname = "x"\n\n[[achse]]\nname = "a"\nmotor = 9\n' >"$tmp/kaputt.toml"
  printf 'vorbereitung\neinschalten 1\nausgangzustand\n' >"$tmp/skript.txt"
  lauf "$tmp/kaputt.toml" "$tmp/skript.txt"
  grep -qF "kaputt.toml, Zeile 6: [[achse]] Nr. 1: 'motor' muss eine ganze Zahl von 1 bis 4 sein" \
    "$tmp/err" || falsch "keine Meldung mit Datei und Zeile: $(cat "$tmp/err")"
  grep -qx '= 1' "$tmp/aus" || falsch "die Box laeuft nicht ohne Modell weiter"
  bericht_enthaelt "Zeile 6"
  ;;
abfragen)
  # $exe polls schalter and sensor in a tight loop while the axis moves: the
  # trace holds the axis at its start, when the motor starts, at its stop and
  # when the motor stops, not at each of the thousands of calls.
  rc=0
  LUMBRIK_PANEL=0 LUMBRIK_MODELL=$quellen/tests/wine/modelle/abfragen.toml \
    LUMBRIK_BERICHT=$tmp/lauf.json "${emulator[@]}" "$exe" >"$tmp/aus" 2>"$tmp/err" </dev/null ||
    rc=$?
  [ "$rc" = 0 ] || falsch "Exit-Code $rc statt 0"
  abfragen=$(sed -n 's/^\([0-9]*\) Abfragen.*/\1/p' "$tmp/aus")
  [ "${abfragen:-0}" -ge 1000 ] || falsch "nur ${abfragen:-keine} Abfragen"
  achse=$(grep -c ',achse,schlitten,' "$tmp/lauf.csv")
  [ "$achse" = 4 ] || falsch "$achse Zeilen der Achse in der Spur statt 4: $(grep -m 8 ',achse,' "$tmp/lauf.csv" | tr '\n' ' ')"
  ;;
*)
  falsch "unbekannter Fall $fall"
  ;;
esac
[ "$fehler" = 0 ] || { echo "--- Ausgabe:"; cat "$tmp/aus"; echo "--- Fehler:"; cat "$tmp/err"; }
exit "$fehler"
