// What the benchmarks under Wine share: the clock, a function of a loaded
// library by name, and the median of a series.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

inline double jetzt_ms() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

template <class F> F holen(HMODULE modul, const char *name) {
  return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(modul, name)));
}

inline double median(std::vector<double> werte) {
  std::sort(werte.begin(), werte.end());
  return werte[werte.size() / 2];
}
