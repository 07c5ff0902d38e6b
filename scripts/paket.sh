#!/bin/sh
# Builds the release package dist/lumbrik-<version>-win32.zip.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset windows
cmake --build --preset windows --target paket
mkdir -p dist
cp build/windows/dist/lumbrik-*-win32.zip dist/
ls -l dist/lumbrik-*-win32.zip
