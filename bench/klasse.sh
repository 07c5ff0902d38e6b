#!/bin/sh
# The class check's own cost and its speed-up, in one run: 12 learners (the
# barrier's correct program, 64-bit, about 8 s each) checked once one at a
# time and once with as many at once as the machine has cores. Its own cost
# per learner is the check's wall time at --gleichzeitig=1 less the
# learners' own run times (klasse.json), divided by 12; the speed-up is the
# ratio of the two wall times. docs/PERFORMANCE.md keeps a record.
#   bench/klasse.sh [learners]
set -eu
cd "$(dirname "$0")/.."
anzahl=${1:-12}
b32=$PWD/build/windows
b64=$PWD/build/windows64
cmake --build --preset windows --target lumbrik umfish_simulator lumbrik_importbibliothek >/dev/null
cmake --build --preset windows64 --target lumbrik_klasse lumbrik_konsole lumbrik umfish_simulator \
  lumbrik_importbibliothek >/dev/null

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
paket=$tmp/paket
mkdir -p "$paket/simulator" "$paket/win64/simulator" "$tmp/abgaben"
cp "$b64/bin/lumbrik-klasse.exe" "$b32/bin/lumbrik.dll" "$paket/"
cp "$b32/simulator/umFish40.DLL" "$paket/simulator/"
cp "$b64/bin/lumbrik.dll" "$b64/bin/lumbrik-konsole.exe" "$paket/win64/"
cp "$b64/simulator/umFish40.DLL" "$paket/win64/simulator/"
x86_64-w64-mingw32-gcc -O1 -s -DFALL_RICHTIG -Iinclude -o "$tmp/programm.exe" \
  tests/wine/klasse/lernende.c "$b64/lib/liblumbrik.dll.a"
i=1
while [ "$i" -le "$anzahl" ]; do
  cp "$tmp/programm.exe" "$tmp/abgaben/lernende$i.exe"
  i=$((i + 1))
done
kerne=$(nproc)

lauf() { # --gleichzeitig
  rm -rf "$tmp/ziel"
  mkdir "$tmp/ziel"
  anfang=$(date +%s.%N)
  scripts/wine-run.sh "$b64" "$paket/lumbrik-klasse.exe" --modell=schranke --gleichzeitig="$1" \
    --ziel="$tmp/ziel" "$tmp/abgaben" >"$tmp/aus" 2>&1 || true
  ende=$(date +%s.%N)
  wand=$(awk "BEGIN { print $ende - $anfang }")
  programme=$(python3 -c 'import json, sys, glob
k = json.load(open(glob.glob(sys.argv[1] + "/klasse-*/klasse.json")[0], encoding="utf-8"))
assert all(s["urteil"] == "bestanden" for s in k["schueler"]), k["zusammenfassung"]
print(sum(s["laufzeit_s"] for s in k["schueler"]))' "$tmp/ziel")
}
lauf 1
wand1=$wand
eigen=$(awk "BEGIN { print ($wand1 - $programme) / $anzahl }")
printf '%d Lernende, einzeln: %.1f s, davon die Programme %.1f s; eigene Kosten je Lernendem %.2f s\n' \
  "$anzahl" "$wand1" "$programme" "$eigen"
lauf "$kerne"
printf '%d Lernende, %d zugleich: %.1f s; Beschleunigung %.2f (%.2f je Kern)\n' "$anzahl" "$kerne" \
  "$wand" "$(awk "BEGIN { print $wand1 / $wand }")" "$(awk "BEGIN { print $wand1 / $wand / $kerne }")"
