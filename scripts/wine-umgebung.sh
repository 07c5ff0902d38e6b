# The Wine environment of a build, for scripts that run Windows programs
# of it: sourced with `build` set to the build folder and `skripte` to this
# folder (absolute paths).
# The build keeps a Wine prefix of its own, created on first use, and finds
# the simulated umFish40.DLL through WINEPATH.
# shellcheck shell=sh
: "${build:?}" "${skripte:?}"
export WINEPREFIX="${LUMBRIK_WINEPREFIX:-$build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers, no menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPATH="Z:$build/simulator${WINEPATH:+;$WINEPATH}"

# Where 32-bit Wine runs under qemu-user, its processes get the mmap fix
# that scripts/setup.sh builds (see mmap_fix_bauen there).
if grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; then
  bibliothek=$(cd "$skripte/.." && pwd)/build/qemu-i386
  if [ -f "$bibliothek/lib/i386-linux-gnu/wine-mmap.so" ]; then
    # shellcheck disable=SC2016 # $LIB is for the dynamic loader, not the shell
    export LD_PRELOAD="$bibliothek/"'$LIB'"/wine-mmap.so${LD_PRELOAD:+:$LD_PRELOAD}"
  else
    echo "Hinweis: ohne die mmap-Korrektur startet 32-Bit-Wine hier langsam; scripts/setup.sh baut sie." >&2
  fi
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot --init >/dev/null 2>&1
      # No window manager runs here: unmanaged windows open and close at
      # once instead of waiting for one to answer.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      # Wine's prefix says Windows 7, where Node.js 22 (a host of
      # docs/hosts.md) refuses to start.
      wine winecfg -v win10 >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi

# Wine finds its own Marlett font (fonts-wine) only in the prefix: without
# it the caption buttons of every window read "0 1 r".
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
