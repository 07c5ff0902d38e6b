// The bridge's channel: every vendor call, written as the bridge writes it
// and served as the helper serves it, reaches the box with its arguments and
// brings the box's result back unchanged.
#include "tests/native/aufrufe.h"
#include "simulator/box.h"

#include "bruecke/kanal.h"
#include "src/umFish40.h"

#include <gtest/gtest.h>

namespace {

#define TABELLE_ZEIGER(name, ...) decltype(&::name) name;
struct vendor_tabelle {
  UMFISH40_FUNKTIONEN(TABELLE_ZEIGER)
};
#undef TABELLE_ZEIGER
#define TABELLE_EINTRAG(name, ...) &::name,
const vendor_tabelle simulator_tabelle{UMFISH40_FUNKTIONEN(TABELLE_EINTRAG)};
#undef TABELLE_EINTRAG

// Both ends in one process: the channel in between is the same block.
kanal block{};

int32_t weiterreichen(int32_t funktion, const std::array<int32_t, 4> &werte) {
  EXPECT_FALSE(anfrage_schreiben(block, funktion, werte)) << "the helper is awake";
  EXPECT_TRUE(anfrage_da(block));
  EXPECT_FALSE(antwort_da(block));
  EXPECT_FALSE(anfrage_bedienen(block, simulator_tabelle)) << "the bridge is awake";
  EXPECT_FALSE(anfrage_da(block));
  EXPECT_TRUE(antwort_da(block));
  return block.ergebnis;
}

namespace ueber_kanal {
UMFISH40_FUNKTIONEN(KANAL_FUNKTION)
}

// A fresh box for every test.
class kanal_test : public ::testing::Test {
protected:
  void SetUp() override { simulierte_box_setzen(&box_); }
  void TearDown() override { simulierte_box_setzen(nullptr); }
  box box_;
};

TEST_F(kanal_test, jeder_aufruf_kommt_mit_seinen_argumenten_an_und_sein_ergebnis_zurueck) {
  const uint32_t h = ueber_kanal::rbOpenInterfaceUSB(3, -4);
  EXPECT_EQ(h, SIM_ERSTES_HANDLE);
  EXPECT_EQ(ueber_kanal::rbSetMotors(h, 0), 0);
  EXPECT_EQ(ueber_kanal::rbSetLampEx(h, 8, 1, 3), 0);
  EXPECT_EQ(ueber_kanal::rbSetMotorEx(h, 1, -1, 5), 0);
  EXPECT_EQ(ueber_kanal::rbGetMotors(h), (1 << 7) | (1 << 1))
      << "output 8, and 2 of motor 1 backwards";
  sim_eingang_setzen(2, 1);
  sim_analog_setzen(1, 1023);
  sim_spannung_setzen(2, 9000);
  EXPECT_EQ(ueber_kanal::rbGetInput(h, 2), 1);
  EXPECT_EQ(ueber_kanal::rbGetAnalog(h, 1), 1023);
  EXPECT_EQ(ueber_kanal::rbGetVoltage(h, 2), 9000);
  EXPECT_EQ(ueber_kanal::rbGetInput(h, 9), -1);
  EXPECT_EQ(ueber_kanal::rbGetInput(0xFFFFFFFFu, 1), -1);

  const std::vector<aufruf> erwartet{{sim_rbOpenInterfaceUSB, {3, -4}},
                                     {sim_rbSetMotors, {static_cast<int32_t>(h), 0}},
                                     {sim_rbSetLampEx, {static_cast<int32_t>(h), 8, 1, 3}},
                                     {sim_rbSetMotorEx, {static_cast<int32_t>(h), 1, -1, 5}},
                                     {sim_rbGetMotors, {static_cast<int32_t>(h)}},
                                     {sim_rbGetInput, {static_cast<int32_t>(h), 2}},
                                     {sim_rbGetAnalog, {static_cast<int32_t>(h), 1}},
                                     {sim_rbGetVoltage, {static_cast<int32_t>(h), 2}},
                                     {sim_rbGetInput, {static_cast<int32_t>(h), 9}},
                                     {sim_rbGetInput, {-1, 1}}};
  EXPECT_EQ(vendor_aufrufe(), erwartet);
}

TEST_F(kanal_test, der_fehlerwert_des_oeffnens_kommt_unveraendert_zurueck) {
  sim_oeffnen_fehlschlagen(1);
  EXPECT_EQ(ueber_kanal::rbOpenInterfaceUSB(0, 0), 0xE0000001u);
}

TEST_F(kanal_test, ohne_helfer_antwortet_das_oeffnen_mit_fehler_und_alles_andere_mit_minus_eins) {
  EXPECT_EQ(static_cast<uint32_t>(ohne_helfer(kanal_rbOpenInterfaceUSB)), 0xE0000001u);
  for (int32_t f = kanal_rbSetLampEx; f < kanal_ende; ++f)
    EXPECT_EQ(ohne_helfer(f), -1) << f;
}

TEST_F(kanal_test, wer_schlaeft_wird_geweckt) {
  block.helfer_schlaeft = 1;
  EXPECT_TRUE(anfrage_schreiben(block, kanal_rbGetMotors, kanal_werte(0)));
  block.helfer_schlaeft = 0;
  block.bruecke_schlaeft = 1;
  EXPECT_TRUE(anfrage_bedienen(block, simulator_tabelle));
  block.bruecke_schlaeft = 0;
  EXPECT_EQ(block.ergebnis, -1);
}

// The request to end is answered the same way: the bridge sees the helper
// alive, and no vendor function runs.
TEST_F(kanal_test, eine_unbekannte_funktion_ruft_nichts_und_antwortet_minus_eins) {
  for (int32_t f :
       {int32_t{kanal_keine}, int32_t{kanal_ende}, int32_t{-7}, int32_t{kanal_helfer_beenden}}) {
    EXPECT_EQ(weiterreichen(f, kanal_werte(1, 2)), -1);
  }
  EXPECT_TRUE(vendor_aufrufe().empty());
}

} // namespace
