#!/bin/sh
# The examples that do not run here are at least read by their language's
# own tools, where the machine has them: Node.js and Python check the syntax,
# Free Pascal compiles (for this machine, without linking).
#   syntax_pruefen.sh <source dir>
set -u
beispiele=$1/hosts/beispiele
fehler=0

node --check "$beispiele/javascript/beispiel.js" || fehler=1
python3 -c 'import ast, sys; ast.parse(open(sys.argv[1], encoding="utf-8").read())' \
  "$beispiele/python/beispiel.py" || fehler=1
if command -v fpc >/dev/null; then
  arbeit=$(mktemp -d)
  fpc -Cn -vew -FE"$arbeit" "$beispiele/pascal/beispiel.pas" >"$arbeit/log" 2>&1 ||
    { cat "$arbeit/log"; fehler=1; }
  rm -rf "$arbeit"
else
  echo "fpc fehlt: das Pascal-Beispiel bleibt ungeprüft"
fi
[ "$fehler" -eq 0 ] && echo "ok: Syntax der Beispiele"
exit "$fehler"
