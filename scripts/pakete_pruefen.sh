#!/bin/sh
# Fails when a build read a system header from a package that scripts/setup.sh
# does not install, neither itself nor through what it installs. Here that
# package is installed by hand and everything passes; on a fresh machine the
# README's commands would stop at once.
#   scripts/pakete_pruefen.sh <build dir>     (a Ninja build, after building)
set -eu
build=$1
skripte=$(cd "$(dirname "$0")" && pwd)

# Every header the compilers read, as the build recorded it; links (such as
# the cross build's folder that points at toml++) are followed to their files.
dateien=$(ninja -C "$build" -t deps | awk '/^    \//{print $1}' | sort -u |
  xargs -r realpath -e 2>/dev/null | grep -E '^/(usr|opt|etc)/' | sort -u || true)
[ -n "$dateien" ] || { echo "pakete_pruefen: $build hat keine Abhängigkeiten aufgezeichnet" >&2; exit 1; }

# Which package brought each (dpkg -S: "paket:arch: /pfad", several packages
# comma-separated where a folder is shared).
eigentuemer=$(echo "$dateien" | xargs -r dpkg -S 2>/dev/null |
  sed -E 's/: \/.*//' | tr ',' '\n' | sed -E 's/^ +//; s/:.*//' | sort -u)
ohne=$(echo "$dateien" | xargs -r dpkg -S 2>&1 >/dev/null | sed -nE 's/^dpkg-query: no path found matching pattern (.*)/\1/p')

# What setup.sh installs, with everything that pulls in.
pakete=$("$skripte/setup.sh" pakete | sed 's/:.*//')
# shellcheck disable=SC2086 # one package a word
huelle=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances $pakete 2>/dev/null | grep -vE '^ |^<' | sed 's/:.*//' | sort -u)

fehler=0
for p in $eigentuemer; do
  if ! echo "$huelle" | grep -qx "$p"; then
    echo "pakete_pruefen: $build liest Dateien aus dem Paket $p, das scripts/setup.sh nicht installiert:" >&2
    echo "$dateien" | xargs -r dpkg -S 2>/dev/null | grep -E "(^|, )$p(:[a-z0-9]+)?[:,]" |
      sed -E 's/.*: (\/)/  \1/' | head -n 5 >&2
    fehler=1
  fi
done
if [ -n "$ohne" ]; then
  echo "pakete_pruefen: $build liest Dateien, die zu keinem Paket gehören:" >&2
  echo "$ohne" | head -n 5 | sed 's/^/  /' >&2
  fehler=1
fi
[ "$fehler" = 0 ] && echo "pakete_pruefen: $(echo "$dateien" | wc -l) Systemdateien aus $(echo "$eigentuemer" | wc -w) Paketen, alle von scripts/setup.sh"
exit "$fehler"
