// Figures for the recorder (mitschnitt/) under Wine: what it adds to a call
// against the same call of the vendor's library straight (our simulated box
// plays the vendor), and how large the trace of a host grows that polls in
// a tight loop.
//   mitschnitt_bench <folder>   the folder holds the recorder as umFish40.DLL
//                               and the simulated box as echt\umFish40.DLL
#include "bench/wine/messen.h"
#include "simulator/sim_steuerung.h"
#include "src/umFish40.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Nanoseconds per call: the median of 101 rounds of `anzahl` calls each.
template <class F> double ns_je_aufruf(F aufruf, int anzahl) {
  std::vector<double> runden;
  for (int runde = 0; runde < 101; ++runde) {
    const double start = jetzt_ms();
    for (int i = 0; i < anzahl; ++i)
      aufruf(i);
    runden.push_back((jetzt_ms() - start) * 1e6 / anzahl);
  }
  return median(runden);
}

unsigned long groesse(const std::string &pfad) {
  WIN32_FILE_ATTRIBUTE_DATA d{};
  GetFileAttributesExA(pfad.c_str(), GetFileExInfoStandard, &d);
  return d.nFileSizeLow;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fputs("Aufruf: mitschnitt_bench <Ordner mit umFish40.DLL und echt\\umFish40.DLL>\n",
               stderr);
    return 2;
  }
  const std::string ordner = argv[1];
  const std::string bericht = ordner + "\\bench.json", spur = ordner + "\\bench.csv";
  SetEnvironmentVariableA("LUMBRIK_MITSCHNITT", bericht.c_str());
  const HMODULE mit = LoadLibraryA((ordner + "\\umFish40.DLL").c_str());
  const auto oeffnen = holen<decltype(&::rbOpenInterfaceUSB)>(mit, "rbOpenInterfaceUSB");
  if (!mit || !oeffnen) {
    std::puts("der Mitschnitt ist nicht geladen");
    return 2;
  }
  const uint32_t handle = oeffnen(0, 0);
  const HMODULE echt = LoadLibraryA((ordner + "\\echt\\umFish40.DLL").c_str());
  const auto eingang_setzen = holen<decltype(&::sim_eingang_setzen)>(echt, "sim_eingang_setzen");
  if (!echt || !eingang_setzen || handle == oeffnen_fehlgeschlagen) {
    std::puts("echt\\umFish40.DLL ist nicht der Simulator, oder er oeffnet nicht");
    return 2;
  }
  const auto lesen_mit = holen<decltype(&::rbGetInput)>(mit, "rbGetInput");
  const auto lesen_echt = holen<decltype(&::rbGetInput)>(echt, "rbGetInput");
  const auto lampe_mit = holen<decltype(&::rbSetLampEx)>(mit, "rbSetLampEx");
  const auto lampe_echt = holen<decltype(&::rbSetLampEx)>(echt, "rbSetLampEx");

  // A poll that returns what the last one did: counted only.
  const int anzahl = 10000;
  const double lesen_echt_ns = ns_je_aufruf([&](int) { lesen_echt(handle, 1); }, anzahl);
  const double lesen_mit_ns = ns_je_aufruf([&](int) { lesen_mit(handle, 1); }, anzahl);
  // A switch that changes an output each time: one line into the trace.
  // Fewer of them: each writes a line.
  const double lampe_echt_ns =
      ns_je_aufruf([&](int i) { lampe_echt(handle, 2, i & 1, 7); }, anzahl / 10);
  const double lampe_mit_ns =
      ns_je_aufruf([&](int i) { lampe_mit(handle, 2, i & 1, 7); }, anzahl / 10);

  // A host that polls four inputs in a tight loop: five seconds while
  // nothing changes, then ten while input 1 changes once a second.
  unsigned long long abfragen = 0;
  const auto abfragen_bis = [&](double ende) {
    while (jetzt_ms() < ende)
      for (int32_t n = 1; n <= 4; ++n, ++abfragen)
        lesen_mit(handle, n);
  };
  for (int32_t n = 1; n <= 4; ++n)
    lesen_mit(handle, n);
  Sleep(600);
  const unsigned long anfang = groesse(spur);
  abfragen_bis(jetzt_ms() + 5000);
  Sleep(600);
  const unsigned long ruhig = groesse(spur);
  const unsigned long long ruhig_abfragen = abfragen;
  const double start = jetzt_ms();
  for (int sekunde = 1; sekunde <= 10; ++sekunde) {
    eingang_setzen(1, sekunde & 1);
    abfragen_bis(start + 1000.0 * sekunde);
  }
  Sleep(600);
  const unsigned long bewegt = groesse(spur);

  std::printf("rbGetInput, same value: direct %.1f ns/call, through the recorder %.1f ns/call, "
              "added %.1f ns (median of 101 rounds of %d)\n",
              lesen_echt_ns, lesen_mit_ns, lesen_mit_ns - lesen_echt_ns, anzahl);
  std::printf("rbSetLampEx, a change each call: direct %.1f ns/call, through the recorder "
              "%.1f ns/call, added %.1f ns (median of 101 rounds of %d)\n",
              lampe_echt_ns, lampe_mit_ns, lampe_mit_ns - lampe_echt_ns, anzahl / 10);
  std::printf("5 s of polling 4 inputs, nothing changing (%llu calls): trace grew by %lu bytes\n",
              ruhig_abfragen, ruhig - anfang);
  std::printf("10 s of polling 4 inputs, one change a second (%llu calls): trace grew by %lu "
              "bytes; an hour of it: %.0f KB\n",
              abfragen - ruhig_abfragen, bewegt - ruhig, (bewegt - ruhig) * 360.0 / 1024.0);
  return 0;
}
