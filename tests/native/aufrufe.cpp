#include "tests/native/aufrufe.h"

#include "simulator/aufruf_text.h"

#include <gtest/gtest.h>

void PrintTo(const aufruf &a, std::ostream *os) {
  sim_aufruf roh{a.funktion, static_cast<int32_t>(a.argumente.size()), {}, 0};
  for (size_t i = 0; i < a.argumente.size() && i < 4; ++i)
    roh.argumente[i] = a.argumente[i];
  // The result is not part of what the tests compare.
  std::string text = aufruf_zeile(roh);
  *os << text.substr(0, text.rfind(" = "));
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
