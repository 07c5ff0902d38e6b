#include "umgebung.h"

void PrintTo(const aufruf &a, std::ostream *os) {
  *os << sim_funktionsname(a.funktion) << "(";
  for (size_t i = 0; i < a.argumente.size(); ++i)
    *os << (i ? ", " : "") << a.argumente[i];
  *os << ")";
}

std::vector<aufruf> vendor_aufrufe() {
  // A log that overflowed would silently drop the oldest calls.
  EXPECT_LE(sim_protokoll_anzahl(), static_cast<uint32_t>(SIM_PROTOKOLL_PLATZ));
  std::vector<aufruf> liste;
  sim_aufruf a{};
  for (uint32_t i = 0; sim_protokoll_eintrag(i, &a); ++i)
    liste.push_back(
        {a.funktion, std::vector<int32_t>(a.argumente, a.argumente + a.anzahl_argumente)});
  return liste;
}

void frisch::SetUp() {
  doubles::zuruecksetzen();
  sim_zuruecksetzen();
  lumbrik::schnittstelle = 0;
  lumbrik::stufe = 7;
  lumbrik::fehler = 0;
}

void frisch::TearDown() {
  EXPECT_EQ(doubles::lebende_bloecke(), 0) << "a global block was not freed";
}
