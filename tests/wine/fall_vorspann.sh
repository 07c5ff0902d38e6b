# What every case script of the Wine tests starts with, sourced with its own
# arguments: CASE EXE SOURCE_DIR EMULATOR... Leaves `fall`, `exe`, `quellen`,
# the array `emulator`, a temporary folder `tmp` removed on exit, the count
# `fehler` and `falsch` to report a failure.
# shellcheck shell=bash
# shellcheck disable=SC2034 # the variables are the sourcing script's
set -u
fall=$1
exe=$2
quellen=$3
shift 3
emulator=("$@")

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fehler=0

falsch() {
  echo "FEHLER: $*"
  fehler=1
}
