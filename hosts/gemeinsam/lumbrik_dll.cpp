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
  finden(modul, e.gib_fehler, "gib_fehler", fehlt);
  finden(modul, e.vorbereitung, "vorbereitung", fehlt);
  finden(modul, e.einschalten, "einschalten", fehlt);
  finden(modul, e.ausschalten, "ausschalten", fehlt);
  finden(modul, e.allesaus, "allesaus", fehlt);
  finden(modul, e.motor, "motor", fehlt);
  finden(modul, e.ausgangzustand, "ausgangzustand", fehlt);
  finden(modul, e.schalter, "schalter", fehlt);
  finden(modul, e.sensor, "sensor", fehlt);
  finden(modul, e.poti, "poti", fehlt);
  finden(modul, e.pause, "pause", fehlt);
  finden(modul, e.lpt, "lpt", fehlt);
  finden(modul, e.t_proz1, "t_proz1", fehlt);
  finden(modul, e.t_funk1, "t_funk1", fehlt);
  return fehlt.empty();
}

std::optional<simulator_steuerung> simulator_finden() {
  HMODULE modul = GetModuleHandleA("umFish40.DLL");
  if (modul == nullptr)
    return std::nullopt;
  simulator_steuerung s{};
  std::string fehlt;
  finden(modul, s.zuruecksetzen, "sim_zuruecksetzen", fehlt);
  finden(modul, s.oeffnen_fehlschlagen, "sim_oeffnen_fehlschlagen", fehlt);
  finden(modul, s.eingang_setzen, "sim_eingang_setzen", fehlt);
  finden(modul, s.analog_setzen, "sim_analog_setzen", fehlt);
  finden(modul, s.spannung_setzen, "sim_spannung_setzen", fehlt);
  finden(modul, s.zustand_lesen, "sim_zustand_lesen", fehlt);
  finden(modul, s.protokoll_anzahl, "sim_protokoll_anzahl", fehlt);
  finden(modul, s.protokoll_eintrag, "sim_protokoll_eintrag", fehlt);
  finden(modul, s.funktionsname, "sim_funktionsname", fehlt);
  if (!fehlt.empty())
    return std::nullopt;
  return s;
}
