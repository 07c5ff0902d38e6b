// The real DLL: its export table as a host sees it, the start values, and
// vorbereitung with real message boxes.
#include "tests/wine/e2e.h"
#include "src/exporte.h"

#include <cstring>

namespace {

const char fehlertext[] = "Fehler beim \xD6"
                          "ffnen des FT-Robo Interfaces an USB";
const char hinweis[] = "lumbrik meldet: Fischer-Technik-Robo Interface ist geladen.\r\n"
                       "Viel Spa\xDF beim Bauen und Steuern!";

TEST(exporte, jeder_name_und_seine_ordinalzahl_sind_dieselbe_funktion) {
  struct {
    const char *name;
    int ordinal;
  } const exporte[] = {
#define EXPORT(name, ordinal, ...) {#name, ordinal},
      LUMBRIK_EXPORTE(EXPORT)
#undef EXPORT
  };
  for (const auto &e : exporte) {
    ASSERT_NE(export_nach_name(e.name), nullptr) << e.name;
    EXPECT_EQ(export_nach_name(e.name), export_nach_ordinal(e.ordinal)) << e.name;
  }
  EXPECT_EQ(export_nach_ordinal(15), nullptr);
}

TEST(start, vor_vorbereitung_gehen_handle_null_und_stufe_sieben_hinaus) {
  dll().einschalten(3);
  dll().motor(1, 1);
  EXPECT_EQ(dll().gib_fehler(), 0);
  EXPECT_EQ(vendor_aufrufe(), (std::vector<vendor_aufruf>{{sim_rbSetLampEx, {0, 3, 1, 7}},
                                                          {sim_rbSetMotorEx, {0, 1, 1, 7}}}));
}

TEST(start, laden_und_entladen_tun_nichts_von_sich_aus) {
  // Hold the box ourselves so its log outlives lumbrik.dll.
  HMODULE box = LoadLibraryA("umFish40.DLL");
  ASSERT_NE(box, nullptr);
  auto anzahl = reinterpret_cast<decltype(&::sim_protokoll_anzahl)>(
      reinterpret_cast<void *>(GetProcAddress(box, "sim_protokoll_anzahl")));
  auto zustand = reinterpret_cast<decltype(&::sim_zustand_lesen)>(
      reinterpret_cast<void *>(GetProcAddress(box, "sim_zustand_lesen")));

  HMODULE modul = LoadLibraryA(LUMBRIK_DLL_PFAD);
  ASSERT_NE(modul, nullptr);
  EXPECT_EQ(anzahl(), 0u) << "loading opens nothing";

  meldungen_abfangen([](const meldungsbox &) {});
  reinterpret_cast<decltype(&::vorbereitung)>(
      reinterpret_cast<void *>(GetProcAddress(modul, "vorbereitung")))(0);
  reinterpret_cast<decltype(&::einschalten)>(
      reinterpret_cast<void *>(GetProcAddress(modul, "einschalten")))(1);
  meldungen_freigeben();
  const uint32_t vorher = anzahl();
  FreeLibrary(modul);

  EXPECT_EQ(anzahl(), vorher) << "unloading calls nothing";
  sim_zustand z{};
  zustand(&z);
  EXPECT_EQ(z.ausgang_an[0], 1) << "the output stays on";
  FreeLibrary(box);
}

using oeffnen = mit_boxen;

TEST_F(oeffnen, zeigt_den_hinweis_in_einer_schlichten_box) {
  dll().vorbereitung(0);

  EXPECT_EQ(vendor_aufrufe(), (std::vector<vendor_aufruf>{{sim_rbOpenInterfaceUSB, {0, 0}}}));
  ASSERT_EQ(boxen.size(), 1u);
  EXPECT_EQ(boxen[0].text, hinweis);
  EXPECT_EQ(boxen[0].titel, "Meldung");
  EXPECT_EQ(boxen[0].besitzer, nullptr);
  EXPECT_EQ(boxen[0].knoepfe, std::vector<int>{IDOK});
  EXPECT_FALSE(boxen[0].mit_symbol);
}

TEST_F(oeffnen, fehlschlag_zeigt_fehler_und_dann_hinweis) {
  sim().oeffnen_fehlschlagen(1);
  dll().vorbereitung(-1);
  dll().einschalten(2);

  ASSERT_EQ(boxen.size(), 2u);
  EXPECT_EQ(boxen[0].text, fehlertext);
  EXPECT_EQ(boxen[0].titel, "Meldung");
  EXPECT_EQ(boxen[0].besitzer, nullptr);
  EXPECT_EQ(boxen[0].knoepfe, std::vector<int>{IDOK});
  EXPECT_FALSE(boxen[0].mit_symbol);
  EXPECT_EQ(boxen[1].text, hinweis);
  EXPECT_EQ(vendor_aufrufe().back(),
            (vendor_aufruf{sim_rbSetLampEx, {static_cast<int32_t>(SIM_OEFFNEN_FEHLER), 2, 1, 7}}));
}

TEST_F(oeffnen, zweimal_heisst_zwei_oeffnungen_zwei_hinweise_und_der_neue_handle) {
  dll().vorbereitung(0);
  dll().vorbereitung(0);
  dll().ausschalten(4);

  ASSERT_EQ(boxen.size(), 2u);
  EXPECT_EQ(boxen[0].text, hinweis);
  EXPECT_EQ(boxen[1].text, hinweis);
  EXPECT_EQ(vendor_aufrufe(),
            (std::vector<vendor_aufruf>{{sim_rbOpenInterfaceUSB, {0, 0}},
                                        {sim_rbOpenInterfaceUSB, {0, 0}},
                                        {sim_rbSetLampEx, {erster_handle + 1, 4, 0, 7}}}));
}

TEST_F(oeffnen, lpt_nimmt_alles_und_tut_nichts) {
  for (int32_t wert : {0, 1, -1, INT32_MIN, INT32_MAX})
    dll().lpt(wert);
  EXPECT_TRUE(vendor_aufrufe().empty());
  EXPECT_TRUE(boxen.empty());
}

} // namespace
