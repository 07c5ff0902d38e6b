#!/bin/sh
# The panel of the simulated box, seen and touched through the X server: a
# host drives the real lumbrik.dll with command lines from a pipe, xdotool
# clicks into the panel, and screenshots are read pixel by pixel.
#   panel_pruefen.sh <fall> <emulator> <host.exe> [host arguments...]
#   panel_pruefen.sh bild <emulator> <file.png> <host.exe> [host arguments...]
# Cases: lampen, schalter, schieber, spannung, schliessen, versteckt, ohne_anzeige,
# modell, menue; bild saves a picture of a busy panel (docs/simulator.png) instead,
# modell_bild one of a model in it (docs/modell.png).
# The host reads commands such as "einschalten 1" on standard input and
# prints each result (wahr, falsch or a number) on a line of its own.
# Points are passed as "x y" and split on purpose; the trap calls aufraeumen.
# shellcheck disable=SC2046,SC2317,SC2086,SC2154 # the layout arrives by eval
set -u
fall=$1
emulator=$2
shift 2

if [ "$fall" = bild ] || [ "$fall" = modell_bild ]; then
  ziel=$1
  shift
fi

# The layout and colours of the window, in client pixels, as the window's
# geometry says (panel_masse prints them: breite, hoehe, lampe_mitte_1, ...).
masse=$("$emulator" "${PANEL_MASSE:?panel_masse.exe fehlt}" | tr -d '\r') || {
  echo "panel_masse lief nicht"
  exit 1
}
eval "$masse"
punkt() { eval echo "\$${1}_$2"; }
lampe_mitte() { punkt lampe_mitte "$1"; }
motor_pfeil() { punkt motor_pfeil "$1"; }
# Left of the number on the switch, which is drawn in the switch's colour.
schalter_rand() { punkt schalter_rand "$1"; }
schalter_mitte() { punkt schalter_mitte "$1"; }
# Pixel n of a slider's track: the slider then reads 3 * n.
schieber_punkt() { echo $(($(punkt schieber_links "$1") + $2)) "$(punkt schieber_mitte "$1")"; }
spannung_feld() { punkt spannung_feld "$1"; }
# Somewhere on the panel where a click changes nothing.
leer() { echo 500 20; }
# The model menu's button; its items below it, 17 pixels each with Wine's
# default font: none first, then the built-in models by name; clicked a
# little left of the button's middle, within every item's text.
menue_knopf() { punkt menue_knopf 1; }
menue_eintrag() { echo "$(($(punkt menue_knopf 1 | cut -d' ' -f1) - 16))" $((menue_unten + 11 + 17 * $1)); }

arbeit=$(mktemp -d)
host_pid=
fehler=0

aufraeumen() {
  exec 3>&-
  if [ -n "$host_pid" ] && kill -0 "$host_pid" 2>/dev/null; then
    kill "$host_pid" 2>/dev/null
  fi
  rm -rf "$arbeit"
}
trap aufraeumen EXIT

falsch() {
  echo "FALSCH: $1"
  fehler=1
}

ende_mit_fehler() {
  falsch "$1"
  echo "--- Ausgabe des Hosts"
  cat "$arbeit/aus" 2>/dev/null
  cat "$arbeit/fehler" 2>/dev/null
  exit 1
}

# Without any input the host ends at once, and cleanly.
"$emulator" "$@" </dev/null >"$arbeit/leer" 2>&1 || {
  cat "$arbeit/leer"
  ende_mit_fehler "der Host endet ohne Eingabe nicht sauber"
}

# --- The host, talked to through a pipe ---

# Starts the host; `zusatz` holds extra arguments for env (LUMBRIK_PANEL=0, -u DISPLAY).
zusatz=
starten() {
  mkfifo "$arbeit/ein"
  # shellcheck disable=SC2086
  env $zusatz "$emulator" "$@" <"$arbeit/ein" >"$arbeit/aus" 2>"$arbeit/fehler" &
  host_pid=$!
  exec 3>"$arbeit/ein"
  gelesen=0
}

senden() { printf '%s\n' "$1" >&3; }

# Result lines, with the console's "= " in front or without.
ergebnisse() { tr -d '\r' <"$arbeit/aus" | sed -n 's/^\(= \)\{0,1\}\(wahr\|falsch\|-\{0,1\}[0-9][0-9]*\)$/\2/p'; }

# Sends a command and waits up to 20 s for its result, which goes into `wert`.
# (Not through $(...): the count of results read must stay in this shell.)
fragen() {
  senden "$1"
  gelesen=$((gelesen + 1))
  i=0
  while [ "$(ergebnisse | wc -l)" -lt "$gelesen" ]; do
    i=$((i + 1))
    [ "$i" -le 400 ] || ende_mit_fehler "keine Antwort des Hosts auf $1"
    sleep 0.05
  done
  wert=$(ergebnisse | sed -n "${gelesen}p")
}

