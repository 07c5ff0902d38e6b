// What a model costs: vendor calls through the simulated box with a model
// loaded (built with LUMBRIK_MIT_MODELL) or without one, the memory a
// recording of a million changes needs, and how long a model file takes to
// load or be refused, however large.
#include "simulator/modell/anbindung.h"
#include "simulator/modell/aufzeichnung.h"
#include "simulator/sim_steuerung.h"
#include "src/umFish40.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>

namespace {

uint32_t offene_box() {
  static const uint32_t handle = [] {
#ifdef LUMBRIK_MIT_MODELL
    setenv("LUMBRIK_MODELL", "schranke", 1);
#endif
    return rbOpenInterfaceUSB(0, 0);
  }();
  return handle;
}

void eingang_lesen(benchmark::State &state) {
  const uint32_t h = offene_box();
  for (auto _ : state)
    benchmark::DoNotOptimize(rbGetInput(h, 1));
}
BENCHMARK(eingang_lesen);

void motor_schalten(benchmark::State &state) {
  const uint32_t h = offene_box();
  rbSetLampEx(h, 3, 1, 7);
  int32_t wert = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rbSetMotorEx(h, 1, wert, 7));
    wert = -wert;
  }
  rbSetMotorEx(h, 1, 0, 7);
}
BENCHMARK(motor_schalten);

#ifdef LUMBRIK_MIT_MODELL
// A million changes recorded: the heap in use before and after, and while
// the trace streams to its file.
void aufzeichnen(benchmark::State &state) {
  for (auto _ : state) {
    const size_t vorher = mallinfo2().uordblks;
    size_t hoechstens = vorher;
    {
      modell::aufzeichnung a;
      std::string meldung;
      a.oeffnen("/tmp/lumbrik_bench_aufzeichnung.json", meldung);
      for (int i = 0; i < 1000000; ++i) {
        a.aenderung(i, modell::signalart::eingang, "3", i & 1);
        if (i % 100000 == 0)
          hoechstens = std::max(hoechstens, mallinfo2().uordblks);
      }
      hoechstens = std::max(hoechstens, mallinfo2().uordblks);
    }
    state.counters["heap_zuwachs_bytes"] = static_cast<double>(hoechstens - vorher);
    state.counters["objekt_bytes"] = sizeof(modell::aufzeichnung);
  }
  std::remove("/tmp/lumbrik_bench_aufzeichnung.csv");
}
BENCHMARK(aufzeichnen)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif

// A model file of `teile` lamps (as the box reads LUMBRIK_MODELL), or with
// 0 the slowest file read to its end: 1 MiB of time windows.
void modell_laden(benchmark::State &state) {
  const auto teile = state.range(0);
  const std::string pfad = "/tmp/lumbrik_bench_modell.toml";
  std::string text = "[modell]\nname = \"gross\"\n";
  for (int64_t i = 0; i < teile; ++i)
    text += "[[lampe]]\nname = \"l" + std::to_string(i) +
            "\"\nausgang = " + std::to_string(i % 8 + 1) + "\n\n";
  if (teile == 0) {
    text += "[[taster]]\nname = \"t\"\neingang = 1\ngedrueckt = [";
    while (text.size() + 13 < modell::datei_platz)
      text += "[1,2],";
    text += "[1,2]]\n";
  }
  std::ofstream(pfad) << text;
  for (auto _ : state)
    benchmark::DoNotOptimize(modell_beschaffen(pfad));
  std::remove(pfad.c_str());
}
BENCHMARK(modell_laden)->Arg(20000)->Arg(200000)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
