// The simulator window's picture: the box where the window tests click it,
// the colours they read, the slider's maths, and the model's parts placed
// inside the model's view without overlap.
#include "simulator/modell/modell.h"
#include "simulator/panel_bild.h"

#include <gtest/gtest.h>

namespace {

using namespace panel_bild;

punkt mitte(const rechteck &r) {
  return {(r.links + r.rechts) / 2, (r.oben + r.unten) / 2};
}

bool ueberlappen(const rechteck &a, const rechteck &b) {
  return a.links < b.rechts && b.links < a.rechts && a.oben < b.unten && b.oben < a.unten;
}

bool innerhalb(const rechteck &innen, const rechteck &aussen_) {
  return innen.links >= aussen_.links && innen.rechts <= aussen_.rechts &&
         innen.oben >= aussen_.oben && innen.unten <= aussen_.unten;
}

modell::beschreibung eingebautes(const char *name) {
  modell::ergebnis e = modell::lesen(modell::eingebaut(name), name);
  EXPECT_TRUE(e.modell) << e.meldung;
  return e.modell ? *e.modell : modell::beschreibung{};
}

TEST(panel_box, liegt_wo_die_fenstertests_klicken_und_lesen) {
  // tests/wine/panel/panel_pruefen.sh reads these points.
  EXPECT_TRUE(lampe_rechteck(0).enthaelt({44, 44}));
  EXPECT_TRUE(lampe_rechteck(7).enthaelt({12 + 7 * 64 + 32, 44}));
  EXPECT_TRUE(motor_rechteck(2).enthaelt({12 + 2 * 128 + 4 + 57, 98}));
  EXPECT_EQ(treffen({12 + 8 + 24, 154}), (treffer{ziel::schalter, 0}));
  EXPECT_EQ(treffen({12 + 7 * 64 + 8 + 5, 154}), (treffer{ziel::schalter, 7}));
  EXPECT_EQ(treffen({56 + 100, 194 + 26 + 13}), (treffer{ziel::schieber, 1}));
  EXPECT_EQ(treffen({124 + 116 + 36, 265}), (treffer{ziel::feld, 1}));
  EXPECT_EQ(treffen({500, 20}), treffer{}) << "a click there changes nothing";
  EXPECT_EQ(treffen({12 + 64 - 4, 154}), treffer{}) << "between two switches";
  EXPECT_EQ(treffen(mitte(menue_rechteck())), (treffer{ziel::modell_menue, 0}));
  for (int i = 0; i < SIM_AUSGAENGE; ++i)
    EXPECT_TRUE(innerhalb(lampe_rechteck(i), box_flaeche()));
  EXPECT_TRUE(innerhalb(aufruf_rechteck(), box_flaeche()));
  EXPECT_FALSE(ueberlappen(box_flaeche(), modell_flaeche()));
  EXPECT_EQ(modell_flaeche().rechts, breite);
}

TEST(panel_box, lampen_leuchten_nach_stufe_und_schieber_rechnet_in_dreierschritten) {
  EXPECT_EQ(lampenfarbe(false, 7), (farbe{0x60, 0x60, 0x60}));
  EXPECT_EQ(lampenfarbe(true, 1), (farbe{0x87, 0x7D, 0x48}));
  EXPECT_EQ(lampenfarbe(true, 5), (farbe{0xD7, 0xB9, 0x18}));
  EXPECT_EQ(lampenfarbe(true, 7), (farbe{0xFF, 0xD7, 0x00}));
  EXPECT_EQ(lampenfarbe(true, 0), lampenfarbe(true, 1)) << "held at level 1";
  EXPECT_EQ(lampenfarbe(true, 99), lampenfarbe(true, 7));

  EXPECT_EQ(schieber_wert(schieber_links + 100), 300);
  EXPECT_EQ(schieber_wert(schieber_links - 30), 0);
  EXPECT_EQ(schieber_wert(schieber_links + 400), 1023);
  EXPECT_EQ(schieber_x(300), schieber_links + 100);
  EXPECT_EQ(schieber_x(-5), schieber_links);
  EXPECT_EQ(schieber_x(5000), schieber_links + schieber_laenge - 1);
  for (int32_t w : {0, 3, 540, 1020})
    EXPECT_EQ(schieber_wert(schieber_x(w)), w) << "a knob drawn at a value gives it back";
}

TEST(panel_modell, achse_bildet_ihren_bereich_auf_die_schiene_ab) {
  const modell::beschreibung m = eingebautes("schranke");
  const achs_bild a = achse_bild(0);
  const auto bereich = achsbereich(m, 0);
  EXPECT_EQ(bereich, (std::pair<double, double>{0, 90}));
  EXPECT_EQ(achse_x(bereich, a.schiene, 0), a.schiene.links);
  EXPECT_EQ(achse_x(bereich, a.schiene, 90), a.schiene.rechts);
  EXPECT_EQ(achse_x(bereich, a.schiene, 45), (a.schiene.links + a.schiene.rechts) / 2);
  EXPECT_EQ(achse_x(bereich, a.schiene, 200), a.schiene.rechts) << "held at the stop";
  // The warning lamp on output 3 turns no motor 2; without a model the box
  // cannot know, and shows every motor.
  EXPECT_TRUE(motor_gezeigt(&m, 0));
  EXPECT_FALSE(motor_gezeigt(&m, 1));
  EXPECT_TRUE(motor_gezeigt(nullptr, 1));

  // The belt has no stops: it shows up to its light barrier and beyond.
  const modell::beschreibung band = eingebautes("band");
  const auto b = achsbereich(band, 0);
  EXPECT_EQ(b.first, 0);
  EXPECT_GT(b.second, 530);
  EXPECT_EQ(teile_bei(band, 0, 0).size(), 5u) << "two lights share the same five parts";
  const auto weiter = teile_bei(band, 0, 250);
  ASSERT_FALSE(weiter.empty());
  EXPECT_EQ(weiter.front(), (std::pair<double, double>{250, 280}));
  EXPECT_LT(teile_bei(band, 0, 450).size(), 5u) << "parts run off the shown stretch";
}

TEST(panel_modell, jedes_eingebaute_modell_passt_ohne_ueberlappung_ins_fenster) {
  for (const char *name : {"schranke", "ampel", "aufzug", "band"}) {
    SCOPED_TRACE(name);
    const modell::beschreibung m = eingebautes(name);
    std::vector<rechteck> teile{modell_titel(), menue_rechteck(), fehler_rechteck()};
    for (size_t i = 0; i < m.achsen.size(); ++i) {
      const achs_bild a = achse_bild(i);
      ASSERT_FALSE(a.schiene.leer());
      teile.insert(teile.end(), {a.name, a.schiene, a.schalter});
    }
    const std::vector<teil_eintrag> liste = teile_anordnen(m);
    EXPECT_EQ(liste.size(),
              m.lampen.size() + m.lichter.size() + m.taster_liste.size() + m.potis.size());
    for (const teil_eintrag &t : liste) {
      EXPECT_FALSE(t.feld.leer()) << "every part is shown";
      teile.push_back(t.feld);
    }
    for (size_t i = 0; i < teile.size(); ++i) {
      EXPECT_TRUE(innerhalb(teile[i], modell_flaeche())) << i;
      for (size_t k = i + 1; k < teile.size(); ++k)
        EXPECT_FALSE(ueberlappen(teile[i], teile[k])) << i << " and " << k;
    }
  }
  // Axes beyond the room left are not drawn, and the parts stay out of the faults.
  EXPECT_TRUE(achse_bild(10).schiene.leer());
  modell::beschreibung voll;
  voll.lampen.resize(40);
  for (const teil_eintrag &t : teile_anordnen(voll))
    EXPECT_FALSE(ueberlappen(t.feld, fehler_rechteck()));
}

} // namespace
