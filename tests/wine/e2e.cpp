#include "tests/wine/e2e.h"

#include "simulator/aufruf_text.h"

#include <cstdlib>

namespace {

[[noreturn]] void abbrechen(const char *was) {
  std::fprintf(stderr, "%s\n", was);
  std::abort();
}

lumbrik_exporte laden() {
  lumbrik_exporte e{};
  std::string meldung;
  if (!lumbrik_laden(LUMBRIK_DLL_PFAD, e, meldung))
    abbrechen(meldung.c_str());
  return e;
}

simulator_steuerung steuerung() {
  dll(); // lumbrik.dll brings the box in
  const std::optional<simulator_steuerung> s = simulator_finden();
  if (!s)
    abbrechen("umFish40.DLL ist nicht der Simulator");
  return *s;
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
  sim_aufruf roh{a.funktion, static_cast<int32_t>(a.argumente.size()), {}, 0};
  for (size_t i = 0; i < a.argumente.size() && i < 4; ++i)
    roh.argumente[i] = a.argumente[i];
  // The result is not part of what the tests compare.
  const std::string text = aufruf_zeile(roh);
  *os << text.substr(0, text.rfind(" = "));
}

std::vector<vendor_aufruf> vendor_aufrufe(uint32_t ab) {
  // A log that overflowed would silently drop the oldest calls.
  EXPECT_LE(sim().protokoll_anzahl(), static_cast<uint32_t>(SIM_PROTOKOLL_PLATZ));
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
