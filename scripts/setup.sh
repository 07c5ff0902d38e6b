#!/bin/sh
# Installs what the build and the tests need on a Debian machine, if it is
# missing: the MinGW-w64 cross compilers and Wine (32- and 64-bit each), a
# virtual X server, clang's fuzzer runtime, the LLVM tools that make and test
# the Microsoft-ABI import library, and the tools the tests drive windows with.
# Where the kernel cannot run 32-bit programs, 32-bit Wine runs under
# qemu-user instead (see qemu_fuer_i386 below).
#   scripts/setup.sh          everything
#   scripts/setup.sh demo     only what scripts/demo.sh needs
#   scripts/setup.sh pakete   only print the packages, one a line (the list
#                             scripts/pakete_pruefen.sh holds the builds to)
set -eu

# The `braucht` lines below are the one list of what the project installs.
fehlt=""
alle=""
braucht() { # package, file that shows it is there
  alle="$alle $1"
  [ -e "$2" ] || fehlt="$fehlt $1"
}
# The demo: build lumbrik.dll and the console, run them under Wine.
braucht g++-mingw-w64-i686 /usr/bin/i686-w64-mingw32-g++-posix
braucht cmake /usr/bin/cmake
braucht ninja-build /usr/bin/ninja
braucht wine /usr/bin/wine
braucht wine32:i386 /usr/lib/wine/wine
# A 64-bit Wine prefix (scripts/wine-praefix.sh says why) and Wine's own
# processes run natively.
braucht wine64 /usr/lib/wine/wine64
braucht xvfb /usr/bin/Xvfb
braucht xauth /usr/bin/xauth
# Wine's own fonts: without Marlett the caption buttons of windows read
# "0 1 r" (scripts/wine-praefix.sh puts it into each prefix).
braucht fonts-wine /usr/share/wine/fonts/marlett.ttf
# Builds the mmap fix for 32-bit Wine under qemu-user (mmap_fix_bauen below).
braucht clang /usr/bin/clang++
braucht lld /usr/bin/ld.lld
# lumbrik.lib, the import library for Microsoft-ABI hosts, made in every
# Windows build.
braucht llvm-14 /usr/bin/llvm-dlltool-14
# Model files (TOML), read by the simulator in every build.
braucht libtomlplusplus-dev /usr/include/toml++/toml.h
# The model's report (JSON), read by the console behind the bridge.
braucht nlohmann-json3-dev /usr/include/nlohmann/json.hpp

if [ "${1:-}" != demo ]; then
  braucht g++-mingw-w64-x86-64 /usr/bin/x86_64-w64-mingw32-g++-posix
  braucht xdotool /usr/bin/xdotool
  braucht imagemagick /usr/bin/import
  # Renders the timing diagram as PNG for the release package.
  braucht librsvg2-bin /usr/bin/rsvg-convert
  braucht g++ /usr/bin/g++
  braucht libclang-rt-14-dev /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a
  braucht googletest /usr/src/googletest/CMakeLists.txt
  braucht libgtest-dev /usr/include/gtest/gtest.h
  braucht libbenchmark-dev /usr/include/benchmark/benchmark.h
  braucht clang-format /usr/bin/clang-format
  braucht clang-tidy /usr/bin/run-clang-tidy-14
  braucht shellcheck /usr/bin/shellcheck
  # Test the import library for Microsoft-ABI hosts.
  braucht lld-14 /usr/bin/lld-link-14
  # The class check's page is tested in a real browser (werkzeuge_holen below).
  braucht chromium /usr/bin/chromium
fi

