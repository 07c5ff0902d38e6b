#!/bin/sh
# Hygiene that the test command enforces: every C and C++ file as
# clang-format has it, clang-tidy with the checked-in .clang-tidy over the
# natively built sources, shellcheck over every shell script. Any finding
# fails.
#   scripts/pruefen.sh     (configures and builds the native preset if needed)
set -eu
cd "$(dirname "$0")/.."
fehler=0

echo "== clang-format"
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror || fehler=1

echo "== shellcheck"
git ls-files -z '*.sh' | xargs -0 shellcheck -x -P SCRIPTDIR || fehler=1

echo "== clang-tidy"
# clang-tidy reads the native build's compile commands and needs the files
# that build generates (the embedded models), so the build comes first.
[ -f build/native/compile_commands.json ] || cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
# Only our own sources; the compile database also names GoogleTest's.
dateien=$(git ls-files '*.cpp' | grep -v '^tests/wine/' | sed "s|^|$PWD/|")
# shellcheck disable=SC2086 # one argument per file
if ! run-clang-tidy-14 -p build/native -quiet $dateien >build/native/clang-tidy.log 2>&1; then
  grep -E '(warning|error):' build/native/clang-tidy.log | sed 's/\x1b\[[0-9;]*m//g' | sort -u
  fehler=1
fi

if [ "$fehler" -ne 0 ]; then
  echo "pruefen: Befunde, siehe oben" >&2
  exit 1
fi
echo "pruefen: keine Befunde"
