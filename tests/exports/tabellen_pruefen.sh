#!/bin/sh
# Checks the built lumbrik.dll as a host and the loader see it: a PE32 DLL
# for i386 (or PE32+ for x86-64), exactly the exports with their ordinals,
# imports from the four expected DLLs only, the vendor functions by plain
# name, the version resource, no plain notice text, and the size goal. The
# expected exports ("ordinal name" per line) and vendor functions (one name
# per line) come as files the build writes from its lists.
#   tabellen_pruefen.sh <objdump> <lumbrik.dll> <version> <i386|x86-64> <exporte> <vendor>
set -u
objdump=$1
dll=$2
version=$3
arch=$4
erwartete_exporte=$(sort -n "$5")
erwartete_vendor=$(sort "$6")
fehler=0

falsch() {
  echo "FALSCH: $1"
  fehler=1
}

vergleichen() { # what, expected, actual
  if [ "$2" != "$3" ]; then
    falsch "$1"
    echo "--- erwartet"; echo "$2"
    echo "--- gebaut"; echo "$3"
  fi
}

case $arch in
i386) pe=PE32 architektur=i386 ;;
x86-64) pe=PE32+ architektur=i386:x86-64 ;;
*)
  echo "unbekannte Architektur: $arch"
  exit 2
  ;;
esac

"$objdump" -f "$dll" | grep -q "file format pei-$arch\$" || falsch "kein $pe-Format"
"$objdump" -f "$dll" | grep -q "architecture: $architektur," || falsch "nicht für $arch"
tabelle=$("$objdump" -p "$dll")
echo "$tabelle" | grep -q "^Magic.*($pe)$" || falsch "kein $pe"
echo "$tabelle" | grep -qx "[[:space:]]*DLL" || falsch "keine DLL"

# Export names with ordinals: the name table lists [index] name, and the
# ordinal is index + base.
basis=$(echo "$tabelle" | sed -n 's/^Ordinal Base[[:space:]]*\([0-9][0-9]*\).*/\1/p' | head -n 1)
exporte=$(echo "$tabelle" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p' |
  while read -r index name; do echo "$((index + basis)) $name"; done | sort -n)
vergleichen "Exporte" "$erwartete_exporte" "$exporte"

anzahl=$(echo "$tabelle" | sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*0*\([0-9a-f]*\)$/\1/p' | head -n 1)
vergleichen "Zahl der Exporte (hex)" "$(printf %x "$(echo "$erwartete_exporte" | wc -l)")" "$anzahl"

dlls=$(echo "$tabelle" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort)
vergleichen "Importierte DLLs" "KERNEL32.dll
USER32.dll
msvcrt.dll
umFish40.DLL" "$dlls"

vendor=$(echo "$tabelle" | sed -n '/DLL Name: umFish40.DLL/,/^$/p' |
  sed -n 's/^[[:space:]]*[0-9a-f]*[[:space:]]*[0-9]*[[:space:]]\{1,\}\([A-Za-z_@0-9]*\)$/\1/p' | sort)
vergleichen "Importe aus umFish40.DLL" "$erwartete_vendor" "$vendor"

strings -el "$dll" | grep -qx "$version" || falsch "Versionsressource ohne $version"
if LC_ALL=C grep -q -a -e "lumbrik meldet" -e "beim Bauen" "$dll"; then
  falsch "der Hinweis steht als Klartext in der DLL"
fi

groesse=$(wc -c <"$dll")
[ "$groesse" -le 32768 ] || falsch "$groesse Bytes, mehr als 32 KiB"

if [ "$fehler" -eq 0 ]; then
  echo "lumbrik.dll: $pe $arch, $groesse Bytes, $(echo "$erwartete_exporte" | wc -l) Exporte, Importe wie erwartet"
fi
exit "$fehler"
