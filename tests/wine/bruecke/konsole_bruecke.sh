#!/bin/bash
# The 64-bit console through the bridge (its folder laid out by aufbauen.sh):
# the model runs in the helper, and the console's exit code is the one the
# run earned, from the report the simulator writes when the helper ends.
#   konsole_bruecke.sh CASE EXE SOURCE_DIR EMULATOR...
# shellcheck source=../fall_vorspann.sh
. "$(dirname "$0")/../fall_vorspann.sh"

# The barrier driven into its stop: one fault; a sim_ command, refused as
# it does not cross the bridge, does not change the exit code.
printf 'vorbereitung\neinschalten 3\nmotor 1 1\npause 25\nschalter 2\nmotor 1 0\nsim_eingang 2 1\n' \
  >"$tmp/skript.txt"
helfer="$(dirname "$exe")/bruecke32/lumbrik-bruecke32.exe"
hinweis="lumbrik-konsole: umFish40.DLL ist die Brücke für 64-Bit-Programme; --modell und --bericht gelten im Helfer $(printf 'Z:%s' "$helfer" | sed 's|/|\\|g'), wenn er das simulierte Interface lädt."
fehler_zeile='lumbrik-konsole: das Modell schranke hat 1 Fehler gemeldet:'
# The console's own reports go to the Temp folder of the build's Wine prefix.
eigene_berichte() {
  find "$WINEPREFIX/drive_c/users" -path '*/Temp/lbk*' 2>/dev/null
}
vorher=$(eigene_berichte)

konsole() {
  rc=0
  LUMBRIK_PANEL=0 "${emulator[@]}" "$exe" --boxes=console --modell=schranke "$@" "$tmp/skript.txt" \
    >"$tmp/aus" 2>"$tmp/err" </dev/null || rc=$?
  [ "$rc" = 3 ] || falsch "Exit-Code $rc statt 3"
  grep -qxF -- "$hinweis" "$tmp/err" || falsch "kein Hinweis auf den Helfer"
  grep -qxF -- "$fehler_zeile" "$tmp/err" || falsch "keine Meldung des Fehlers"
  grep -q "^  bei 2,00 s: anschlag - " "$tmp/err" || falsch "der Fehler ist nicht aufgelistet"
  grep -qF 'Zeile 7: sim_eingang geht nicht durch die Brücke' "$tmp/err" ||
    falsch "sim_eingang nennt die Brücke nicht"
}

# Without --bericht the console reads a report of its own and removes it.
konsole
[ "$(eigene_berichte)" = "$vorher" ] || falsch "ein eigener Bericht blieb liegen: $(eigene_berichte)"

# With --bericht the user's report is written, whole, and stays.
konsole --bericht="$(printf 'Z:%s' "$tmp/lauf.json" | sed 's|/|\\|g')"
grep -qF '"fehler_anzahl": 1,' "$tmp/lauf.json" || falsch "lauf.json zählt den Fehler nicht"
tail -n 1 "$tmp/lauf.json" | grep -qx '}' || falsch "lauf.json ist nicht vollständig"
[ -s "$tmp/lauf.svg" ] || falsch "kein Zeitdiagramm"

[ "$fehler" = 0 ] || { echo "--- Ausgabe:"; cat "$tmp/aus"; echo "--- Fehler:"; cat "$tmp/err"; }
exit "$fehler"
