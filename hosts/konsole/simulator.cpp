#include "simulator.h"

#include <windows.h>

namespace {

template <class F> bool finden(HMODULE modul, F &ziel, const char *name) {
  ziel = reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(modul, name)));
  return ziel != nullptr;
}

} // namespace

std::optional<simulator_steuerung> simulator_finden() {
  // The very module lumbrik.dll calls, not another copy loaded by us.
  HMODULE modul = GetModuleHandleA("umFish40.DLL");
  if (modul == nullptr)
    return std::nullopt;
  simulator_steuerung s{};
  const bool alle = finden(modul, s.zustand_lesen, "sim_zustand_lesen") &&
                    finden(modul, s.zuruecksetzen, "sim_zuruecksetzen") &&
                    finden(modul, s.oeffnen_fehlschlagen, "sim_oeffnen_fehlschlagen") &&
                    finden(modul, s.eingang_setzen, "sim_eingang_setzen") &&
                    finden(modul, s.analog_setzen, "sim_analog_setzen") &&
                    finden(modul, s.spannung_setzen, "sim_spannung_setzen") &&
                    finden(modul, s.protokoll_anzahl, "sim_protokoll_anzahl") &&
                    finden(modul, s.protokoll_eintrag, "sim_protokoll_eintrag") &&
                    finden(modul, s.funktionsname, "sim_funktionsname");
  if (!alle)
    return std::nullopt;
  return s;
}
