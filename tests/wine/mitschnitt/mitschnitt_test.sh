#!/bin/bash
# The recorder's cases, each in folders laid out as a learner's: the host,
# lumbrik.dll and the recorder (umFish40.DLL) together, the vendor's library
# in echt\. The files come from the environment (see CMakeLists.txt); the
# case "bruecke" takes the 32-bit ones from the 32-bit build BUILD32.
#   mitschnitt_test.sh CASE CONSOLE SOURCE_DIR EMULATOR...
# shellcheck source=../fall_vorspann.sh
. "$(dirname "$0")/../fall_vorspann.sh"
if [ "$fall" = bruecke ]; then
  : "${LUMBRIK:?}" "${BRUECKE:?}" "${BUILD32:?}"
  MITSCHNITT=$BUILD32/mitschnitt/umFish40.DLL
  SIMULATOR=$BUILD32/simulator/umFish40.DLL
  HELFER=$BUILD32/bruecke/bruecke32/lumbrik-bruecke32.exe
  for teil in "$MITSCHNITT" "$SIMULATOR" "$HELFER"; do
    [ -f "$teil" ] || { echo "FEHLT: $teil - aus dem 32-Bit-Build (cmake --build --preset windows)"; exit 1; }
  done
else
  : "${MITSCHNITT:?}" "${LUMBRIK:?}" "${SIMULATOR:?}" "${ERSATZ:?}" "${ERSATZ_OHNE:?}" "${HOST:?}" "${ZEITDIAGRAMM:?}"
fi

# A folder with the console, the test host, lumbrik.dll and the recorder;
# the vendor's library (if any) in echt\.
aufbauen() { # folder [vendor library]
  mkdir -p "$1"
  cp "$exe" "$HOST" "$LUMBRIK" "$MITSCHNITT" "$1/"
  if [ -n "${2:-}" ]; then
    mkdir -p "$1/echt"
    cp "$2" "$1/echt/umFish40.DLL"
  fi
}

# The console with a script: output in $tmp/aus, errors in $tmp/err.
konsole() { # folder script
  rc=0
  "${emulator[@]}" "$1/$(basename "$exe")" --boxes=console "$2" >"$tmp/aus" 2>"$tmp/err" </dev/null ||
    rc=$?
}

# Every line of a trace complete, and no value written twice in a row.
spur_pruefen() { # trace
  head -n 1 "$1" | grep -qx 'zeit_ms,art,name,wert' || falsch "$1 ohne Kopfzeile"
  [ -z "$(tail -c 1 "$1")" ] || falsch "$1 endet mitten in einer Zeile"
  awk -F, 'NR > 1 {
      if (NF != 4 || $1 !~ /^[0-9]+\.[0-9][0-9][0-9]$/ || $4 !~ /^-?[0-9]+$/) { print "Zeile " NR ": " $0; exit 1 }
      k = $2 "," $3; if (k in alt && alt[k] == $4) { print "wiederholt in Zeile " NR ": " $0; exit 1 }
      alt[k] = $4 }' "$1" || falsch "$1 ist keine saubere Spur"
}

case $fall in
beispiel)
  # The barrier's sample program, the simulated box with its model as the
  # vendor. No LUMBRIK_MITSCHNITT: the recording lands in mitschnitte\, and
  # a name taken in the same second gets a number.
  aufbauen "$tmp/l" "$SIMULATOR"
  mkdir "$tmp/l/mitschnitte"
  for s in $(seq 0 30); do
    : >"$tmp/l/mitschnitte/$(date -d "+$s seconds" +%Y-%m-%d_%H-%M-%S).json"
  done
  LUMBRIK_MODELL=schranke konsole "$tmp/l" "$quellen/simulator/modelle/schranke.txt"
  [ "$rc" = 0 ] || falsch "Exit-Code $rc statt 0"
  bericht=$(find "$tmp/l/mitschnitte" -name '*_2.json')
  [ "$(echo "$bericht" | wc -w)" = 1 ] || falsch "kein Mitschnitt mit _2 im Namen"
  spur=${bericht%.json}.csv
  spur_pruefen "$spur"
  python3 -c 'import json, sys; b = json.load(open(sys.argv[1])); sys.exit(b["mitschnitt"]["gleich"]["rbGetInput"] < 1)' \
    "$bericht" || falsch "der Bericht zaehlt keine gleichen Abfragen"
  xmllint --noout "${bericht%.json}.svg" || falsch "das Zeitdiagramm ist kein wohlgeformtes XML"
  [ "$(grep -c 'class="spur"' "${bericht%.json}.svg")" -ge 3 ] || falsch "das Zeitdiagramm hat zu wenige Spuren"
  grep -q ',eingang,1,1$' "$spur" || falsch "das Auto am Eingang 1 fehlt"
  # --modell behind the recorder: the simulated box there runs it, and the
  # console says so and gives its verdict.
  printf 'vorbereitung\nmotor 1 1\npause 25\nmotor 1 0\n' >"$tmp/anschlag.txt"
  rc=0
  "${emulator[@]}" "$tmp/l/$(basename "$exe")" --boxes=console --modell=schranke "$tmp/anschlag.txt" \
    >"$tmp/aus" 2>"$tmp/err" </dev/null || rc=$?
  [ "$rc" = 3 ] || falsch "mit --modell hinter dem Mitschnitt Exit-Code $rc statt 3"
  grep -qF 'umFish40.DLL ist der Mitschnitt; --modell und --bericht gelten im simulierten' "$tmp/err" ||
    falsch "die Konsole sagt nicht, wo das Modell laeuft: $(cat "$tmp/err")"
  ;;
