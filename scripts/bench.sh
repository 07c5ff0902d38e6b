#!/bin/sh
# Performance figures: the native benchmarks of the command library and the
# real DLL under Wine. Prints them; docs/PERFORMANCE.md keeps a record.
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
scripts/mit-display.sh "$PWD/build/windows" \
  scripts/wine-run.sh "$PWD/build/windows" build/windows/bench/wine/dll_bench.exe
