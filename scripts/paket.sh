#!/bin/sh
# Builds the release package dist/lumbrik-<version>.zip, for 32-bit and 64-bit
# hosts: the 64-bit build gathers it, with the 32-bit build's files.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset windows
cmake --build --preset windows
cmake --preset windows64
cmake --build --preset windows64 --target paket
mkdir -p dist
cp build/windows64/dist/lumbrik-*.zip build/windows64/dist/lumbrik-*.zip.sha256 dist/
ls -l dist/lumbrik-*.zip*