# Some kernels (and hypervisors) run 64-bit programs only: a 32-bit program
# fails with "Exec format error". Then qemu-user runs 32-bit Linux programs,
# and with them 32-bit Wine, registered with the kernel's binfmt_misc.
i386_format=/proc/sys/fs/binfmt_misc/qemu-i386
kann_i386() {
  [ -x /usr/lib/wine/wine ] || return 0 # decided once Wine is there
  /usr/lib/wine/wine --version >/dev/null 2>&1
}
qemu_fuer_i386() {
  # Mounted first: it tells whether qemu-user runs 32-bit programs here (the
  # builds then preload the mmap fix), even when a handler registered before
  # runs them already.
  [ -e /proc/sys/fs/binfmt_misc/register ] ||
    $als_root mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  kann_i386 && return 0
  [ -e /usr/bin/qemu-i386-static ] || $als_root apt-get install -y -q --no-install-recommends qemu-user-static
  if [ ! -e "$i386_format" ]; then
    # Any 32-bit x86 ELF executable (type 2) or shared object (type 3).
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      $als_root tee /proc/sys/fs/binfmt_misc/register >/dev/null
  fi
  kann_i386 || { echo "32-Bit-Programme laufen hier nicht, auch nicht mit qemu-user." >&2; exit 1; }
  echo "32-Bit-Programme laufen hier unter qemu-user."
}

# Under qemu-user, 32-bit Wine gets an mmap that honours MAP_FIXED_NOREPLACE
# (scripts/qemu-i386/mmap_noreplace.c): without it each start takes about
# 50 seconds. Built here, once and again when its source changes, into
# build/qemu-i386, where cmake/wine.cmake preloads it from. $LIB
# picks the i386 library for 32-bit processes and an empty one for 64-bit.
mmap_fix_bauen() {
  grep -qx enabled "$i386_format" 2>/dev/null || return 0
  skripte=$(cd "$(dirname "$0")" && pwd)
  quelle=$skripte/qemu-i386/mmap_noreplace.c
  ziel=$skripte/../build/qemu-i386
  # shellcheck disable=SC3013 # -nt: dash and bash have it
  [ -f "$ziel/lib/i386-linux-gnu/wine-mmap.so" ] &&
    [ ! "$quelle" -nt "$ziel/lib/i386-linux-gnu/wine-mmap.so" ] && return 0
  mkdir -p "$ziel/lib/i386-linux-gnu" "$ziel/lib/x86_64-linux-gnu"
  clang --target=i686-linux-gnu -O2 -fPIC -shared -nostdlib -fuse-ld=lld \
    -o "$ziel/lib/i386-linux-gnu/wine-mmap.so.neu" "$quelle"
  echo 'int lumbrik_leer;' | clang -x c -O2 -fPIC -shared -nostdlib \
    -o "$ziel/lib/x86_64-linux-gnu/wine-mmap.so" -
  mv "$ziel/lib/i386-linux-gnu/wine-mmap.so.neu" "$ziel/lib/i386-linux-gnu/wine-mmap.so"
}

# The driver of the browser test of the class check's page: playwright-core
# from npm, pointed at Debian's chromium, in build/werkzeuge (no browser of
# its own is downloaded: playwright-core has none).
werkzeuge_holen() {
  [ "${1:-}" != demo ] || return 0
  werkzeuge=$(cd "$(dirname "$0")/.." && pwd)/build/werkzeuge
  [ -f "$werkzeuge/node_modules/playwright-core/package.json" ] && return 0
  mkdir -p "$werkzeuge"
  npm install --prefix "$werkzeuge" --no-package-lock --no-audit --no-fund --loglevel=error \
    playwright-core@1.65.2
}

# The JavaScript example host of docs/hosts.md gets Node.js for Windows and
# koffi through npm (not needed for the demo alone).
[ "${1:-}" = demo ] || braucht npm /usr/bin/npm

if [ "${1:-}" = pakete ]; then
  # shellcheck disable=SC2086 # one package a word
  printf '%s\n' $alle
  exit 0
fi

als_root=""
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1; then
  als_root=sudo
fi

if [ -z "$fehlt" ]; then
  qemu_fuer_i386
  mmap_fix_bauen
  werkzeuge_holen "${1:-}"
  exit 0
fi

if [ "$(id -u)" -ne 0 ] && [ -z "$als_root" ]; then
  echo "Es fehlen:$fehlt - bitte als root installieren." >&2
  exit 1
fi

echo "Installiere:$fehlt"
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || $als_root dpkg --add-architecture i386
$als_root apt-get update -q
# shellcheck disable=SC2086
$als_root apt-get install -y -q --no-install-recommends $fehlt
qemu_fuer_i386
mmap_fix_bauen
werkzeuge_holen "${1:-}"
