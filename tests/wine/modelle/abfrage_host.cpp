// A host that polls schalter and sensor in a tight loop for 3 s while motor 2
// moves the model's axis (abfragen.toml), as a learner's program waits for a
// switch. Prints how often it polled. Exit code 0 when it ran, 2 when set-up
// failed.
#include "hosts/gemeinsam/lumbrik_dll.h"
#include "hosts/gemeinsam/meldungen.h"

#include <windows.h>

#include <cstdio>

int main() {
  lumbrik_exporte dll{};
  std::string meldung;
  if (!lumbrik_laden(LUMBRIK_DLL_PFAD, dll, meldung)) {
    std::fprintf(stderr, "%s\n", meldung.c_str());
    return 2;
  }
  // The start-up box is closed at once.
  meldungen_abfangen([](const meldungsbox &) {});
  dll.vorbereitung(0);
  dll.motor(2, 1);
  unsigned long abfragen = 0;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 3000; ++abfragen) {
    dll.schalter(1);
    dll.sensor(1);
  }
  dll.motor(2, 0);
  std::printf("%lu Abfragen\n", abfragen);
  return 0;
}
