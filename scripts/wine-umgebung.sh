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

# Where 32-bit Wine runs under qemu-user (see setup.sh), its processes get
# an mmap that honours MAP_FIXED_NOREPLACE: without it each start takes
# about 50 seconds. $LIB picks the i386 library for 32-bit processes and an
# empty one for 64-bit processes.
if grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; then
  quelle=$skripte/qemu-i386/mmap_noreplace.c
  bibliothek=$build/qemu-i386
  # shellcheck disable=SC3013 # -nt: dash and bash have it
  if [ ! -f "$bibliothek/lib/i386-linux-gnu/wine-mmap.so" ] ||
    [ "$quelle" -nt "$bibliothek/lib/i386-linux-gnu/wine-mmap.so" ]; then
    mkdir -p "$bibliothek/lib/i386-linux-gnu" "$bibliothek/lib/x86_64-linux-gnu"
    clang --target=i686-linux-gnu -O2 -fPIC -shared -nostdlib -fuse-ld=lld \
      -o "$bibliothek/lib/i386-linux-gnu/wine-mmap.so.neu" "$quelle"
    echo 'int lumbrik_leer;' | clang -x c -O2 -fPIC -shared -nostdlib \
      -o "$bibliothek/lib/x86_64-linux-gnu/wine-mmap.so" -
    mv "$bibliothek/lib/i386-linux-gnu/wine-mmap.so.neu" "$bibliothek/lib/i386-linux-gnu/wine-mmap.so"
  fi
  # shellcheck disable=SC2016 # $LIB is for the dynamic loader, not the shell
  export LD_PRELOAD="$bibliothek/"'$LIB'"/wine-mmap.so${LD_PRELOAD:+:$LD_PRELOAD}"
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
