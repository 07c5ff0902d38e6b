#!/bin/sh
# Hygiene that the test command enforces: every C and C++ file as
# clang-format has it, clang-tidy with the checked-in .clang-tidy over every
# source of ours that a build compiles (native, then what only the 32-bit and
# the 64-bit Windows builds compile), shellcheck over every shell script. Any
# finding fails.
#   scripts/pruefen.sh     (configures all three builds and builds the native one)
set -eu
cd "$(dirname "$0")/.."
fehler=0

echo "== clang-format"
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror || fehler=1

echo "== shellcheck"
git ls-files -z '*.sh' | xargs -0 shellcheck -x -P SCRIPTDIR || fehler=1

echo "== clang-tidy"
# clang-tidy reads each build's compile commands and needs the files that
# build generates (the embedded models), so the native build comes first;
# the Windows builds only need configuring.
# Configured each time: a database of an earlier tree names files that are
# gone, and clang-tidy reports them as findings.
cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
for preset in windows windows64; do
  cmake --preset "$preset" >/dev/null
done

# Our own sources in a compile database, less those already checked.
eigene() { # build dir, files already checked
  sed -nE 's/^ *"file": "(.*)",?$/\1/p' "$1/compile_commands.json" | grep "^$PWD/" |
    grep -vE "^$PWD/build/" | grep -vxF -f "$2" | sort -u || true
}

# Runs clang-tidy over the files with the build's database; the cross builds
# get their target and the MinGW compiler's C++ and Windows headers (its own
# intrinsics headers are GCC's: clang brings its own).
tidy() { # build dir, target or "", files
  build=$1 ziel=$2
  shift 2
  [ $# -gt 0 ] || return 0
  set -- -p "$build" -quiet -extra-arg=-Wthread-safety "$@"
  if [ -n "$ziel" ]; then
    set -- -extra-arg=--target="$ziel" -extra-arg=-nostdinc++ "$@"
    for ordner in $(echo | "$ziel-g++-posix" -E -x c++ - -v 2>&1 |
      sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ /' |
      grep -v '/include\(-fixed\)\?$'); do
      set -- -extra-arg=-isystem"$(realpath "$ordner")" "$@"
    done
  fi
  run-clang-tidy-14 "$@" >>build/clang-tidy.log 2>&1
}

: >build/clang-tidy.log
: >build/clang-tidy.geprueft
tidy_fehler=0
for lauf in "build/native:" "build/windows:i686-w64-mingw32" "build/windows64:x86_64-w64-mingw32"; do
  build=${lauf%%:*}
  neu=$(eigene "$build" build/clang-tidy.geprueft)
  # shellcheck disable=SC2086 # one argument per file
  tidy "$build" "${lauf#*:}" $neu || tidy_fehler=1
  [ -z "$neu" ] || echo "$neu" >>build/clang-tidy.geprueft
done
if [ "$tidy_fehler" -ne 0 ]; then
  grep -E '(warning|error):' build/clang-tidy.log | sed 's/\x1b\[[0-9;]*m//g' | sort -u
  fehler=1
fi

if [ "$fehler" -ne 0 ]; then
  echo "pruefen: Befunde, siehe oben" >&2
  exit 1
fi
echo "pruefen: keine Befunde"