durchreichen)
  aufbauen "$tmp/l" "$ERSATZ"
  rc=0
  LUMBRIK_MITSCHNITT=$tmp/m.json "${emulator[@]}" "$tmp/l/$(basename "$HOST")" durchreichen \
    >"$tmp/aus" 2>"$tmp/err" || rc=$?
  [ "$rc" = 0 ] || falsch "Exit-Code $rc statt 0"
  wert=$(sed -n 's/^eingang 1: //p' "$tmp/aus" | tr -d '\r')
  grep -q ",eingang,1,$wert\$" "$tmp/m.csv" || falsch "die Spur hat Eingang 1 nicht wie gemeldet ($wert)"
  spur_pruefen "$tmp/m.csv"
  ;;
getoetet)
  # Killed after 2 s: the trace holds whole lines up to at least 1 s before,
  # and lumbrik-zeitdiagramm.exe draws it; in a folder with an umlaut.
  aufbauen "$tmp/l" "$SIMULATOR"
  rc=0
  LUMBRIK_MITSCHNITT=$tmp/m.json "${emulator[@]}" "$tmp/l/$(basename "$HOST")" toeten 2000 \
    >"$tmp/aus" 2>"$tmp/err" || rc=$?
  [ "$rc" = 9 ] || falsch "Exit-Code $rc statt 9"
  [ ! -s "$tmp/m.svg" ] || falsch "ein getoeteter Host hat ein Zeitdiagramm geschrieben"
  spur_pruefen "$tmp/m.csv"
  letzte=$(grep ',ausgang,1,' "$tmp/m.csv" | tail -n 1 | cut -d. -f1)
  [ "${letzte:-0}" -ge 1000 ] || falsch "die Spur endet bei ${letzte:-0} ms, mehr als 1 s vor dem Ende"
  # Killed 2.5 s after its last switch: the report parses and has it.
  rc=0
  LUMBRIK_MITSCHNITT=$tmp/k.json "${emulator[@]}" "$tmp/l/$(basename "$HOST")" toeten 300 2500 \
    >"$tmp/aus" 2>"$tmp/err" || rc=$?
  [ "$rc" = 9 ] || falsch "Exit-Code $rc statt 9"
  zuletzt=$(sed -n 's/^zuletzt: //p' "$tmp/aus" | tr -d '\r')
  [ "$(grep ',ausgang,1,' "$tmp/k.csv" | tail -n 1 | cut -d, -f4)" = "$zuletzt" ] ||
    falsch "die Spur hat den letzten Wechsel ($zuletzt) nicht"
  python3 -c 'import json, sys; b = json.load(open(sys.argv[1])); sys.exit(b["anzahl"]["ausgang"] < 2)' \
    "$tmp/k.json" || falsch "der Bericht eines getoeteten Hosts fehlt oder zaehlt die Wechsel nicht"
  mkdir "$tmp/Schüler"
  cp "$tmp/m.csv" "$tmp/Schüler/"
  "${emulator[@]}" "$ZEITDIAGRAMM" "$tmp/Schüler/m.csv" >>"$tmp/aus" 2>>"$tmp/err" ||
    falsch "die Spur laesst sich nicht zeichnen"
  xmllint --noout "$tmp/Schüler/m.svg" || falsch "das Zeitdiagramm ist kein wohlgeformtes XML"
  # An empty file is no trace: a message and no pass.
  : >"$tmp/leer.csv"
  rc=0
  "${emulator[@]}" "$ZEITDIAGRAMM" "$tmp/leer.csv" 2>"$tmp/leer" || rc=$?
  { [ "$rc" = 1 ] && grep -q 'leer.csv: die Datei ist leer' "$tmp/leer"; } ||
    falsch "eine leere Spur: Exit-Code $rc, $(cat "$tmp/leer")"
  # Its help, and a mistyped option that is no trace.
  "${emulator[@]}" "$ZEITDIAGRAMM" --hilfe | grep -q '^Aufruf: lumbrik-zeitdiagramm' ||
    falsch "lumbrik-zeitdiagramm --hilfe zeigt den Aufruf nicht"
  rc=0
  "${emulator[@]}" "$ZEITDIAGRAMM" --modell schranke "$tmp/Schüler/m.csv" 2>"$tmp/option" || rc=$?
  { [ "$rc" = 2 ] && grep -q 'unbekannte Option --modell' "$tmp/option"; } ||
    falsch "eine falsche Option: Exit-Code $rc, $(cat "$tmp/option")"
  ;;