# fragt <command> <expected>
fragt() {
  fragen "$1"
  [ "$wert" = "$2" ] || falsch "$1 gibt $wert statt $2"
}

# Asks until the answer is the expected one: the panel's thread takes a click
# in its own time. fragt_bis <command> <expected>
fragt_bis() {
  i_bis=0
  while :; do
    fragen "$1"
    [ "$wert" = "$2" ] && return 0
    i_bis=$((i_bis + 1))
    if [ "$i_bis" -gt 100 ]; then
      falsch "$1 gibt $wert statt $2"
      return 1
    fi
    sleep 0.1
  done
}

# Closes the host's input and waits up to 20 s for it to end with exit code
# $1 (default 0).
beenden() {
  exec 3>&-
  i=0
  while kill -0 "$host_pid" 2>/dev/null; do
    i=$((i + 1))
    [ "$i" -le 200 ] || ende_mit_fehler "der Host endet nicht"
    sleep 0.1
  done
  rc=0
  wait "$host_pid" || rc=$?
  host_pid=
  [ "$rc" -eq "${1:-0}" ] || falsch "der Host endet mit $rc"
}

# --- The panel on the X server ---

# The picture for the docs, then the host ends (with exit code $1, default
# 0). The pointer goes away from the window first, or a slider would show its
# trace.
bild_speichern() {
  xdotool mousemove 1000 900
  sleep 0.2
  aufnehmen
  cp "$arbeit/bild.png" "$ziel"
  beenden "${1:-0}"
}

panels() { xdotool search "$@" --name '^lumbrik Simulator$' 2>/dev/null; }

# Waits up to 20 s for the panel to show; then dx, dy are where its client
# area starts in the window (Wine draws frame and caption itself).
fenster_finden() {
  i=0
  while :; do
    fenster=$(panels --onlyvisible | head -n 1)
    [ -n "$fenster" ] && break
    i=$((i + 1))
    [ "$i" -le 200 ] || ende_mit_fehler "das Panel erscheint nicht"
    sleep 0.1
  done
  eval "$(xdotool getwindowgeometry --shell "$fenster")"
  dx=$(((WIDTH - breite) / 2))
  dy=$((HEIGHT - hoehe - dx))
}

# Waits up to 10 s for no panel to be shown.
verschwunden() {
  i=0
  while [ -n "$(panels --onlyvisible)" ]; do
    i=$((i + 1))
    [ "$i" -le 100 ] || return 1
    sleep 0.1
  done
}

aufnehmen() { import -window "$fenster" "$arbeit/bild.png"; }

# The colour at a client point of the last picture, as RRGGBB.
pixel() {
  convert "$arbeit/bild.png" -format "%[hex:p{$(($1 + dx)),$(($2 + dy))}]" info: | cut -c1-6
}

# ist <what> <x> <y> <colour>: checks the last picture.
ist() {
  farbe=$(pixel "$2" "$3")
  [ "$farbe" = "$4" ] || falsch "$1 ist $farbe statt $4"
}

# Takes pictures for up to 10 s until the point has the colour.
# wird <what> <x> <y> <colour>
wird() {
  i=0
  while :; do
    aufnehmen
    [ "$(pixel "$2" "$3")" = "$4" ] && return 0
    i=$((i + 1))
    if [ "$i" -gt 50 ]; then
      ist "$@"
      return 1
    fi
    sleep 0.2
  done
}

# Where the model's moving part starts on the first axis, in client x, in
# the last picture; empty when it is not on the track.
teil_x() {
  n=$(convert "$arbeit/bild.png" -crop "$((achse_rechts - achse_links + 12))x1+$((achse_links - 6 + dx))+$((achse_mitte + dy))" \
    +repage txt:- | grep -i -m1 "#$teil" | cut -d, -f1)
  [ -n "$n" ] && echo $((achse_links - 6 + n))
}

# Red pixels in the model's fault list of the last picture.
rote_pixel() {
  convert "$arbeit/bild.png" -crop "316x64+$((548 + dx))+$((240 + dy))" +repage txt:- |
    grep -ci "#$fehler_rot"
}

klicken() { xdotool mousemove --window "$fenster" $(($1 + dx)) $(($2 + dy)) click 1; }

# ziehen <from x> <y> <to x>: pressed, moved in two steps, released.
ziehen() {
  xdotool mousemove --window "$fenster" $(($1 + dx)) $(($2 + dy)) mousedown 1 \
    mousemove --window "$fenster" $((($1 + $3) / 2 + dx)) $(($2 + dy)) \
    mousemove --window "$fenster" $(($3 + dx)) $(($2 + dy)) mouseup 1
}

# --- The cases ---

