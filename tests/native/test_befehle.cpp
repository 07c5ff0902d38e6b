// The output commands and input queries: the exact vendor calls they make
// (handle, number, state, level, order) and the results they hand back.
#include "tests/native/umgebung.h"

#include <algorithm>
#include <atomic>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (g++ ships no header for it).
extern "C" int
__sanitizer_install_malloc_and_free_hooks(void (*bei_zuteilung)(const volatile void *, size_t),
                                          void (*bei_freigabe)(const volatile void *));
#endif

namespace {

const int32_t h = static_cast<int32_t>(SIM_ERSTES_HANDLE);

intptr_t adresse(const char *text) {
  return reinterpret_cast<intptr_t>(text);
}

// Opened, with the opening itself left out of the log.
class geoeffnet : public frisch {
protected:
  void SetUp() override {
    frisch::SetUp();
    lumbrik::vorbereitung(0);
    basis = sim_protokoll_anzahl();
  }
  std::vector<aufruf> neue_aufrufe() {
    const std::vector<aufruf> alle = vendor_aufrufe();
    EXPECT_LE(basis, alle.size());
    const auto ab = static_cast<std::ptrdiff_t>(std::min<size_t>(basis, alle.size()));
    return {alle.begin() + ab, alle.end()};
  }
  uint32_t basis = 0;
};

using ausgaenge = geoeffnet;

TEST_F(ausgaenge, einschalten_mit_der_anfangsstufe) {
  lumbrik::einschalten(3);
  EXPECT_EQ(neue_aufrufe(), (std::vector<aufruf>{{sim_rbSetLampEx, {h, 3, 1, 7}}}));
}

TEST_F(ausgaenge, vor_dem_oeffnen_geht_handle_null_hinaus) {
  sim_zuruecksetzen();
  lumbrik::schnittstelle = 0;
  lumbrik::einschalten(3);
  lumbrik::allesaus();
  EXPECT_EQ(vendor_aufrufe(),
            (std::vector<aufruf>{{sim_rbSetLampEx, {0, 3, 1, 7}}, {sim_rbSetMotors, {0, 0}}}));
}

TEST_F(ausgaenge, liste_schaltet_einzeln_in_der_reihenfolge_des_textes) {
  lumbrik::t_proz1(2);
  lumbrik::ausschalten(adresse("[1 4]"));
  lumbrik::einschalten(adresse("[8 2 5]"));
  EXPECT_EQ(neue_aufrufe(), (std::vector<aufruf>{{sim_rbSetLampEx, {h, 1, 0, 2}},
                                                 {sim_rbSetLampEx, {h, 4, 0, 2}},
                                                 {sim_rbSetLampEx, {h, 8, 1, 2}},
                                                 {sim_rbSetLampEx, {h, 2, 1, 2}},
                                                 {sim_rbSetLampEx, {h, 5, 1, 2}}}));
}

TEST_F(ausgaenge, schlechtes_token_schaltet_nur_was_davor_stand) {
  lumbrik::einschalten(adresse("[1 x 3]"));
  lumbrik::einschalten(adresse("keine Liste"));
  EXPECT_EQ(neue_aufrufe(), (std::vector<aufruf>{{sim_rbSetLampEx, {h, 1, 1, 7}}}));
}

TEST_F(ausgaenge, nummern_gehen_ungeprueft_an_die_schnittstelle) {
  lumbrik::einschalten(adresse("[-3 +4 007 40000]"));
  lumbrik::ausschalten(32768);
  lumbrik::ausschalten(-32767);
  EXPECT_EQ(neue_aufrufe(), (std::vector<aufruf>{{sim_rbSetLampEx, {h, -3, 1, 7}},
                                                 {sim_rbSetLampEx, {h, 4, 1, 7}},
                                                 {sim_rbSetLampEx, {h, 7, 1, 7}},
                                                 {sim_rbSetLampEx, {h, 40000, 1, 7}},
                                                 {sim_rbSetLampEx, {h, 32768, 0, 7}},
                                                 {sim_rbSetLampEx, {h, -32767, 0, 7}}}));
}

TEST_F(ausgaenge, stufe_gilt_nur_von_eins_bis_sieben) {
  const std::pair<int32_t, int32_t> faelle[] = {{0, 7}, {8, 7}, {-1, 7},       {1, 1},
                                                {7, 7}, {4, 4}, {INT32_MIN, 4}};
  for (const auto &[eingabe, erwartet] : faelle) {
    lumbrik::t_proz1(eingabe);
    EXPECT_EQ(lumbrik::stufe, erwartet) << eingabe;
  }
  EXPECT_TRUE(neue_aufrufe().empty()) << "t_proz1 calls nothing";
}

TEST_F(ausgaenge, stufe_bleibt_ueber_ein_neues_oeffnen_hinweg) {
  lumbrik::t_proz1(3);
  lumbrik::vorbereitung(0);
  lumbrik::motor(2, -1);
  EXPECT_EQ(neue_aufrufe().back(), (aufruf{sim_rbSetMotorEx, {h + 1, 2, -1, 3}}));
}

TEST_F(ausgaenge, stufe_wird_bei_jedem_aufruf_gelesen) {
  lumbrik::einschalten(1);
  lumbrik::t_proz1(5);
  lumbrik::einschalten(1);
  EXPECT_EQ(neue_aufrufe(), (std::vector<aufruf>{{sim_rbSetLampEx, {h, 1, 1, 7}},
                                                 {sim_rbSetLampEx, {h, 1, 1, 5}}}));
}

TEST_F(ausgaenge, motor_und_allesaus) {
  lumbrik::t_proz1(6);
  lumbrik::motor(2, -1);
  lumbrik::motor(-5, 123456);
  lumbrik::allesaus();
  EXPECT_EQ(neue_aufrufe(), (std::vector<aufruf>{{sim_rbSetMotorEx, {h, 2, -1, 6}},
                                                 {sim_rbSetMotorEx, {h, -5, 123456, 6}},
                                                 {sim_rbSetMotors, {h, 0}}}));
}

TEST_F(ausgaenge, ausgangzustand_gibt_die_antwort_unveraendert_weiter) {
  lumbrik::einschalten(adresse("[1 3]"));
  EXPECT_EQ(lumbrik::ausgangzustand(), 0b101);
  lumbrik::schnittstelle = 0;
  EXPECT_EQ(lumbrik::ausgangzustand(), -1) << "the box's error for an unknown handle";
}

#if defined(__SANITIZE_ADDRESS__)
// Counts the process's heap allocations while `zaehlen` is set; the
// sanitizer calls this for every malloc, calloc, realloc and new.
std::atomic<bool> zaehlen{false};
std::atomic<int> zuteilungen{0};
void bei_zuteilung(const volatile void *, size_t) {
  if (zaehlen)
    ++zuteilungen;
}
void bei_freigabe(const volatile void *) {}

TEST_F(ausgaenge, befehle_holen_keinen_speicher) {
  static const bool eingerichtet =
      __sanitizer_install_malloc_and_free_hooks(bei_zuteilung, bei_freigabe) != 0;
  ASSERT_TRUE(eingerichtet);
  static const char liste[] = "[1 2 3 4 5 6 7 8 0000000000000000000001]";
  zuteilungen = 0;
  zaehlen = true;
  lumbrik::einschalten(adresse(liste));
  lumbrik::ausschalten(adresse(liste));
  lumbrik::einschalten(4);
  lumbrik::motor(1, 1);
  lumbrik::t_proz1(3);
  lumbrik::allesaus();
  const unsigned char aktiv = lumbrik::schalter(adresse(liste));
  const int32_t wert = lumbrik::sensor(1) + lumbrik::poti(2) + lumbrik::t_funk1(1);
  const int32_t zustand = lumbrik::ausgangzustand();
  lumbrik::pause(0);
  zaehlen = false;
  EXPECT_EQ(zuteilungen.load(), 0);
  EXPECT_EQ(aktiv + wert + zustand, 0 + 0 + 0);
}
#endif

using eingaenge = geoeffnet;

TEST_F(eingaenge, schalter_ist_wahr_nur_ueber_null) {
  const std::pair<int32_t, unsigned char> faelle[] = {{1, 1}, {0, 0}, {-1, 0}, {77, 1}};
  for (const auto &[wert, erwartet] : faelle) {
    sim_eingang_setzen(3, wert);
    EXPECT_EQ(lumbrik::schalter(3), erwartet) << wert;
  }
}

TEST_F(eingaenge, liste_liest_nur_bis_zum_ersten_aktiven) {
  sim_eingang_setzen(2, 1);
  EXPECT_EQ(lumbrik::schalter(adresse("[1 2 3]")), 1);
  EXPECT_EQ(neue_aufrufe(),
            (std::vector<aufruf>{{sim_rbGetInput, {h, 1}}, {sim_rbGetInput, {h, 2}}}));
}

TEST_F(eingaenge, liste_ohne_aktiven_liest_alle) {
  EXPECT_EQ(lumbrik::schalter(adresse("[1 2]")), 0);
  EXPECT_EQ(neue_aufrufe().size(), 2u);
}

TEST_F(eingaenge, kein_text_ist_falsch_ohne_aufruf) {
  sim_eingang_setzen(1, 1);
  EXPECT_EQ(lumbrik::schalter(adresse("1 2")), 0);
  EXPECT_EQ(lumbrik::schalter(adresse("")), 0);
  EXPECT_TRUE(neue_aufrufe().empty());
}

TEST_F(eingaenge, abgebrochene_liste_liefert_das_bis_dahin_gelesene) {
  sim_eingang_setzen(1, 1);
  EXPECT_EQ(lumbrik::schalter(adresse("[1 x 2]")), 1);
  EXPECT_EQ(lumbrik::schalter(adresse("[2 x 1]")), 0);
  EXPECT_EQ(lumbrik::schalter(adresse("[]")), 0);
  EXPECT_EQ(lumbrik::schalter(adresse("[ ]")), 0);
}

TEST_F(eingaenge, nach_einem_aktiven_wird_der_rest_nur_gegangen) {
  sim_eingang_setzen(1, 1);
  EXPECT_EQ(lumbrik::schalter(adresse("[1 2 3 x]")), 1);
  EXPECT_EQ(neue_aufrufe(), (std::vector<aufruf>{{sim_rbGetInput, {h, 1}}}));
}

TEST_F(eingaenge, sensor_und_poti_lesen_denselben_wert) {
  sim_analog_setzen(2, -17);
  EXPECT_EQ(lumbrik::sensor(2), -17);
  EXPECT_EQ(lumbrik::poti(2), -17);
  EXPECT_EQ(neue_aufrufe(),
            (std::vector<aufruf>{{sim_rbGetAnalog, {h, 2}}, {sim_rbGetAnalog, {h, 2}}}));
}

TEST_F(eingaenge, spannung_nur_fuer_eins_und_zwei) {
  sim_spannung_setzen(1, 9000);
  sim_spannung_setzen(2, 4500);
  EXPECT_EQ(lumbrik::t_funk1(1), 9000);
  EXPECT_EQ(lumbrik::t_funk1(2), 4500);
  EXPECT_EQ(lumbrik::t_funk1(0), 0);
  EXPECT_EQ(lumbrik::t_funk1(3), 0);
  EXPECT_EQ(lumbrik::t_funk1(-1), 0);
  EXPECT_EQ(neue_aufrufe(),
            (std::vector<aufruf>{{sim_rbGetVoltage, {h, 1}}, {sim_rbGetVoltage, {h, 2}}}));
}

} // namespace
