#!/bin/sh
# Installs what the build and the tests need on a Debian machine, if it is
# missing: the MinGW-w64 cross compiler, Wine (32-bit), a virtual X server,
# clang's fuzzer runtime and the tools the tests drive windows with.
set -eu

fehlt=""
braucht() { # package, file that shows it is there
  [ -e "$2" ] || fehlt="$fehlt $1"
}
braucht g++-mingw-w64-i686 /usr/bin/i686-w64-mingw32-g++-posix
braucht wine /usr/bin/wine
braucht wine32:i386 /usr/lib/wine/wine
braucht xvfb /usr/bin/Xvfb
braucht xauth /usr/bin/xauth
braucht xdotool /usr/bin/xdotool
braucht imagemagick /usr/bin/import
braucht cmake /usr/bin/cmake
braucht ninja-build /usr/bin/ninja
braucht g++ /usr/bin/g++
braucht clang /usr/bin/clang++
braucht libclang-rt-14-dev /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a
braucht googletest /usr/src/googletest/CMakeLists.txt
braucht libgtest-dev /usr/include/gtest/gtest.h
braucht libbenchmark-dev /usr/include/benchmark/benchmark.h
braucht clang-format /usr/bin/clang-format

[ -z "$fehlt" ] && exit 0

als_root=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || {
    echo "Es fehlen:$fehlt - bitte als root installieren." >&2
    exit 1
  }
  als_root=sudo
fi

echo "Installiere:$fehlt"
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || $als_root dpkg --add-architecture i386
$als_root apt-get update -q
# shellcheck disable=SC2086
$als_root apt-get install -y -q --no-install-recommends $fehlt