case "$fall" in
lampen)
  starten "$@"
  senden vorbereitung
  fenster_finden
  # A window just shown may not be painted yet: wait for the first picture.
  wird "Lampe 1 vor dem Einschalten" $(lampe_mitte 1) $aus
  ist "Motor 3 vor dem Start" $(motor_pfeil 3) $motor_steht
  senden "einschalten 1"
  senden "t_proz1 1"
  senden "einschalten 2"
  senden "t_proz1 5"
  senden "motor 3 1"
  fragt ausgangzustand 19
  # The panel draws whole snapshots: once the last change shows, all do.
  wird "Motor 3 (läuft)" $(motor_pfeil 3) $motor_laeuft
  ist "Lampe 1 (Stufe 7)" $(lampe_mitte 1) $gold
  ist "Lampe 2 (Stufe 1)" $(lampe_mitte 2) $stufe1
  ist "Lampe 3 (aus)" $(lampe_mitte 3) $aus
  ist "Lampe 5 (Motor 3, Stufe 5)" $(lampe_mitte 5) $stufe5
  ist "Lampe 6 (Motor 3, andere Richtung)" $(lampe_mitte 6) $aus
  ist "Motor 1 (steht)" $(motor_pfeil 1) $motor_steht
  senden "ausschalten 1"
  senden "motor 3 0"
  fragt ausgangzustand 2
  wird "Motor 3 (wieder aus)" $(motor_pfeil 3) $motor_steht
  ist "Lampe 1 (wieder aus)" $(lampe_mitte 1) $aus
  ist "Lampe 5 (wieder aus)" $(lampe_mitte 5) $aus
  beenden
  ;;
schalter)
  starten "$@"
  senden vorbereitung
  fenster_finden
  fragt "schalter 1" falsch
  klicken $(schalter_mitte 1)
  wird "Schalter 1 (an)" $(schalter_rand 1) $schalter_an
  fragt "schalter 1" wahr
  fragt "schalter 2" falsch
  klicken $(schalter_mitte 8)
  fragt_bis "schalter 8" wahr
  klicken $(schalter_mitte 1)
  wird "Schalter 1 (wieder aus)" $(schalter_rand 1) $schalter_aus
  fragt "schalter 1" falsch
  fragt "schalter 8" wahr
  beenden
  ;;
schieber)
  starten "$@"
  senden vorbereitung
  fenster_finden
  fragt "sensor 1" 0
  klicken $(schieber_punkt 1 100)
  fragt_bis "sensor 1" 300
  set -- $(schieber_punkt 2 10)
  ziehen "$1" "$2" $(($1 + 190))
  fragt_bis "sensor 2" 600
  fragt "sensor 1" 300
  # Beyond either end the slider stops at 1023 or 0.
  set -- $(schieber_punkt 1 100)
  ziehen "$1" "$2" $(($1 + 300))
  fragt_bis "sensor 1" 1023
  set -- $(schieber_punkt 2 200)
  ziehen "$1" "$2" $(($1 - 240))
  fragt_bis "sensor 2" 0
  beenden
  ;;
spannung)
  starten "$@"
  senden vorbereitung
  fenster_finden
  fragt "t_funk1 2" 0
  klicken $(spannung_feld 2)
  xdotool key --delay 20 ctrl+a BackSpace 9 0 0 0
  fragt_bis "t_funk1 2" 9000
  xdotool key BackSpace
  fragt_bis "t_funk1 2" 900
  # What is no number leaves the voltage as it was.
  xdotool key --delay 20 ctrl+a x
  klicken $(leer)
  fragt "t_funk1 2" 900
  fragt "t_funk1 1" 0
  beenden
  ;;
schliessen)
  starten "$@"
  senden vorbereitung
  fenster_finden
  # The close button sits at the right end of the caption.
  titel=$((dy - dx))
  xdotool mousemove --window "$fenster" $((WIDTH - dx - titel / 2)) $((dx + titel / 2)) click 1
  verschwunden || falsch "das Panel bleibt nach dem Schließen"
  fragt "schalter 1" falsch
  senden "einschalten 2"
  fragt ausgangzustand 2
  [ -z "$(panels --onlyvisible)" ] || falsch "das Panel kommt ohne neues Öffnen wieder"
  senden vorbereitung
  fenster_finden
  wird "Lampe 2 nach dem neuen Öffnen" $(lampe_mitte 2) $gold
  # An open while it is shown keeps it.
  senden vorbereitung
  fragt ausgangzustand 2
  [ "$(panels | wc -l)" -eq 1 ] || falsch "mehr als ein Panel"
  beenden
  ;;
