// The round trip of one vendor call through the bridge: rbGetInput on an
// open box, timed call by call. Run once with the bridge and once with the
// 64-bit simulated umFish40.DLL, called directly, as the reference.
//   bruecke_bench.exe <folder of a umFish40.DLL> [calls]
#include "bench/wine/messen.h"
#include "src/umFish40.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double mikrosekunden(LONGLONG ticks) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return 1e6 * static_cast<double>(ticks) / static_cast<double>(f.QuadPart);
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::puts("bruecke_bench.exe <Ordner einer umFish40.DLL> [Aufrufe]");
    return 2;
  }
  const int anzahl = argc > 2 ? std::atoi(argv[2]) : 10000;
  const std::string pfad = std::string(argv[1]) + "\\umFish40.DLL";
  HMODULE box = LoadLibraryExA(pfad.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (box == nullptr || anzahl < 100) {
    std::printf("%s nicht geladen (%lu) oder zu wenige Aufrufe\n", pfad.c_str(), GetLastError());
    return 2;
  }
  auto oeffnen = holen<decltype(&::rbOpenInterfaceUSB)>(box, "rbOpenInterfaceUSB");
  auto eingang = holen<decltype(&::rbGetInput)>(box, "rbGetInput");
  const uint32_t handle = oeffnen(0, 0);
  if (handle == oeffnen_fehlgeschlagen) {
    std::puts("rbOpenInterfaceUSB fehlgeschlagen");
    return 2;
  }
  // Warm: the first calls page in code on both sides.
  for (int i = 0; i < 1000; ++i)
    eingang(handle, 1 + (i & 7));

  std::vector<LONGLONG> zeiten(static_cast<size_t>(anzahl));
  for (int i = 0; i < anzahl; ++i) {
    LARGE_INTEGER vor;
    LARGE_INTEGER nach;
    QueryPerformanceCounter(&vor);
    const int32_t wert = eingang(handle, 1 + (i & 7));
    QueryPerformanceCounter(&nach);
    if (wert != 0) {
      std::printf("rbGetInput antwortete %d\n", wert);
      return 1;
    }
    zeiten[static_cast<size_t>(i)] = nach.QuadPart - vor.QuadPart;
  }
  std::sort(zeiten.begin(), zeiten.end());
  const auto stelle = [&](double anteil) {
    return mikrosekunden(zeiten[static_cast<size_t>(anteil * (anzahl - 1))]);
  };
  std::printf("%s: rbGetInput, %d calls: median %.2f us, p99 %.2f us, max %.2f us\n", argv[1],
              anzahl, stelle(0.5), stelle(0.99), mikrosekunden(zeiten.back()));
  return 0;
}
