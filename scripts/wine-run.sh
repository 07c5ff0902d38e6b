#!/bin/sh
# Runs a Windows program of the build under Wine.
#   scripts/wine-run.sh <build dir> <program.exe> [arguments...]
# The Wine environment is the build's own (wine-umgebung.sh). Without a
# display the program runs inside a virtual X server.
set -eu
build=$(cd "$1" && pwd)
shift

# Whether the console's arguments choose how it shows boxes (up to a --,
# after which every argument is a file).
boxen_gewaehlt() {
  shift
  for a in "$@"; do
    case $a in
    --) return 1 ;;
    --boxes=* | --boxen=*) return 0 ;;
    esac
  done
  return 1
}

if [ -z "${DISPLAY:-}" ]; then
  # Nobody sees this display, and a box there waits for ever: the console is
  # told to print its boxes, with its own documented option, unless the
  # caller chose; any other program is warned about.
  export LUMBRIK_EIGENE_ANZEIGE=1
  programm=$(basename "$1")
  if [ "$programm" != lumbrik-konsole.exe ]; then
    printf '%s\n' "wine-run.sh: kein Bildschirm (DISPLAY ist leer): $programm läuft in einem unsichtbaren virtuellen Bildschirm; seine Fenster und Meldungsboxen sieht niemand, und eine Box wartet dort für immer." >&2
  elif ! boxen_gewaehlt "$@"; then
    printf '%s\n' "wine-run.sh: kein Bildschirm (DISPLAY ist leer): lumbrik-konsole.exe bekommt --boxes=console und gibt Meldungsboxen als Text aus." >&2
    exe=$1
    shift
    set -- "$exe" --boxes=console "$@"
  fi
  exec xvfb-run -a "$0" "$build" "$@"
fi

skripte=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-umgebung.sh
. "$skripte/wine-umgebung.sh"

# A pipe on standard output or error gets a FIFO of our own in between,
# forwarded as it comes, so `| tee log` sees each line when it is written.
# Wine's helper processes (wineserver, explorer) inherit the program's output
# and outlive it: holding the pipe they would keep a reader such as CTest
# waiting. They hold the FIFO instead; once the program has ended, a marker
# written after everything it wrote tells the forwarder to stop. Terminals and
# files need none of this (and Node.js, for one, cannot write to a FIFO).
ist_pipe() { [ -p "/proc/$$/fd/$1" ]; }
# On a display of our own, Wine's helpers are stopped before it goes, or
# they would complain of the lost X connection into our output.
anzeige_aufraeumen() {
  if [ "${LUMBRIK_EIGENE_ANZEIGE:-}" = 1 ]; then
    wineserver -k 2>/dev/null || true
  fi
}

if ! ist_pipe 1 && ! ist_pipe 2; then
  rc=0
  wine "$@" || rc=$?
  anzeige_aufraeumen
  exit "$rc"
fi

zwischen=$(mktemp -d)
trap 'rm -rf "$zwischen"' EXIT
marke="lumbrik-wine-run-ende-$$-$(date +%s%N)"

# Copies a FIFO to standard output chunk by chunk until the marker. The
# marker is one small write after the program's last, so it arrives whole
# and last (perl-base is part of every Debian system).
weiterleiten() { # fifo
  perl -e 'open(my $ein, "<", $ARGV[0]) or die "$ARGV[0]: $!\n";
    binmode $ein; binmode STDOUT; my $marke = $ARGV[1];
    while (sysread($ein, my $stueck, 65536)) {
      my $i = index($stueck, $marke);
      syswrite(STDOUT, $i < 0 ? $stueck : substr($stueck, 0, $i));
      exit 0 if $i >= 0;
    }' "$1" "$marke"
}

mkfifo "$zwischen/1" "$zwischen/2"
# Held open here too: a forwarder sees no end of file before the marker, even
# when no helper holds the FIFO, and the marker's write never blocks.
exec 3<>"$zwischen/1" 4<>"$zwischen/2"
if [ "$(readlink "/proc/$$/fd/1")" = "$(readlink "/proc/$$/fd/2")" ]; then
  # Both into the same pipe (2>&1): one FIFO keeps them in the order written.
  weiterleiten "$zwischen/1" &
  exec >"$zwischen/1" 2>&1
else
  if ist_pipe 2; then
    weiterleiten "$zwischen/2" >&2 &
    exec 2>"$zwischen/2"
  fi
  if ist_pipe 1; then
    weiterleiten "$zwischen/1" &
    exec >"$zwischen/1"
  fi
fi
rc=0
wine "$@" 3>&- 4>&- || rc=$?
printf '%s' "$marke" >&3
printf '%s' "$marke" >&4
wait
anzeige_aufraeumen
exit "$rc"
