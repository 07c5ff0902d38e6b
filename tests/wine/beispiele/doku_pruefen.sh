#!/bin/sh
# docs/hosts.md shows each example program unchanged: a line
# "<!-- aus hosts/beispiele/... -->" is followed by a fenced block that must
# equal that file, and every example program has such a block.
#   doku_pruefen.sh <docs/hosts.md> <source dir>
set -u
doku=$1
quelle=$2
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
fehler=0

# Writes each marked block to $arbeit/<n> and lists "<n> <path>" in $arbeit/liste.
awk -v arbeit="$arbeit" '
  /^<!-- aus [^ ]+ -->$/ { pfad = $3; next }
  pfad != "" && /^```/ && datei == "" { n++; datei = arbeit "/" n; printf "" > datei
                                       print n, pfad > (arbeit "/liste"); next }
  datei != "" && /^```$/ { close(datei); datei = ""; pfad = ""; next }
  datei != "" { print > datei }
' "$doku"
touch "$arbeit/liste"

while read -r n pfad; do
  if ! cmp -s "$arbeit/$n" "$quelle/$pfad"; then
    echo "FALSCH: der Block zu $pfad weicht von der Datei ab:"
    diff -u "$quelle/$pfad" "$arbeit/$n"
    fehler=1
  fi
done <"$arbeit/liste"

for datei in "$quelle"/hosts/beispiele/*/*; do
  pfad=${datei#"$quelle"/}
  case $pfad in *.json) continue ;; esac
  if ! grep -q " $pfad\$" "$arbeit/liste"; then
    echo "FALSCH: $pfad steht nicht in $doku"
    fehler=1
  fi
done
[ "$fehler" -eq 0 ] && echo "ok: $(wc -l <"$arbeit/liste") Beispiele in $doku"
exit "$fehler"
