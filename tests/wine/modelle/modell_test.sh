#!/bin/bash
# End-to-end tests of the simulated models: lumbrik-konsole.exe runs a script
# headless (LUMBRIK_PANEL=0) with LUMBRIK_MODELL set and LUMBRIK_BERICHT
# pointing into a temporary folder; the report, trace and diagram are checked.
#   modell_test.sh CASE EXE SOURCE_DIR EMULATOR...
# CASE is a built-in model (its sample program must pass its rules, and each
# of its reads finds the switch as its story says),
# "anschlag" (the barrier driven into its stop), "kaputt" (a bad model file,
# and a model that never ran), "umlaut" (a folder named with one), "zwei"
# (two runs at once with the same report), "wartet" (the clock waits for the
# first command) or "abfragen" (EXE is
# abfrage_host.exe instead of the console).
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
  # Each switch the sample reads is where its story says, on the model's
  # clock: a read before or after its moment tells a wrong story.
  ! grep -qx '= falsch' "$tmp/aus" || falsch "eine Abfrage des Beispiels antwortet falsch"
  xmllint --noout "$tmp/lauf.svg" || falsch "lauf.svg ist kein wohlgeformtes XML"
  [ "$(grep -c 'class="spur"' "$tmp/lauf.svg")" -ge 3 ] || falsch "lauf.svg hat zu wenige Spuren"
  grep -q 'ohne Änderung: ' "$tmp/lauf.svg" || falsch "lauf.svg nennt die Spuren ohne Änderung nicht"
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
  grep -qx 'lumbrik-konsole: das Modell schranke hat 1 Fehler gemeldet:' "$tmp/err" ||
    falsch "keine Meldung des Fehlers"
  grep -qx '  bei [0-9]*,[0-9][0-9] s: anschlag - .*Anschlag' "$tmp/err" ||
    falsch "der Fehler ist nicht mit Zeit, Regel und Text aufgelistet: $(cat "$tmp/err")"
  grep -qx '= wahr' "$tmp/aus" || falsch "der obere Endschalter ist nicht geschlossen"
  bericht_enthaelt '"fehler_anzahl": 1,'
  bericht_enthaelt '"regel": "anschlag"'
  grep -q ',fehler,anschlag,1$' "$tmp/lauf.csv" || falsch "der Fehler fehlt in der Spur"
  ;;
kaputt)
  # A model that did not run checked nothing: no exit code of a pass.
  printf '[modell]\nname = "x"\n\n[[achse]]\nname = "a"\nmotor = 9\n' >"$tmp/kaputt.toml"
  printf 'vorbereitung\neinschalten 1\nausgangzustand\n' >"$tmp/skript.txt"
  lauf "$tmp/kaputt.toml" "$tmp/skript.txt" 4
  grep -qF "kaputt.toml, Zeile 6: [[achse]] Nr. 1: 'motor' muss eine ganze Zahl von 1 bis 4 sein" \
    "$tmp/err" || falsch "keine Meldung mit Datei und Zeile: $(cat "$tmp/err")"
  # Said once, and the script stops at once: the rest would check nothing.
  [ "$(grep -c 'Zeile 6' "$tmp/err")" = 1 ] || falsch "die Meldung steht nicht genau einmal da"
  grep -qx 'lumbrik-konsole: ohne das Modell .* (Exit-Code 4).' "$tmp/err" ||
    falsch "die Konsole sagt nicht, dass das Skript endet"
  ! grep -q '^> einschalten' "$tmp/aus" || falsch "das Skript lief nach dem Fehler weiter"
  bericht_enthaelt "Zeile 6"
  # The TOML reader's own words beside the German ones.
  printf '[modell]\nname = "x\n' >"$tmp/offen.toml"
  lauf "$tmp/offen.toml" "$tmp/skript.txt" 4
  grep -q 'Zeile 2, Spalte [0-9]*: ein Text ist nicht geschlossen' "$tmp/err" || falsch "offener Text: $(cat "$tmp/err")"
  bericht_enthaelt '"parser_meldung": "'
  lauf schranken "$tmp/skript.txt" 4
  grep -qF 'kein eingebautes Modell (meinten Sie schranke?) und keine lesbare Datei (gesucht als ' \
    "$tmp/err" || falsch "kein Vorschlag fuer schranken: $(cat "$tmp/err")"
  printf 'ausgangzustand\n' >"$tmp/ohne.txt"
  lauf schranke "$tmp/ohne.txt" 4
  grep -qF 'das Modell lief nicht - das Interface wurde nie ge' "$tmp/err" ||
    falsch "ohne vorbereitung keine Meldung: $(cat "$tmp/err")"
  # A report that cannot be written cannot be graded: no pass either.
  rc=0
  LUMBRIK_PANEL=0 "${emulator[@]}" "$exe" --boxes=console --bericht="$tmp/nichtda/x.json" \
    "$tmp/skript.txt" >"$tmp/aus" 2>"$tmp/err" </dev/null || rc=$?
  [ "$rc" = 5 ] || falsch "ein Bericht, der sich nicht anlegen laesst: Exit-Code $rc statt 5"
  grep -q '^lumbrik-konsole: kein Bericht - ' "$tmp/err" ||
    falsch "die Konsole sagt nicht, dass der Bericht fehlt: $(cat "$tmp/err")"
  ;;