versteckt)
  zusatz=LUMBRIK_PANEL=0
  starten "$@"
  senden vorbereitung
  senden "einschalten 1"
  fragt ausgangzustand 1
  # Shown, the panel is there within a fraction of a second.
  sleep 2
  [ -z "$(panels)" ] || falsch "mit LUMBRIK_PANEL=0 gibt es ein Panel"
  beenden
  ;;
ohne_anzeige)
  zusatz="-u DISPLAY"
  starten "$@"
  senden vorbereitung
  senden "einschalten 1"
  fragt ausgangzustand 1
  fragt "schalter 1" falsch
  fragt "sensor 1" 0
  sleep 1
  [ -z "$(panels)" ] || falsch "ohne Anzeige gibt es ein Panel"
  beenden
  ;;
modell)
  # The barrier: its arm rises while no vendor call comes, the window follows.
  zusatz=LUMBRIK_MODELL=schranke
  starten "$@"
  senden vorbereitung
  fenster_finden
  wird "der Baum unten" $((achse_links + 1)) $achse_mitte $teil
  # 10 degrees a second: 9 s to the top.
  senden "t_proz1 2"
  senden "einschalten 3"
  senden "motor 1 1"
  fragt ausgangzustand 5
  sleep 1
  aufnehmen
  x1=$(teil_x)
  sleep 0.6
  aufnehmen
  x2=$(teil_x)
  if [ -z "$x1" ] || [ -z "$x2" ] || [ "$x1" -le "$achse_links" ] || [ "$x2" -le "$x1" ]; then
    falsch "der Baum bewegt sich im Bild nicht ($x1, dann $x2)"
  fi
  wird "der Baum am oberen Anschlag" $((achse_rechts - 1)) $achse_mitte $teil
  fragt "schalter 2" wahr
  ist "der obere Endschalter" $((achse_rechts - 10)) $achse_schalter $schalter_an
  ist "der untere Endschalter" $((achse_links + 10)) $achse_schalter $schalter_aus
  # Pushed against its stop (at 90 degrees, a moment after): the fault is listed in red.
  i=0
  while [ "$(rote_pixel)" -eq 0 ]; do
    i=$((i + 1))
    [ "$i" -le 50 ] || { falsch "kein Fehler in Rot"; break; }
    sleep 0.2
    aufnehmen
  done
  senden "motor 1 0"
  fragt ausgangzustand 4
  # The console's exit code tells of the model's fault.
  beenden 3
  ;;
menue)
  starten "$@"
  senden vorbereitung
  fenster_finden
  fragt "schalter 1" falsch
  # The fifth item: the barrier, whose arm starts down on input 1's switch.
  klicken $(menue_knopf)
  sleep 1
  klicken $(menue_eintrag 4)
  fragt_bis "schalter 1" wahr
  wird "der Baum unten" $((achse_links + 1)) $achse_mitte $teil
  klicken $(menue_knopf)
  sleep 1
  klicken $(menue_eintrag 0)
  fragt_bis "schalter 1" falsch
  beenden
  ;;
modell_bild)
  zusatz=LUMBRIK_MODELL=schranke
  starten "$@"
  senden vorbereitung
  fenster_finden
  # Raised without the warning lamp first: a fault to show.
  senden "t_proz1 4"
  senden "motor 1 1"
  senden "einschalten 3"
  fragt ausgangzustand 5
  i=0
  while :; do
    aufnehmen
    x=$(teil_x)
    [ -n "$x" ] && [ "$x" -ge $(((achse_links + achse_rechts) / 2)) ] && break
    i=$((i + 1))
    [ "$i" -le 100 ] || ende_mit_fehler "der Baum hebt sich nicht"
    sleep 0.05
  done
  senden "motor 1 0"
  fragt ausgangzustand 4
  sleep 0.5
  # The picture shows the fault the barrier ran into: the console says so.
  bild_speichern 3
  ;;
bild)
  starten "$@"
  senden vorbereitung
  fenster_finden
  for befehl in "einschalten 1" "t_proz1 3" "einschalten 2" "t_proz1 7" "motor 3 1" \
    "t_proz1 4" "motor 4 -1"; do
    senden "$befehl"
  done
  klicken $(schalter_mitte 2)
  klicken $(schalter_mitte 5)
  fragt_bis "schalter 5" wahr
  klicken $(schieber_punkt 1 180)
  fragt_bis "sensor 1" 540
  klicken $(schieber_punkt 2 60)
  fragt_bis "sensor 2" 180
  klicken $(spannung_feld 1)
  xdotool key --delay 20 ctrl+a BackSpace 9 0 0 0
  fragt_bis "t_funk1 1" 9000
  klicken $(leer)
  sleep 0.5
  bild_speichern
  ;;
*)
  echo "unbekannter Fall: $fall"
  exit 2
  ;;
esac

if [ "$fehler" -eq 0 ]; then
  echo "Panel, $fall: wie erwartet"
fi
exit "$fehler"