fehler)
  # No vendor's library, one without rbGetVoltage, a folder that cannot be
  # written: a message each; the calls go on.
  printf 'vorbereitung\neinschalten 1\nausgangzustand\n' >"$tmp/skript.txt"
  aufbauen "$tmp/ohne"
  konsole "$tmp/ohne" "$tmp/skript.txt"
  grep -qF 'lumbrik Mitschnitt: die Bibliothek des Herstellers Z:' "$tmp/err" ||
    falsch "ohne Bibliothek keine Meldung: $(cat "$tmp/err")"
  grep -qF 'ohne\echt\umFish40.DLL lässt sich nicht laden (Systemfehler 126' "$tmp/err" ||
    falsch "die Meldung nennt Datei und Systemfehler nicht"
  grep -qF 'Fehler beim Öffnen des FT-Robo Interfaces an USB' "$tmp/aus" ||
    falsch "ohne Bibliothek kein Fehlschlag beim Oeffnen"
  grep -qF 'echt\\umFish40.DLL lässt sich nicht laden' "$tmp/ohne/mitschnitte/"*.json ||
    falsch "der Bericht nennt die fehlende Bibliothek nicht"

  aufbauen "$tmp/halb" "$ERSATZ_OHNE"
  konsole "$tmp/halb" "$tmp/skript.txt"
  grep -qF 'halb\echt\umFish40.DLL hat die Funktion rbGetVoltage nicht' "$tmp/err" ||
    falsch "keine Meldung der fehlenden Funktion: $(cat "$tmp/err")"
  grep -qF 'Fehler beim Öffnen des FT-Robo Interfaces an USB' "$tmp/aus" ||
    falsch "ohne rbGetVoltage kein Fehlschlag beim Oeffnen"

  aufbauen "$tmp/gesperrt" "$SIMULATOR"
  : >"$tmp/gesperrt/mitschnitte"
  konsole "$tmp/gesperrt" "$tmp/skript.txt"
  [ "$rc" = 0 ] || falsch "Exit-Code $rc statt 0"
  zeilen=$(grep -c 'lumbrik Mitschnitt' "$tmp/err")
  [ "$zeilen" = 1 ] || falsch "$zeilen Zeilen des Mitschnitts statt einer: $(cat "$tmp/err")"
  grep -qF 'gesperrt\mitschnitte lässt sich nicht anlegen' "$tmp/err" ||
    falsch "die Zeile nennt den Ordner nicht"
  grep -qF 'die Aufrufe gehen ohne Mitschnitt weiter' "$tmp/err" ||
    falsch "die Zeile sagt nicht, dass es weitergeht"
  grep -qx '= 1' "$tmp/aus" || falsch "ohne Mitschnitt gehen die Aufrufe nicht durch"

  # A copy of the recorder in echt\ is no vendor's library.
  aufbauen "$tmp/kopie" "$MITSCHNITT"
  konsole "$tmp/kopie" "$tmp/skript.txt"
  grep -qF 'kopie\echt\umFish40.DLL ist ein Mitschnitt' "$tmp/err" ||
    falsch "die Kopie in echt wird nicht erkannt: $(cat "$tmp/err")"

  # Two threads switching at once: the trace ends as the box does.
  aufbauen "$tmp/faeden" "$SIMULATOR"
  LUMBRIK_MITSCHNITT=$tmp/f.json "${emulator[@]}" "$tmp/faeden/$(basename "$HOST")" faeden \
    >"$tmp/aus" 2>"$tmp/err" || falsch "faeden: Exit-Code $?"
  box=$(sed -n 's/^ausgang 1: //p' "$tmp/aus" | tr -d '\r')
  [ "$(grep ',ausgang,1,' "$tmp/f.csv" | tail -n 1 | cut -d, -f4)" = "$box" ] ||
    falsch "die Spur endet anders als die Box ($box)"
  ;;
