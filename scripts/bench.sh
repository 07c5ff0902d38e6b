#!/bin/sh
# Performance figures: the native benchmarks of the command library, the
# real DLL and the recorder under Wine, and the round trip of a call through
# the bridge for 64-bit hosts against a direct call of the 64-bit simulator.
# Prints them; docs/PERFORMANCE.md keeps a record.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset bench
cmake --build --preset bench
build/bench/bench/native/bench_lumbrik
for art in ohne mit; do
  build/bench/bench/native/bench_modell_$art --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
done

cmake --preset windows
cmake --build --preset windows --target dll_bench
scripts/wine-run.sh "$PWD/build/windows" build/windows/bench/wine/dll_bench.exe

# The recorder, laid out as it ships: itself as umFish40.DLL, the vendor's
# library (our simulated box) in echt\ beside it.
cmake --build --preset windows --target mitschnitt_bench
b32=$PWD/build/windows
rm -rf "$b32/mitschnitt_bench"
mkdir -p "$b32/mitschnitt_bench/echt"
cp "$b32/mitschnitt/umFish40.DLL" "$b32/mitschnitt_bench/"
cp "$b32/simulator/umFish40.DLL" "$b32/mitschnitt_bench/echt/"
LUMBRIK_PANEL=0 scripts/wine-run.sh "$b32" "$b32/bench/wine/mitschnitt_bench.exe" \
  "Z:$b32/mitschnitt_bench"

# The bridge's helper and the vendor library (our 32-bit simulator) come
# from the 32-bit build, laid out as for the bridge's tests.
cmake --preset windows64
cmake --build --preset windows64 --target bruecke_bench lumbrik
b64=$PWD/build/windows64
cmake --build --preset windows --target lumbrik_bruecke32
tests/wine/bruecke/aufbauen.sh "$b64/bruecke_test" "$b64/bin/lumbrik.dll" \
  "$b64/bruecke/umFish40.DLL" "$PWD/build/windows" >/dev/null
for umfish in "$b64/simulator" "$b64/bruecke_test/voll"; do
  LUMBRIK_PANEL=0 scripts/wine-run.sh "$b64" "$b64/bench/wine/bruecke_bench.exe" "Z:$umfish"
done

# The class check: its own cost per learner and its speed-up.
bench/klasse.sh
