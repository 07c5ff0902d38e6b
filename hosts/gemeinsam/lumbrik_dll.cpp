#include "lumbrik_dll.h"

namespace {

template <class F> bool finden(HMODULE modul, F &ziel, const char *name, std::string &fehlt) {
  ziel = reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(modul, name)));
  if (ziel == nullptr && fehlt.empty())
    fehlt = name;
  return ziel != nullptr;
}

} // namespace

bool exporte_finden(HMODULE modul, lumbrik_exporte &e, std::string &fehlt) {
  e.modul = modul;
  fehlt.clear();
#define FINDEN(name, ...) finden(modul, e.name, #name, fehlt);
  LUMBRIK_EXPORTE(FINDEN)
#undef FINDEN
  return fehlt.empty();
}

std::optional<simulator_steuerung> simulator_finden() {
  HMODULE modul = GetModuleHandleA("umFish40.DLL");
  if (modul == nullptr)
    return std::nullopt;
  simulator_steuerung s{};
  std::string fehlt;
#define FINDEN(name, ...) finden(modul, s.name, "sim_" #name, fehlt);
  SIM_STEUERUNG(FINDEN)
#undef FINDEN
  if (!fehlt.empty())
    return std::nullopt;
  return s;
}