umlaut)
  # Paths as a learner's folders have them; everything written is UTF-8.
  ordner="$tmp/Schüler"
  mkdir "$ordner"
  printf '[modell]\nname = "x"\n\n[[achse]]\nname = "a"\nmotor = 9\n' >"$ordner/kaputt.toml"
  printf 'vorbereitung\n' >"$tmp/skript.txt"
  rc=0
  LUMBRIK_PANEL=0 LUMBRIK_MODELL=$ordner/kaputt.toml LUMBRIK_BERICHT=$ordner/lauf.json \
    "${emulator[@]}" "$exe" --boxes=console "$tmp/skript.txt" >"$tmp/aus" 2>"$tmp/err" </dev/null || rc=$?
  [ "$rc" = 4 ] || falsch "Exit-Code $rc statt 4"
  for datei in lauf.json lauf.csv lauf.svg; do
    [ -s "$ordner/$datei" ] || falsch "$datei fehlt im Ordner Schüler"
  done
  iconv -f UTF-8 -t UTF-8 "$ordner/lauf.json" >/dev/null || falsch "lauf.json ist kein UTF-8"
  grep -qF "Schüler/kaputt.toml, Zeile 6" "$ordner/lauf.json" || falsch "der Bericht nennt die Datei nicht"
  grep -qF "Schüler/lauf.csv" "$ordner/lauf.json" || falsch "der Bericht nennt die Spur nicht"
  grep -qF "lumbrik Simulator: Modell $ordner/kaputt.toml, Zeile 6" "$tmp/err" ||
    falsch "die Meldung ist nicht UTF-8: $(cat "$tmp/err")"
  # Saved as ANSI, as older Notepads do: read as such, with a note.
  printf '[modell]\nname = "x"\ntitel = "Schranke f\374r Autos"\n' >"$tmp/ansi.toml"
  lauf "$tmp/ansi.toml" "$tmp/skript.txt"
  grep -qF 'nicht als UTF-8 gespeichert und wird als Windows-1252 (ANSI) gelesen' "$tmp/err" ||
    falsch "kein Hinweis auf ANSI: $(cat "$tmp/err")"
  bericht_enthaelt '"titel": "Schranke für Autos"'
  ;;
