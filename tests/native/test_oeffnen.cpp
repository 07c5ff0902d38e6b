// Opening the interface: the start values, vorbereitung with its boxes and
// the notice block, and lpt.
#include "tests/native/umgebung.h"

#include "src/gib_copy.h"
#include "src/strings2.h"

#include <cstring>

namespace {

// Read before any test runs: the variables are constant-initialised.
const uint32_t schnittstelle_beim_laden = lumbrik::schnittstelle;
const int32_t stufe_beim_laden = lumbrik::stufe;
const unsigned char fehler_beim_laden = lumbrik::fehler;

const char fehlertext[] = "Fehler beim \xD6"
                          "ffnen des FT-Robo Interfaces an USB";
const char geladen[] = "Fischer-Technik-Robo Interface ist geladen.\r\n";
const char hinweis[] = "lumbrik meldet: Fischer-Technik-Robo Interface ist geladen.\r\n"
                       "Viel Spa\xDF beim Bauen und Steuern!";

const int32_t erstes = static_cast<int32_t>(SIM_ERSTES_HANDLE);
const int32_t fehlschlag = static_cast<int32_t>(SIM_OEFFNEN_FEHLER);

using oeffnen = frisch;

TEST(start, variablen_haben_ihre_startwerte_ohne_dass_etwas_laeuft) {
  EXPECT_EQ(schnittstelle_beim_laden, 0u);
  EXPECT_EQ(stufe_beim_laden, 7);
  EXPECT_EQ(fehler_beim_laden, 0);
}

TEST_F(oeffnen, oeffnet_mit_null_null_und_zeigt_den_hinweis) {
  lumbrik::vorbereitung(12345);

  EXPECT_EQ(vendor_aufrufe(), (std::vector<aufruf>{{sim_rbOpenInterfaceUSB, {0, 0}}}));
  EXPECT_EQ(lumbrik::schnittstelle, SIM_ERSTES_HANDLE);
  ASSERT_EQ(doubles::meldungen().size(), 1u);
  const auto &box = doubles::meldungen()[0];
  EXPECT_EQ(box.text, hinweis);
  EXPECT_EQ(box.titel, "Meldung");
  EXPECT_EQ(box.besitzer, nullptr);
  EXPECT_EQ(box.art, 0u);
}

TEST_F(oeffnen, hinweis_steht_in_einem_block_von_128_bytes_der_danach_frei_ist) {
  lumbrik::vorbereitung(0);

  ASSERT_EQ(doubles::zuteilungen().size(), 1u);
  EXPECT_EQ(doubles::zuteilungen()[0].flags, GMEM_MOVEABLE | GMEM_ZEROINIT);
  EXPECT_EQ(doubles::zuteilungen()[0].bytes, 128u);
  EXPECT_EQ(doubles::lebende_bloecke(), 0);
}

TEST_F(oeffnen, fehlschlag_zeigt_erst_den_fehler_dann_den_hinweis) {
  sim_oeffnen_fehlschlagen(1);
  lumbrik::vorbereitung(0);

  EXPECT_EQ(lumbrik::schnittstelle, SIM_OEFFNEN_FEHLER);
  ASSERT_EQ(doubles::meldungen().size(), 2u);
  EXPECT_EQ(doubles::meldungen()[0].text, fehlertext);
  EXPECT_EQ(doubles::meldungen()[0].titel, "Meldung");
  EXPECT_EQ(doubles::meldungen()[0].besitzer, nullptr);
  EXPECT_EQ(doubles::meldungen()[0].art, 0u);
  EXPECT_EQ(doubles::meldungen()[1].text, hinweis);
}

TEST_F(oeffnen, fehlerwert_bleibt_handle_fuer_spaetere_befehle) {
  sim_oeffnen_fehlschlagen(1);
  lumbrik::vorbereitung(0);
  lumbrik::einschalten(2);

  EXPECT_EQ(vendor_aufrufe().back(), (aufruf{sim_rbSetLampEx, {fehlschlag, 2, 1, 7}}));
}

TEST_F(oeffnen, handle_steht_schon_fest_wenn_die_erste_box_aufgeht) {
  std::vector<uint32_t> beim_zeigen;
  doubles::bei_meldung(
      [&](const doubles::meldung &) { beim_zeigen.push_back(lumbrik::schnittstelle); });
  sim_oeffnen_fehlschlagen(1);
  lumbrik::vorbereitung(0);

  EXPECT_EQ(beim_zeigen, (std::vector<uint32_t>{SIM_OEFFNEN_FEHLER, SIM_OEFFNEN_FEHLER}));
}

TEST_F(oeffnen, zweimal_oeffnet_zweimal_und_der_zweite_handle_gilt) {
  lumbrik::vorbereitung(0);
  lumbrik::vorbereitung(0);
  lumbrik::einschalten(1);

  EXPECT_EQ(vendor_aufrufe(), (std::vector<aufruf>{{sim_rbOpenInterfaceUSB, {0, 0}},
                                                   {sim_rbOpenInterfaceUSB, {0, 0}},
                                                   {sim_rbSetLampEx, {erstes + 1, 1, 1, 7}}}));
  ASSERT_EQ(doubles::meldungen().size(), 2u);
  EXPECT_EQ(doubles::meldungen()[1].text, hinweis);
}

TEST_F(oeffnen, ohne_block_erscheint_die_meldung_schlicht) {
  doubles::zuteilen_scheitert(true);
  lumbrik::vorbereitung(0);

  ASSERT_EQ(doubles::meldungen().size(), 1u);
  EXPECT_EQ(doubles::meldungen()[0].text, geladen);
  EXPECT_EQ(lumbrik::schnittstelle, SIM_ERSTES_HANDLE);
}

TEST_F(oeffnen, block_der_sich_nicht_sperren_laesst_wird_wieder_frei) {
  doubles::sperren_scheitert(true);
  lumbrik::vorbereitung(0);

  ASSERT_EQ(doubles::meldungen().size(), 1u);
  EXPECT_EQ(doubles::meldungen()[0].text, geladen);
  EXPECT_EQ(doubles::lebende_bloecke(), 0);
}

TEST_F(oeffnen, lpt_tut_nichts) {
  for (int32_t wert : {0, 1, -1, INT32_MIN, INT32_MAX})
    lumbrik::lpt(wert);

  EXPECT_TRUE(vendor_aufrufe().empty());
  EXPECT_TRUE(doubles::meldungen().empty());
  EXPECT_EQ(lumbrik::schnittstelle, 0u);
  EXPECT_EQ(lumbrik::stufe, 7);
}

using notiz = frisch;

TEST_F(notiz, text_endet_mit_null_und_der_rest_des_blocks_ist_null) {
  char *block = hinweis_bauen(geladen);
  ASSERT_NE(block, nullptr);

  const size_t laenge = std::strlen(hinweis);
  EXPECT_EQ(laenge, 16u + 45u + 33u);
  EXPECT_EQ(std::string(block), hinweis);
  for (size_t i = laenge; i < hinweis_blockgroesse; ++i)
    EXPECT_EQ(block[i], '\0') << "byte " << i;
  EXPECT_EQ(doubles::gesperrte_bloecke(), 1);
  block_freigeben(block);
}

TEST_F(notiz, zu_lange_meldung_wird_im_block_gekuerzt) {
  const std::string lang(300, 'x');
  char *block = hinweis_bauen(lang.c_str());
  ASSERT_NE(block, nullptr);

  // The block is exactly 128 bytes, so the sanitizer sees any write past it.
  EXPECT_EQ(std::strlen(block), hinweis_blockgroesse - 1);
  EXPECT_EQ(std::string(block, 16), "lumbrik meldet: ");
  block_freigeben(block);
}

TEST_F(notiz, freigeben_von_nichts_ist_harmlos) {
  block_freigeben(nullptr);
  EXPECT_EQ(doubles::lebende_bloecke(), 0);
}

} // namespace
