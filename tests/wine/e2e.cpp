#include "e2e.h"

#include <cstdlib>

namespace {

template <class F> void finden(HMODULE modul, F &ziel, const char *name) {
  ziel = reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(modul, name)));
  if (ziel == nullptr) {
    std::fprintf(stderr, "%s fehlt\n", name);
    std::abort();
  }
}

lumbrik_exporte laden() {
  lumbrik_exporte e{};
  e.modul = LoadLibraryA(LUMBRIK_DLL_PFAD);
  if (e.modul == nullptr) {
    std::fprintf(stderr, "%s nicht geladen, Fehler %lu\n", LUMBRIK_DLL_PFAD, GetLastError());
    std::abort();
  }
  finden(e.modul, e.gib_fehler, "gib_fehler");
  finden(e.modul, e.vorbereitung, "vorbereitung");
  finden(e.modul, e.einschalten, "einschalten");
  finden(e.modul, e.ausschalten, "ausschalten");
  finden(e.modul, e.allesaus, "allesaus");
  finden(e.modul, e.motor, "motor");
  finden(e.modul, e.ausgangzustand, "ausgangzustand");
  finden(e.modul, e.schalter, "schalter");
  finden(e.modul, e.sensor, "sensor");
  finden(e.modul, e.poti, "poti");
  finden(e.modul, e.pause, "pause");
  finden(e.modul, e.lpt, "lpt");
  finden(e.modul, e.t_proz1, "t_proz1");
  finden(e.modul, e.t_funk1, "t_funk1");
  return e;
}

simulator_steuerung steuerung() {
  dll();
  // lumbrik.dll brought it in; this is the very module it calls.
  HMODULE modul = GetModuleHandleA("umFish40.DLL");
  if (modul == nullptr) {
    std::fprintf(stderr, "umFish40.DLL ist nicht geladen\n");
    std::abort();
  }
  simulator_steuerung s{};
  finden(modul, s.zuruecksetzen, "sim_zuruecksetzen");
  finden(modul, s.oeffnen_fehlschlagen, "sim_oeffnen_fehlschlagen");
  finden(modul, s.eingang_setzen, "sim_eingang_setzen");
  finden(modul, s.analog_setzen, "sim_analog_setzen");
  finden(modul, s.spannung_setzen, "sim_spannung_setzen");
  finden(modul, s.zustand_lesen, "sim_zustand_lesen");
  finden(modul, s.protokoll_anzahl, "sim_protokoll_anzahl");
  finden(modul, s.protokoll_eintrag, "sim_protokoll_eintrag");
  return s;
}

} // namespace

const lumbrik_exporte &dll() {
  static const lumbrik_exporte e = laden();
  return e;
}

const simulator_steuerung &sim() {
  static const simulator_steuerung s = steuerung();
  return s;
}

FARPROC export_nach_name(const char *name) {
  return GetProcAddress(dll().modul, name);
}

FARPROC export_nach_ordinal(int ordinal) {
  return GetProcAddress(dll().modul, MAKEINTRESOURCEA(ordinal));
}

void PrintTo(const vendor_aufruf &a, std::ostream *os) {
  *os << a.funktion << "(";
  for (size_t i = 0; i < a.argumente.size(); ++i)
    *os << (i ? ", " : "") << a.argumente[i];
  *os << ")";
}

std::vector<vendor_aufruf> vendor_aufrufe(uint32_t ab) {
  std::vector<vendor_aufruf> liste;
  sim_aufruf a{};
  for (uint32_t i = ab; sim().protokoll_eintrag(i, &a); ++i)
    liste.push_back(
        {a.funktion, std::vector<int32_t>(a.argumente, a.argumente + a.anzahl_argumente)});
  return liste;
}

void mit_boxen::SetUp() {
  dll();
  meldungen_abfangen([this](const meldungsbox &box) { boxen.push_back(box); });
}

void mit_boxen::TearDown() {
  meldungen_freigeben();
}
