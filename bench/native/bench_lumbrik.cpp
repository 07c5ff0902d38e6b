// Native figures for the command library: the number-or-list dispatch, the
// list walk per token, whole commands against the simulated box, and the
// heap allocations a command makes (there must be none).
#include "tests/doubles/doubles.h"
#include "src/lumbrik.h"
#include "simulator/sim_steuerung.h"
#include "src/umFish40.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <string>

// Every heap allocation of the process passes through here (glibc).
extern "C" void *__libc_malloc(size_t);
extern "C" void *__libc_calloc(size_t, size_t);
extern "C" void *__libc_realloc(void *, size_t);

namespace {
std::atomic<uint64_t> zuteilungen{0};
}

extern "C" void *malloc(size_t n) {
  zuteilungen.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(n);
}
extern "C" void *calloc(size_t n, size_t groesse) {
  zuteilungen.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(n, groesse);
}
extern "C" void *realloc(void *p, size_t n) {
  zuteilungen.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(p, n);
}

namespace {

void nichts(int32_t zahl, void *) {
  benchmark::DoNotOptimize(zahl);
}

std::string liste_mit(int64_t tokens) {
  std::string text = "[";
  for (int64_t i = 0; i < tokens; ++i)
    text += (i ? " " : "") + std::to_string(i % 8 + 1);
  return text + "]";
}

void zahl(benchmark::State &state) {
  intptr_t wert = 5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(wert);
    benchmark::DoNotOptimize(lumbrik::zahl_oder_liste(wert, nichts, nullptr));
  }
}
BENCHMARK(zahl);

void liste(benchmark::State &state) {
  const std::string text = liste_mit(state.range(0));
  const intptr_t adresse = reinterpret_cast<intptr_t>(text.c_str());
  for (auto _ : state)
    benchmark::DoNotOptimize(lumbrik::zahl_oder_liste(adresse, nichts, nullptr));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetLabel("items = tokens");
}
BENCHMARK(liste)->Arg(1)->Arg(3)->Arg(8)->Arg(100)->Arg(10000);

// Whole commands, through the simulated box, counting allocations.
void befehle(benchmark::State &state) {
  doubles::zuruecksetzen();
  sim_zuruecksetzen();
  rbOpenInterfaceUSB(0, 0);
  lumbrik::schnittstelle = SIM_ERSTES_HANDLE;
  const std::string text = liste_mit(8);
  const intptr_t adresse = reinterpret_cast<intptr_t>(text.c_str());
  constexpr int befehle_je_runde = 9;
  const uint64_t vorher = zuteilungen.load();
  for (auto _ : state) {
    lumbrik::einschalten(3);
    lumbrik::einschalten(adresse);
    lumbrik::ausschalten(adresse);
    lumbrik::motor(1, -1);
    lumbrik::t_proz1(5);
    benchmark::DoNotOptimize(lumbrik::schalter(adresse));
    benchmark::DoNotOptimize(lumbrik::sensor(1));
    benchmark::DoNotOptimize(lumbrik::t_funk1(2));
    benchmark::DoNotOptimize(lumbrik::ausgangzustand());
  }
  const uint64_t gezaehlt = zuteilungen.load() - vorher;
  state.counters["allocs_per_command"] =
      static_cast<double>(gezaehlt) / static_cast<double>(state.iterations() * befehle_je_runde);
  state.SetItemsProcessed(state.iterations() * befehle_je_runde);
}
BENCHMARK(befehle);

} // namespace

BENCHMARK_MAIN();
