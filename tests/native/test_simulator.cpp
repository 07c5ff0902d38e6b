// The simulated box itself: what hosts and the tests rely on.
#include "tests/native/umgebung.h"

#include "src/umFish40.h"

#include <string>

namespace {

using simulator = frisch;

TEST_F(simulator, jedes_oeffnen_gibt_einen_neuen_handle) {
  EXPECT_EQ(rbOpenInterfaceUSB(0, 0), SIM_ERSTES_HANDLE);
  EXPECT_EQ(rbOpenInterfaceUSB(0, 0), SIM_ERSTES_HANDLE + 1);
  sim_oeffnen_fehlschlagen(1);
  EXPECT_EQ(rbOpenInterfaceUSB(0, 0), 0xE0000001u);
  sim_zustand z{};
  sim_zustand_lesen(&z);
  EXPECT_EQ(z.geoeffnet, 2u);
}

TEST_F(simulator, unbekannter_handle_aendert_nichts_und_meldet_minus_eins) {
  EXPECT_EQ(rbSetLampEx(0, 1, 1, 7), -1);
  EXPECT_EQ(rbGetInput(SIM_OEFFNEN_FEHLER, 1), -1);
  EXPECT_EQ(rbGetMotors(0), -1);
  sim_zustand z{};
  sim_zustand_lesen(&z);
  EXPECT_EQ(z.ausgang_an[0], 0);
  EXPECT_EQ(sim_protokoll_anzahl(), 3u) << "logged all the same";
}

TEST_F(simulator, ausgaenge_motoren_und_ihr_zustand) {
  const uint32_t h = rbOpenInterfaceUSB(0, 0);
  EXPECT_EQ(rbSetLampEx(h, 8, 1, 3), 0);
  EXPECT_EQ(rbSetMotorEx(h, 1, -1, 5), 0);
  EXPECT_EQ(rbSetLampEx(h, 9, 1, 3), -1) << "there is no output 9";
  sim_zustand z{};
  sim_zustand_lesen(&z);
  EXPECT_EQ(z.ausgang_an[7], 1);
  EXPECT_EQ(z.ausgang_stufe[7], 3);
  EXPECT_EQ(z.motor_richtung[0], -1);
  EXPECT_EQ(z.ausgang_stufe[1], 5);
  EXPECT_EQ(rbGetMotors(h), 0b10000010);

  EXPECT_EQ(rbSetMotors(h, 0b01), 0) << "motor 1 the other way";
  sim_zustand_lesen(&z);
  EXPECT_EQ(z.motor_richtung[0], 1);
  EXPECT_EQ(rbSetMotors(h, 0), 0);
  EXPECT_EQ(rbGetMotors(h), 0) << "every output belongs to a motor";
}

TEST_F(simulator, eingaben_werden_unveraendert_gemeldet) {
  const uint32_t h = rbOpenInterfaceUSB(0, 0);
  EXPECT_EQ(sim_eingang_setzen(8, -5), 1);
  EXPECT_EQ(sim_eingang_setzen(9, 1), 0);
  EXPECT_EQ(sim_analog_setzen(1, 1023), 1);
  EXPECT_EQ(sim_spannung_setzen(2, 8123), 1);
  EXPECT_EQ(rbGetInput(h, 8), -5);
  EXPECT_EQ(rbGetInput(h, 0), -1);
  EXPECT_EQ(rbGetAnalog(h, 1), 1023);
  EXPECT_EQ(rbGetVoltage(h, 2), 8123);
}

TEST_F(simulator, protokoll_behaelt_die_neuesten_aufrufe) {
  const uint32_t h = rbOpenInterfaceUSB(0, 0);
  for (int i = 0; i < SIM_PROTOKOLL_PLATZ + 10; ++i)
    rbGetInput(h, i);
  sim_aufruf a{};
  EXPECT_EQ(sim_protokoll_anzahl(), SIM_PROTOKOLL_PLATZ + 11u);
  EXPECT_EQ(sim_protokoll_eintrag(5, &a), 0) << "pushed out";
  ASSERT_EQ(sim_protokoll_eintrag(SIM_PROTOKOLL_PLATZ + 10, &a), 1);
  EXPECT_EQ(a.funktion, sim_rbGetInput);
  EXPECT_EQ(a.argumente[1], SIM_PROTOKOLL_PLATZ + 9);
  EXPECT_EQ(sim_protokoll_eintrag(SIM_PROTOKOLL_PLATZ + 11, &a), 0);
  EXPECT_STREQ(sim_funktionsname(a.funktion), "rbGetInput");
}

TEST_F(simulator, zuruecksetzen_macht_alles_neu) {
  const uint32_t h = rbOpenInterfaceUSB(0, 0);
  rbSetLampEx(h, 1, 1, 7);
  sim_oeffnen_fehlschlagen(1);
  sim_zuruecksetzen();
  sim_zustand z{};
  sim_zustand_lesen(&z);
  EXPECT_EQ(z.ausgang_an[0], 0);
  EXPECT_EQ(z.geoeffnet, 0u);
  EXPECT_EQ(sim_protokoll_anzahl(), 0u);
  EXPECT_EQ(rbOpenInterfaceUSB(0, 0), SIM_ERSTES_HANDLE);
}

// The window's click: one locked step from what the box holds now, so a
// host's value set just before is the one flipped.
TEST_F(simulator, klick_schaltet_den_eingang_vom_jetzigen_wert_aus_um) {
  const uint32_t h = rbOpenInterfaceUSB(0, 0);
  sim_eingang_setzen(3, 5);
  EXPECT_TRUE(box_->eingang_umschalten(3));
  EXPECT_EQ(rbGetInput(h, 3), 0);
  EXPECT_TRUE(box_->eingang_umschalten(3));
  EXPECT_EQ(rbGetInput(h, 3), 1);
  EXPECT_FALSE(box_->eingang_umschalten(9));
  EXPECT_FALSE(box_->eingang_umschalten(0));
}

TEST_F(simulator, modellwechsel_startet_neu_und_eine_falsche_wahl_aendert_nichts) {
  const uint32_t h = rbOpenInterfaceUSB(0, 0);
  std::string meldung;
  ASSERT_TRUE(box_->modell_waehlen("schranke", meldung)) << meldung;
  EXPECT_STREQ(sim_modell_name_utf8(), "schranke");
  EXPECT_EQ(rbGetInput(h, 1), 1) << "the barrier starts down, on its lower switch";
  box_bild bild;
  box_->bild_lesen(bild, 3);
  const modell_stand &stand = bild.modell;
  ASSERT_TRUE(stand.modell);
  EXPECT_EQ(stand.modell->name, "schranke");
  EXPECT_EQ(stand.positionen, std::vector<double>{0});
  EXPECT_EQ(stand.eingang[0], 1);

  EXPECT_FALSE(box_->modell_waehlen("gibt_es_nicht", meldung));
  EXPECT_NE(meldung.find("gibt_es_nicht"), std::string::npos) << meldung;
  EXPECT_STREQ(sim_modell_name_utf8(), "schranke") << "the running model stays";

  const char *vorher = sim_modell_name_utf8();
  ASSERT_TRUE(box_->modell_waehlen("aufzug", meldung));
  EXPECT_STREQ(vorher, "schranke") << "a host may still hold the old name";
  box_->bild_lesen(bild, 3);
  ASSERT_TRUE(stand.modell);
  EXPECT_EQ(stand.modell->name, "aufzug");
  EXPECT_EQ(stand.positionen, std::vector<double>{0}) << "the cabin at its start";
  EXPECT_EQ(rbGetInput(h, 1), 1) << "on floor 0";

  ASSERT_TRUE(box_->modell_waehlen("", meldung));
  box_->bild_lesen(bild, 3);
  EXPECT_FALSE(stand.modell);
  EXPECT_STREQ(sim_modell_name_utf8(), "");
  EXPECT_EQ(rbGetInput(h, 1), 0) << "the box's own value again";
}

TEST_F(simulator, das_fenster_zeigt_die_neuesten_fehler_auch_nach_tausend) {
  const uint32_t h = rbOpenInterfaceUSB(0, 0);
  std::string meldung;
  ASSERT_TRUE(box_->modell_waehlen("schranke", meldung)) << meldung;
  // Output 1 without the lamp, 1001 times; then output 2 without it.
  for (int i = 0; i < 1001; ++i) {
    rbSetLampEx(h, 1, 1, 7);
    rbSetLampEx(h, 1, 0, 7);
  }
  rbSetLampEx(h, 2, 1, 7);
  box_bild bild;
  box_->bild_lesen(bild, 3);
  const modell_stand &stand = bild.modell;
  ASSERT_EQ(stand.fehler.size(), 3u);
  std::string regeln;
  for (const modell::fehler_eintrag &f : stand.fehler)
    regeln += stand.modell->regeln[static_cast<size_t>(f.regel)].name + " ";
  EXPECT_NE(regeln.find("senken_ohne_warnung"), std::string::npos) << regeln;
  EXPECT_GE(stand.fehler_anzahl, 1002u);
}

// Each box has its own state, log and model: two side by side share nothing.
TEST(simulator_boxen, zwei_boxen_nebeneinander_teilen_nichts) {
  box a, b;
  const uint32_t ha = a.rbOpenInterfaceUSB(0, 0);
  std::string meldung;
  ASSERT_TRUE(a.modell_waehlen("schranke", meldung)) << meldung;
  EXPECT_EQ(a.rbSetLampEx(ha, 3, 1, 7), 0);
  EXPECT_EQ(b.rbSetLampEx(ha, 3, 1, 7), -1) << "b has not opened";
  EXPECT_EQ(b.rbOpenInterfaceUSB(0, 0), ha) << "b counts its own handles";
  EXPECT_EQ(b.rbGetMotors(ha), 0);
  EXPECT_EQ(a.rbGetInput(ha, 1), 1) << "a's barrier stands on its lower switch";
  EXPECT_EQ(b.rbGetInput(ha, 1), 0);
  EXPECT_STREQ(b.modell_name_utf8(), "");
  EXPECT_EQ(a.protokoll_anzahl(), 3u);
  EXPECT_EQ(b.protokoll_anzahl(), 4u);
}

} // namespace
