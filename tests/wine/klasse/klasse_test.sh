#!/bin/bash
# The class check under Wine, as a teacher meets it: lumbrik-klasse.exe in a
# folder laid out as the release package, a class of learners' programs built
# here from lernende.c (32- and 64-bit), a console script, entries to skip.
#   klasse_test.sh klasse EXE SOURCE_DIR EMULATOR...
# with KLASSE_BUILD32 and KLASSE_BUILD64 the two Windows builds; the page it
# writes is checked in Chromium (seite_pruefen.js; KLASSE_BILD=file.png keeps
# a screenshot).
# shellcheck source=../fall_vorspann.sh
. "$(dirname "$0")/../fall_vorspann.sh"
b32=$KLASSE_BUILD32
b64=$KLASSE_BUILD64

# The package's layout: 32-bit parts at the top, 64-bit ones in win64.
paket=$tmp/paket
mkdir -p "$paket/simulator/modelle" "$paket/win64/simulator"
cp "$exe" "$paket/"
cp "$b32/bin/lumbrik.dll" "$paket/"
cp "$b32/simulator/umFish40.DLL" "$paket/simulator/"
cp "$b64/bin/lumbrik.dll" "$b64/bin/lumbrik-konsole.exe" "$paket/win64/"
cp "$b64/simulator/umFish40.DLL" "$paket/win64/simulator/"
cp "$quellen"/simulator/modelle/*.toml "$paket/simulator/modelle/"

bauen() { # bits, case, target[, more libraries]
  local cc=i686-w64-mingw32-gcc lib=$b32/lib/liblumbrik.dll.a
  [ "$1" = 64 ] && cc=x86_64-w64-mingw32-gcc lib=$b64/lib/liblumbrik.dll.a
  mkdir -p "$(dirname "$3")"
  "$cc" -O1 -s -Wall -Werror -D"FALL_$2" -I"$quellen/include" -o "$3" \
    "$quellen/tests/wine/klasse/lernende.c" "$lib" "${@:4}" || falsch "$3 laesst sich nicht bauen"
}
# A DLL of a learner's own, which the submission lacks.
printf 'LIBRARY eigene.dll\nEXPORTS\nhilfe\n' >"$tmp/eigene.def"
i686-w64-mingw32-dlltool -d "$tmp/eigene.def" -l "$tmp/libeigene.a"

ab=$tmp/abgaben
bauen 32 RICHTIG "$ab/anna/schranke.exe"
printf 'Anna hat das gebaut.\r\n' >"$ab/anna/LIESMICH.txt"
bauen 32 ANSCHLAG "$ab/ben.exe"
bauen 32 ABSTURZ "$ab/dora.exe"
bauen 32 HAENGT "$ab/emil.exe"
bauen 32 NIE "$ab/fiona.exe"
bauen 64 RICHTIG "$ab/gustav64/schranke.exe"
bauen 32 RICHTIG "$ab/Jürgen Müller/mein programm.exe"
bauen 32 ABWEICHUNG "$ab/karl.exe"
bauen 64 KNOPF "$ab/hanna/fenster.exe"
bauen 32 DLL "$ab/ida.exe" "$tmp/libeigene.a"
cp "$quellen/simulator/modelle/schranke.txt" "$ab/carla.txt"
printf 'kein Programm\n' >"$ab/notizen.pdf"
mkdir "$ab/leer"

pruefen() { # expected exit code, arguments...
  local soll=$1
  shift
  rc=0
  (cd "$tmp" && "${emulator[@]}" "$paket/lumbrik-klasse.exe" "$@") >"$tmp/aus" 2>"$tmp/err" \
    </dev/null || rc=$?
  [ "$rc" = "$soll" ] || falsch "Exit-Code $rc statt $soll"
  [ "$soll" = 2 ] && return
  ergebnis=$(find "$tmp" -maxdepth 1 -name 'klasse-*' -newer "$tmp/abgaben" | sort | tail -n 1)
  [ -n "$ergebnis" ] || { falsch "kein Ordner klasse-*"; return; }
  touch "$tmp/abgaben"
}

urteil() { # name, verdict
  python3 - "$ergebnis/klasse.json" "$1" "$2" <<'PY' || falsch "$1: Urteil nicht $2"
import json, sys
k = json.load(open(sys.argv[1], encoding="utf-8"))
s = [s for s in k["schueler"] if s["name"] == sys.argv[2]]
if not s or s[0]["urteil"] != sys.argv[3]:
    print(sys.argv[2], s[0] if s else "fehlt")
    sys.exit(1)
PY
}

# The class against the model. --dauer leaves room for 32-bit Wine's slow
# start under qemu-user.
touch -d '-1 min' "$tmp/abgaben"
pruefen 3 --modell=schranke --dauer=30 --klick=Start abgaben
urteil anna bestanden
urteil ben Fehler
urteil carla bestanden
urteil dora abgestürzt
urteil emil hängt
urteil fiona "öffnet das Interface nie"
urteil gustav64 bestanden
urteil "Jürgen Müller" bestanden
urteil karl Fehler
urteil hanna bestanden
urteil ida "startet nicht"
python3 - "$ergebnis" <<'PY' || falsch "Ergebnisse unvollstaendig"
import json, sys, os
d = sys.argv[1]
k = json.load(open(d + "/klasse.json", encoding="utf-8"))
s = {s["name"]: s for s in k["schueler"]}
assert [u["name"] for u in k["uebersprungen"]] == ["leer", "notizen.pdf"], k["uebersprungen"]
assert s["gustav64"]["bit"] == 64 and s["anna"]["bit"] == 32
assert any("geladen" in m for m in s["anna"]["meldungen"]), s["anna"]["meldungen"]
bericht = json.load(open(os.path.join(d, s["anna"]["bericht"]), encoding="utf-8"))
assert bericht["meldungsboxen"] == s["anna"]["meldungen"] and "fehler_anzahl" in bericht, bericht
assert any(f["regel"] == "anschlag" for f in s["ben"]["fehler"]), s["ben"]
assert "0xC0000005" in s["dora"]["grund"], s["dora"]
for n in ("anna", "Jürgen Müller", "carla"):
    assert os.path.getsize(os.path.join(d, s[n]["bericht"])) > 0
    assert os.path.isfile(os.path.join(d, s[n]["spur"]))
csv = open(d + "/klasse.csv", "rb").read()
assert csv.startswith(b"\xef\xbb\xbfName;Urteil;") and b"\r\n" in csv
assert "<tbody>" in open(d + "/klasse.html", encoding="utf-8").read()
# Each learner ran in a copy: the submissions got nothing of the runs.
assert not os.path.exists(os.path.join(d, "..", "abgaben", "anna", "lumbrik.dll"))
PY
# The page in a real browser, as the teacher opens it from the share.
node "$quellen/tests/wine/klasse/seite_pruefen.js" "$quellen/build/werkzeuge" \
  "$ergebnis/klasse.html" 11 ${KLASSE_BILD:+"$KLASSE_BILD"} || fehler=1
erster=$ergebnis

# Against the teacher's reference: anna's run stands for the recording of a
# solution on the real kit; karl leaves the warning lamp off (which the
# model's rules caught above, and the recording catches here). A new folder,
# the first one untouched.
mkdir "$tmp/vorbild"
cp "$erster/anna/lauf.csv" "$tmp/vorbild/muster.csv"
mkdir "$tmp/zwei"
cp -r "$ab/anna" "$ab/karl.exe" "$tmp/zwei/"
touch -d '-1 min' "$tmp/abgaben"
LUMBRIK_TOLERANZ=400 pruefen 3 --vorbild=vorbild/muster.csv --dauer=30 zwei
[ "$ergebnis" != "$erster" ] || falsch "der erste Ordner wurde wieder benutzt"
urteil anna bestanden
urteil karl Fehler
grep -q '"regel": "mitschnitt"' "$ergebnis/klasse.json" || falsch "keine Abweichung vom Mitschnitt"

# The check's own errors.
pruefen 2 --modell=schranke abgaben/leer 2>/dev/null
grep -q 'keine Abgabe' "$tmp/err" || falsch "keine Meldung ohne Abgaben: $(cat "$tmp/err")"
rc=0
(cd "$tmp" && "${emulator[@]}" "$paket/lumbrik-klasse.exe" --modell=fehlt.toml abgaben) \
  >"$tmp/aus" 2>"$tmp/err" </dev/null || rc=$?
[ "$rc" = 4 ] || falsch "ohne Modell Exit-Code $rc statt 4"
# A misspelt model is said before anyone runs, with the name it likely meant.
rc=0
(cd "$tmp" && "${emulator[@]}" "$paket/lumbrik-klasse.exe" --modell=schranken abgaben) \
  >"$tmp/aus" 2>"$tmp/err" </dev/null || rc=$?
[ "$rc" = 4 ] || falsch "mit --modell=schranken Exit-Code $rc statt 4"
grep -qF 'meinten Sie schranke?' "$tmp/err" || falsch "kein Vorschlag: $(cat "$tmp/err")"

[ "$fehler" = 0 ] || { echo "--- Ausgabe:"; cat "$tmp/aus"; echo "--- Fehler:"; cat "$tmp/err"; }
exit "$fehler"
