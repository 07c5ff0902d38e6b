#!/bin/sh
# Builds everything and runs every test: the hygiene checks, the native unit
# tests with ASan and UBSan, the fuzzer for a bounded time, the README's main
# job (scripts/demo.sh) as a user starts it, and the real DLL under Wine, for
# 32-bit and for 64-bit Windows.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset native
cmake --build --preset native
scripts/pruefen.sh
ctest --preset native

cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset windows
cmake --build --preset windows
tests/demo/demo_pruefen.sh
ctest --preset windows

cmake --preset windows64
cmake --build --preset windows64
ctest --preset windows64