wiedergabe)
  # The barrier's sample program recorded, then played back in the simulated
  # box (LUMBRIK_MODELL=the trace): the same program sets every output as
  # recorded; one that switches the lamp 1 s late diverges once, at the
  # recorded time (when the motor started). A wider window than the default
  # 100 ms keeps a busy machine's jitter out.
  aufbauen "$tmp/l" "$SIMULATOR"
  LUMBRIK_MODELL=schranke LUMBRIK_MITSCHNITT=$tmp/m.json konsole "$tmp/l" "$quellen/simulator/modelle/schranke.txt"
  [ "$rc" = 0 ] || falsch "Aufnahme: Exit-Code $rc statt 0"
  LUMBRIK_MODELL=$tmp/m.csv LUMBRIK_TOLERANZ=250 LUMBRIK_BERICHT=$tmp/gleich.json \
    konsole "$(dirname "$exe")" "$quellen/simulator/modelle/schranke.txt"
  [ "$rc" = 0 ] || falsch "dasselbe Programm: Exit-Code $rc statt 0: $(grep -F '"text"' "$tmp/gleich.json")"
  grep -qF '"fehler_anzahl": 0,' "$tmp/gleich.json" || falsch "dasselbe Programm weicht ab"
  grep -q ',eingang,2,1$' "$tmp/gleich.csv" || falsch "der Eingang 2 folgt nicht dem Mitschnitt"
  printf '%s\n' vorbereitung 'schalter 1' 'pause 12' 'schalter 3' 't_proz1 4' 'motor 1 1' \
    'pause 10' 't_proz1 7' 'einschalten 3' 't_proz1 4' 'pause 17' 'motor 1 0' 'schalter 2' \
    'pause 10' 'motor 1 -1' 'pause 25' 'motor 1 0' 'schalter 1' 'ausschalten 3' >"$tmp/spaet.txt"
  LUMBRIK_MODELL=$tmp/m.csv LUMBRIK_TOLERANZ=250 LUMBRIK_BERICHT=$tmp/spaet.json \
    konsole "$(dirname "$exe")" "$tmp/spaet.txt"
  [ "$rc" = 3 ] || falsch "die spaete Lampe: Exit-Code $rc statt 3"
  if ! grep -qF '"fehler_anzahl": 1,' "$tmp/spaet.json" ||
    ! grep -qE '"text": "Ausgang 3 \(Motor 2 vor\) war in der Aufnahme bei [0-9]+,[0-9]{2} s an \(Stufe 7\), jetzt aus"' "$tmp/spaet.json"; then
    falsch "nicht eine Abweichung am Ausgang 3: $(grep -F '"text"' "$tmp/spaet.json")"
  fi
  # Its diagram draws the recording behind the outputs, and so does the
  # drawing tool from the report beside the trace.
  grep -q 'class="aufnahme"' "$tmp/spaet.svg" || falsch "das Zeitdiagramm zeigt die Aufnahme nicht"
  "${emulator[@]}" "$ZEITDIAGRAMM" "$tmp/spaet.csv" "$tmp/spaet_neu.svg" >"$tmp/aus" 2>&1 ||
    falsch "lumbrik-zeitdiagramm: $(cat "$tmp/aus")"
  grep -q 'class="aufnahme"' "$tmp/spaet_neu.svg" || falsch "lumbrik-zeitdiagramm zeigt die Aufnahme nicht"
  fehler_ms=$(sed -n 's/.*"zeit_ms": \([0-9]*\), "regel": "mitschnitt".*/\1/p' "$tmp/spaet.json")
  motor_ms=$(grep ',motor,1,4$' "$tmp/spaet.csv" | cut -d, -f1)
  lampe_ms=$(grep ',ausgang,3,7$' "$tmp/spaet.csv" | cut -d, -f1)
  abstand=$((fehler_ms - motor_ms))
  if [ "${abstand#-}" -gt 250 ] || [ $((lampe_ms - fehler_ms)) -lt 750 ]; then
    falsch "die Abweichung bei $fehler_ms ms, der Motor bei $motor_ms ms, die Lampe bei $lampe_ms ms"
  fi

  # A program that stops early passes no more: the changes it left out count.
  printf 'vorbereitung\nschalter 1\n' >"$tmp/frueh.txt"
  LUMBRIK_MODELL=$tmp/m.csv konsole "$(dirname "$exe")" "$tmp/frueh.txt"
  [ "$rc" = 3 ] || falsch "ein Programm, das frueh endet: Exit-Code $rc statt 3"

  # A model that names the recording: its light barrier on input 2 (lit,
  # active when dark) stands over the recorded input; input 1 follows the
  # recording.
  printf '[modell]\nname = "licht"\nmitschnitt = "m.csv"\n\n[[lichtschranke]]\nname = "licht"\neingang = 2\naktiv_bei = "dunkel"\n' \
    >"$tmp/licht.toml"
  LUMBRIK_MODELL=$tmp/licht.toml LUMBRIK_TOLERANZ=250 LUMBRIK_BERICHT=$tmp/licht.json \
    konsole "$(dirname "$exe")" "$quellen/simulator/modelle/schranke.txt"
  [ "$rc" = 0 ] || falsch "Modell mit Mitschnitt: Exit-Code $rc statt 0"
  grep -q ',eingang,1,1$' "$tmp/licht.csv" || falsch "mit Modell folgt Eingang 1 nicht dem Mitschnitt"
  ! grep -q ',eingang,2,1$' "$tmp/licht.csv" || falsch "die Lichtschranke steht nicht ueber dem Mitschnitt"
  printf '[modell]\nname = "ohne"\nmitschnitt = "fehlt.csv"\n' >"$tmp/ohne.toml"
  printf 'vorbereitung\n' >"$tmp/kurz.txt"
  LUMBRIK_MODELL=$tmp/ohne.toml konsole "$(dirname "$exe")" "$tmp/kurz.txt"
  [ "$rc" = 4 ] || falsch "ohne den genannten Mitschnitt: Exit-Code $rc statt 4"
  grep -qF "Modell $tmp/ohne.toml: Mitschnitt $tmp/fehlt.csv: die Spur lässt sich nicht lesen" "$tmp/err" ||
    falsch "keine Meldung zum fehlenden Mitschnitt: $(cat "$tmp/err")"
  ;;
