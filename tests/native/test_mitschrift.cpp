// The recorder's logic (aufzeichnung/mitschrift) with a clock of the test's:
// where the clock starts, what a switch and a read leave in the trace, and
// what it holds at most; the clock's zero as the simulated box keeps it.
#include "aufzeichnung/mitschrift.h"
#include "aufzeichnung/nullpunkt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using akte::art;
using akte::mitschrift;

int64_t jetzt = 0;
int64_t uhr() {
  return jetzt;
}

std::string spur(mitschrift &m) {
  std::vector<mitschrift::ereignis> stapel;
  m.abholen(stapel);
  std::string text;
  std::array<uint64_t, akte::arten> gezaehlt{};
  akte::zeilen_anhaengen(stapel, text, gezaehlt);
  return text;
}

TEST(mitschrift, die_uhr_beginnt_mit_dem_ersten_aufruf_nach_dem_oeffnen_auch_ausgangzustand) {
  mitschrift m(&uhr);
  jetzt = 1000;
  m.geoeffnet(5, 0xE0000001u);
  const std::string erste = spur(m); // every output and motor 0
  EXPECT_EQ(std::count(erste.begin(), erste.end(), '\n'), 12);
  EXPECT_EQ(erste.rfind("0.000,motor,4,0\n"), erste.size() - 16);
  jetzt = 5000; // the notice box was read: the zero is here
  m.gelesen(mitschrift::f_rbGetMotors, art::ausgangzustand, 5, 0, 0);
  jetzt = 7500;
  m.geschaltet(mitschrift::f_rbSetMotors, 5, 1, 0, 0); // motor 1 one way, at the highest level
  m.gelesen(mitschrift::f_rbGetInput, art::eingang, 5, 1, 0);
  m.gelesen(mitschrift::f_rbGetInput, art::eingang, 5, 1, 0); // the same: counted only
  m.geschaltet(mitschrift::f_rbSetLampEx, 6, 3, 1, 7);        // a stale handle
  EXPECT_EQ(spur(m), "0.000,ausgangzustand,0,0\n"
                     "2.500,ausgang,1,7\n"
                     "2.500,motor,1,7\n"
                     "2.500,eingang,1,0\n");
  const akte::bericht::mitschnitt_angaben a = m.angaben("echt");
  EXPECT_EQ(a.vor_null_ms, 4);
  EXPECT_EQ(a.ohne_offene_schnittstelle, 1u);
  EXPECT_EQ(a.gleich[mitschrift::f_rbGetInput - mitschrift::f_rbGetMotors].second, 1u);
  EXPECT_EQ(m.meldung(""), "");
}

// The simulated box's clock: it stands at the first sight (a second open
// keeps it) until the host's first call, and then runs on from there.
TEST(nullpunkt, die_uhr_steht_vom_ersten_sehen_bis_zum_ersten_aufruf_des_hosts) {
  akte::nullpunkt n;
  n.gesehen(100);
  n.gesehen(300);
  EXPECT_EQ(n.stehende_uhr(900), 100);
  EXPECT_EQ(n.gestanden(), 0);
  n.vom_host(1000);
  n.vom_host(1500);
  EXPECT_EQ(n.stehende_uhr(1700), 800);
  EXPECT_EQ(n.gestanden(), 900);
}

TEST(mitschrift, haelt_hoechstens_so_viel_wie_der_schreiber_nachholen_kann) {
  mitschrift m(&uhr);
  m.geoeffnet(5, 0xE0000001u);
  for (size_t i = 0; i <= mitschrift::ereignisse_platz; ++i)
    m.gelesen(mitschrift::f_rbGetAnalog, art::analog, 5, 1, static_cast<int32_t>(i));
  EXPECT_NE(m.meldung("").find("13 Änderungen gingen verloren"), std::string::npos)
      << m.meldung("");
  std::vector<mitschrift::ereignis> stapel;
  m.abholen(stapel);
  EXPECT_EQ(stapel.size(), mitschrift::ereignisse_platz);
}

} // namespace
