#!/bin/sh
# Makes the Wine prefix a build runs its Windows programs in, once: 64-bit
# (it runs 32- and 64-bit programs), Windows 10, windows without a window
# manager, and Wine's Marlett font. A 32-bit-only prefix left by an earlier
# run is replaced, or refused when it is not a build's own.
#   scripts/wine-praefix.sh <prefix>
# Why 64-bit: where 32-bit programs run under qemu-user, a 32-bit prefix runs
# Wine's own processes there too, and qemu-user gives Wine's fault handler no
# trap number, so a fault that Wine would resolve kills the process. When the
# desktop's process (explorer.exe) dies that way, the X server hands its
# window ids out again and the next program takes one of its own windows for
# the desktop's cursor-clip window: on Wine's next focus change it unmaps a
# window it has just destroyed and Xlib ends the program.
set -eu
praefix=$1
# Wine's own programs run 64-bit: where 32-bit ones run under qemu-user
# they start slowly.
wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || {
  echo "wine-praefix.sh: 64-Bit-Wine fehlt ($wine64); scripts/setup.sh installiert es." >&2
  exit 1
}

art() { # the prefix's kind as Wine wrote it: win32 or win64
  sed -n 's/^#arch=//p' "$praefix/system.reg" 2>/dev/null | head -n 1
}

if [ -f "$praefix/system.reg" ] && [ "$(art)" != win64 ]; then
  if [ ! -f "$(dirname "$praefix")/CMakeCache.txt" ]; then
    echo "wine-praefix.sh: $praefix ist ein 32-Bit-Präfix; hier geht nur ein 64-Bit-Präfix (WINEARCH=win64). Bitte einen anderen Ordner nennen oder diesen löschen." >&2
    exit 1
  fi
  echo "wine-praefix.sh: $praefix ist ein 32-Bit-Präfix eines früheren Laufs; er wird durch einen 64-Bit-Präfix ersetzt." >&2
  WINEPREFIX=$praefix wineserver -k 2>/dev/null || true
  rm -rf "$praefix"
fi

if [ ! -f "$praefix/system.reg" ]; then
  mkdir -p "$praefix"
  # Two runs at once (the tests of two builds, say) make it only once.
  (
    flock 9
    if [ ! -f "$praefix/system.reg" ]; then
      export WINEPREFIX="$praefix" WINEARCH=win64 WINEDEBUG=-all
      export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
      "$wine64" wineboot --init >/dev/null 2>&1
      # No window manager runs here: unmanaged windows open and close at
      # once instead of waiting for one to answer.
      "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      # Wine's prefix says Windows 7, where Node.js 22 (a host of
      # docs/hosts.md) refuses to start.
      "$wine64" winecfg -v win10 >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$praefix.lock"
fi

# Wine finds its own Marlett font (fonts-wine) only in the prefix: without
# it the caption buttons of every window read "0 1 r".
fonts=$praefix/drive_c/windows/Fonts
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