bruecke)
  # A 64-bit console: the bridge beside it, its helper with the recorder in
  # bruecke32\, the simulated box in bruecke32\echt\. The recording lands
  # in bruecke32\mitschnitte\ when the helper ends with the console.
  mkdir -p "$tmp/l/bruecke32/echt"
  cp "$exe" "$LUMBRIK" "$BRUECKE" "$tmp/l/"
  cp "$HELFER" "$MITSCHNITT" "$tmp/l/bruecke32/"
  cp "$SIMULATOR" "$tmp/l/bruecke32/echt/umFish40.DLL"
  printf 'vorbereitung\neinschalten 3\nmotor 1 -1\nausgangzustand\nallesaus\n' >"$tmp/skript.txt"
  konsole "$tmp/l" "$tmp/skript.txt"
  [ "$rc" = 0 ] || falsch "Exit-Code $rc statt 0"
  grep -qx '= 6' "$tmp/aus" || falsch "ausgangzustand nicht 6 durch Bruecke und Mitschnitt"
  bericht=$(find "$tmp/l/bruecke32/mitschnitte" -name '*.json' 2>/dev/null)
  [ -n "$bericht" ] || falsch "kein Mitschnitt in bruecke32\mitschnitte"
  python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$bericht" || falsch "der Bericht ist kein JSON"
  spur=${bericht%.json}.csv
  spur_pruefen "$spur"
  for zeile in ausgang,3,7 motor,1,-7 ausgangzustand,0,6 ausgang,3,0 motor,1,0; do
    grep -q ",$zeile\$" "$spur" || falsch "die Spur hat $zeile nicht"
  done
  ;;
*)
  falsch "unbekannter Fall $fall"
  ;;
esac
[ "$fehler" = 0 ] || { echo "--- Ausgabe:"; cat "$tmp/aus"; echo "--- Fehler:"; cat "$tmp/err"; }
exit "$fehler"