zwei)
  # A second run with the same report is refused while the first goes on,
  # and the first one's record stays whole.
  printf 'vorbereitung\npause 60\n' >"$tmp/erster.txt"
  printf 'vorbereitung\n' >"$tmp/zweiter.txt"
  # No model: a report records the box alone, and no rule fails meanwhile.
  LUMBRIK_PANEL=0 LUMBRIK_BERICHT=$tmp/lauf.json \
    "${emulator[@]}" "$exe" --boxes=console "$tmp/erster.txt" >"$tmp/aus1" 2>"$tmp/err1" </dev/null &
  erster=$!
  for _ in $(seq 300); do [ -s "$tmp/lauf.csv" ] && break; sleep 0.1; done
  # Refused, it has no report of its own: not a pass.
  lauf "" "$tmp/zweiter.txt" 5
  grep -qF "lumbrik Simulator: der Bericht $tmp/lauf.json wird schon geschrieben" "$tmp/err" ||
    falsch "der zweite Lauf meldet nichts: $(cat "$tmp/err")"
  wait "$erster" || falsch "der erste Lauf endete mit $?"
  python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$tmp/lauf.json" ||
    falsch "der Bericht des ersten Laufs ist kein JSON"
  bericht_enthaelt '"laufzeit_ms": '
  [ "$(grep -c '^zeit_ms,' "$tmp/lauf.csv")" = 1 ] || falsch "zwei Laeufe in einer Spur"
  ;;
wartet)
  # The model's timeline starts with the program's first command, not at the
  # open: a person may read the start-up notice for as long as they like
  # (here a pause stands in for it).
  printf '[modell]\nname = "w"\n\n[[lampe]]\nname = "l"\nausgang = 3\n\n[[taster]]\nname = "t"\neingang = 3\ngedrueckt = [[50, 100]]\n\n[[regel]]\nname = "r"\nart = "folgt"\nwenn_eingang = 3\ndann_ausgang = 3\nbinnen_ms = 500\n' >"$tmp/w.toml"
  printf 'vorbereitung\npause 10\neinschalten 3\npause 2\n' >"$tmp/skript.txt"
  lauf "$tmp/w.toml" "$tmp/skript.txt"
  bericht_enthaelt '"fehler_anzahl": 0,'
  vor_null=$(sed -n 's/^  "vor_null_ms": \([0-9]*\),$/\1/p' "$tmp/lauf.json")
  [ "${vor_null:-0}" -ge 900 ] || falsch "vor_null_ms ist ${vor_null:-nicht im Bericht}"
  ;;
abfragen)
  # $exe polls schalter and sensor in a tight loop while the axis moves: the
  # trace holds the axis at its start, when the motor starts (unless in the
  # same millisecond) and at its stop (the motor switched off there changes
  # nothing), not at each of the thousands of calls.
  rc=0
  LUMBRIK_PANEL=0 LUMBRIK_MODELL=$quellen/tests/wine/modelle/abfragen.toml \
    LUMBRIK_BERICHT=$tmp/lauf.json "${emulator[@]}" "$exe" >"$tmp/aus" 2>"$tmp/err" </dev/null ||
    rc=$?
  [ "$rc" = 0 ] || falsch "Exit-Code $rc statt 0"
  abfragen=$(sed -n 's/^\([0-9]*\) Abfragen.*/\1/p' "$tmp/aus")
  [ "${abfragen:-0}" -ge 1000 ] || falsch "nur ${abfragen:-keine} Abfragen"
  achse=$(grep -c ',achse,schlitten,' "$tmp/lauf.csv")
  { [ "$achse" -ge 2 ] && [ "$achse" -le 3 ] && grep ',achse,' "$tmp/lauf.csv" | tail -n 1 | grep -q ',100$'; } ||
    falsch "$achse Zeilen der Achse in der Spur statt 2 oder 3 bis zum Anschlag: $(grep -m 8 ',achse,' "$tmp/lauf.csv" | tr '\n' ' ')"
  ;;
*)
  falsch "unbekannter Fall $fall"
  ;;
esac
[ "$fehler" = 0 ] || { echo "--- Ausgabe:"; cat "$tmp/aus"; echo "--- Fehler:"; cat "$tmp/err"; }
exit "$fehler"
