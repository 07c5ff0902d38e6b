// The model engine: motion to the millisecond, switches, light barriers,
// rules, the model file's errors, and the record of a run.
#include "aufzeichnung.h"
#include "bericht.h"
#include "lauf.h"
#include "zeitdiagramm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using namespace modell;

beschreibung laden(const std::string &text) {
  ergebnis e = lesen(text, "test.toml");
  EXPECT_TRUE(e.modell) << e.meldung;
  return e.modell ? *e.modell : beschreibung{};
}

beschreibung eingebautes(const char *name) {
  return laden(eingebaut(name));
}

// Keeps every change, as the trace would.
struct mitschrift final : beobachter {
  struct eintrag {
    int64_t zeit;
    signalart art;
    std::string name;
    double wert;
  };
  std::vector<eintrag> eintraege;
  void aenderung(int64_t zeit, signalart art, std::string_view name, double wert) override {
    eintraege.push_back({zeit, art, std::string(name), wert});
  }
  void fehler(int64_t zeit, const regel &r) override {
    eintraege.push_back({zeit, signalart::fehler, r.name, 1});
  }
  std::vector<std::pair<int64_t, double>> von(signalart art, const std::string &name) const {
    std::vector<std::pair<int64_t, double>> v;
    for (const eintrag &e : eintraege)
      if (e.art == art && e.name == name)
        v.emplace_back(e.zeit, e.wert);
    return v;
  }
};

// A box with motor `m` running `richtung` at level `stufe`, and lamp outputs.
box_werte box(int m = 1, int richtung = 0, int stufe = 7, std::initializer_list<int> an = {}) {
  box_werte b;
  if (richtung != 0) {
    const auto i = static_cast<size_t>(2 * m - (richtung > 0 ? 2 : 1));
    b.an[i] = 1;
    b.stufe[i] = stufe;
  }
  for (int n : an) {
    b.an[static_cast<size_t>(n - 1)] = 1;
    b.stufe[static_cast<size_t>(n - 1)] = 7;
  }
  return b;
}

using pt = std::pair<int64_t, double>;

TEST(modell_bewegung, achse_schalter_und_anschlag_auf_die_millisekunde) {
  mitschrift m;
  lauf l(eingebautes("schranke"), &m);
  l.starten(10000); // any clock: times count from the start
  EXPECT_EQ(l.eingang(1), 1) << "the barrier starts down";
  l.abgleichen(10000, box(1, 1, 4, {3})); // 30 degrees a second
  l.fortschreiten(11000);
  EXPECT_DOUBLE_EQ(l.position(0), 30);
  EXPECT_EQ(l.eingang(1), 0);
  l.fortschreiten(12499);
  EXPECT_EQ(l.eingang(2), 0);
  l.fortschreiten(12500); // 75 degrees: the upper switch closes, then bounces 3 ms
  EXPECT_EQ(l.eingang(2), 1);
  l.fortschreiten(12501);
  EXPECT_EQ(l.eingang(2), 0);
  l.fortschreiten(12503);
  EXPECT_EQ(l.eingang(2), 1);
  EXPECT_EQ(l.fehler_anzahl(), 0u);

  // Nobody asks for a while: the stop is still met at 3000 ms, to the ms.
  l.fortschreiten(20000);
  EXPECT_DOUBLE_EQ(l.position(0), 90);
  EXPECT_EQ(m.von(signalart::eingang, "1"), (std::vector<pt>{{0, 1}, {334, 0}}));
  EXPECT_EQ(m.von(signalart::eingang, "2"),
            (std::vector<pt>{{0, 0}, {2500, 1}, {2501, 0}, {2502, 1}}));
  EXPECT_EQ(m.von(signalart::fehler, "anschlag"), (std::vector<pt>{{3000, 1}}));
  EXPECT_EQ(m.von(signalart::achse, "baum"), (std::vector<pt>{{0, 0}, {0, 0}, {3000, 90}}));

  // Down at level 7 (45 a second), stopped at 20400: 18 degrees.
  l.abgleichen(20000, box(1, -1, 7, {3}));
  l.abgleichen(20400, box(1, 0, 7, {3}));
  l.fortschreiten(30000);
  EXPECT_DOUBLE_EQ(l.position(0), 72);
  EXPECT_EQ(l.fehler_anzahl(), 1u);
  ASSERT_EQ(l.fehlerliste().size(), 1u);
  EXPECT_EQ(l.fehlerliste()[0].zeit, 3000);
}

TEST(modell_bewegung, poti_folgt_der_achse_und_eingaenge_mischen_sich) {
  lauf l(eingebautes("aufzug"));
  l.starten(0);
  box_werte b = box(1, 1, 7, {3});
  b.eingang[3] = 1;  // a person presses call button 0 (not on the timeline)
  b.eingang[0] = 0;  // and sets floor switch 0 off: the model's value wins
  b.eingang[7] = 42; // input 8 is not the model's
  l.abgleichen(0, b);
  EXPECT_EQ(l.eingang(1), 1);
  EXPECT_EQ(l.eingang(4), 1);
  EXPECT_EQ(l.eingang(8), 42);
  EXPECT_EQ(l.eingang(6), 0);
  l.fortschreiten(1000); // 50 mm; call button 2 pressed by the timeline
  EXPECT_EQ(l.analog(1), 250);
  EXPECT_EQ(l.eingang(6), 1);
  l.fortschreiten(1300);
  EXPECT_EQ(l.eingang(6), 0);
  l.fortschreiten(4000);
  EXPECT_EQ(l.eingang(3), 1);
  EXPECT_EQ(l.analog(1), 1000) << "the poti stops at the end of its range";
  EXPECT_EQ(l.fehler_anzahl(), 0u);
}

TEST(modell_bewegung, lichtschranke_zaehlt_teile_auf_dem_band) {
  mitschrift m;
  lauf l(eingebautes("band"), &m);
  l.starten(0);
  EXPECT_EQ(l.eingang(1), 0) << "no light without the lamp";
  l.abgleichen(0, box(1, 1, 7, {3})); // 140 mm a second
  l.fortschreiten(5000);
  int unterbrochen = 0;
  const auto schranke = m.von(signalart::eingang, "1");
  for (size_t i = 1; i < schranke.size(); ++i)
    unterbrochen += schranke[i].second == 0 && schranke[i - 1].second == 1;
  EXPECT_EQ(unterbrochen, 5);
  // The part at 400 covers the barrier at 500 from belt position 70 to 100.
  EXPECT_EQ(schranke[1], pt(0, 1));
  EXPECT_EQ(schranke[2], pt(500, 0));
  EXPECT_EQ(schranke[3], pt(715, 1));
  EXPECT_EQ(m.von(signalart::analog, "1")[2], pt(500, 80));
  EXPECT_EQ(l.fehler_anzahl(), 0u);
}

TEST(modell_regeln, jede_art_meldet_ihren_fehler_mit_zeit) {
  mitschrift m;
  lauf ampel(eingebautes("ampel"), &m);
  ampel.starten(0);
  ampel.abgleichen(100, box(1, 0, 7, {3, 5})); // both green, and pedestrians without red
  ampel.abgleichen(200, box(1, 0, 7, {3}));
  ampel.fortschreiten(13000); // the request at 2000 is never answered
  EXPECT_EQ(m.von(signalart::fehler, "beide_gruen"), (std::vector<pt>{{100, 1}}));
  EXPECT_EQ(m.von(signalart::fehler, "fuss_gruen_nur_bei_rot"), (std::vector<pt>{{100, 1}}));
  EXPECT_EQ(m.von(signalart::fehler, "anforderung_beantwortet"), (std::vector<pt>{{12000, 1}}));
  EXPECT_TRUE(m.von(signalart::fehler, "rot_und_gruen").empty());

  lauf richtig(eingebautes("ampel"));
  richtig.starten(0);
  richtig.abgleichen(0, box(1, 0, 7, {3, 4}));
  richtig.abgleichen(4000, box(1, 0, 7, {1, 5}));
  richtig.fortschreiten(20000);
  EXPECT_EQ(richtig.fehler_anzahl(), 0u);

  lauf schranke(eingebautes("schranke"));
  schranke.starten(0);
  schranke.abgleichen(0, box(1, -1, 7)); // down against the stop, without the lamp
  EXPECT_EQ(schranke.fehler_anzahl(), 2u);
  schranke.starten(50); // a new start forgets the state, keeps the faults
  schranke.fortschreiten(60);
  EXPECT_EQ(schranke.fehler_anzahl(), 2u);
}

TEST(modell_datei, jeder_fehler_nennt_datei_zeile_und_problem) {
  const std::string kopf = "[modell]\nname = \"x\"\n";
  const std::string achse =
      "[[achse]]\nname = \"a\"\nmotor = 1\nmin = 0\nmax = 10\ngeschwindigkeit = 5\n";
  const std::pair<std::string, std::string> faelle[] = {
      {"[modell\nname = 1", "Zeile 1: "},
      {"name = \"x\"\n", "Zeile 1: unbekannte Tabelle 'name'"},
      {"[[achse]]\nname = \"a\"\n", "die Tabelle [modell]"},
      {kopf + achse + "geschwindigkeitt = 3\n",
       "Zeile 9: [[achse]] Nr. 1: unbekannter Schlüssel 'geschwindigkeitt'"},
      {kopf + achse + "[[schalter]]\nname = \"s\"\neingang = 1\nachse = \"b\"\nab = 1\n",
       "Zeile 9: [[schalter]] Nr. 1: es gibt keine Achse 'b'"},
      {kopf + achse + "[[schalter]]\nname = \"s\"\neingang = 9\nachse = \"a\"\nab = 1\n",
       "Zeile 11: [[schalter]] Nr. 1: 'eingang' muss eine ganze Zahl von 1 bis 8 sein"},
      {kopf + achse +
           "[[taster]]\nname = \"t\"\neingang = 2\n[[taster]]\nname = \"u\"\neingang = 2\n",
       "Zeile 12: [[taster]] Nr. 2: Eingang 2 ist schon von [[taster]] Nr. 1 belegt"},
      {kopf + "[[achse]]\nname = \"a\"\nmotor = 1\ngeschwindigkeit = [1, 2]\n",
       "Zeile 6: [[achse]] Nr. 1: 'geschwindigkeit' ist eine Zahl oder eine Liste von 7"},
      {kopf + "[[achse]]\nname = \"a\"\nmotor = 1\nmin = 5\nmax = 1\ngeschwindigkeit = 1\n",
       "Zeile 3: [[achse]] Nr. 1: eine Achse hat entweder min < max"},
      {kopf + achse + "[[lampe]]\nname = \"l\"\nausgang = 2\n", "Ausgang 2 gehört zu Motor 1"},
      {kopf + "[[taster]]\nname = \"t\"\neingang = 1\ngedrueckt = [[5, 2]]\n",
       "Zeile 6: [[taster]] Nr. 1: ein Zeitfenster"},
      {kopf + "[[regel]]\nname = \"r\"\nart = \"nie\"\n",
       "Zeile 3: [[regel]] Nr. 1: unbekannte Art 'nie'"},
  };
  for (const auto &[text, erwartet] : faelle) {
    const ergebnis e = lesen(text, "kaputt.toml");
    EXPECT_FALSE(e.modell) << text;
    EXPECT_NE(e.meldung.find("Modell kaputt.toml, "), std::string::npos) << e.meldung;
    EXPECT_NE(e.meldung.find(erwartet), std::string::npos) << e.meldung;
  }
  for (const char *name : {"schranke", "ampel", "aufzug", "band"})
    EXPECT_TRUE(lesen(eingebaut(name), name).modell) << name;
  EXPECT_EQ(eingebaut("gibtsnicht"), nullptr);
  EXPECT_STREQ(eingebaute_namen(), "ampel, aufzug, band, schranke");
}

TEST(modell_bericht, spur_bericht_und_zeitdiagramm) {
  char ordner[] = "/tmp/lumbrik_modell_XXXXXX";
  ASSERT_NE(mkdtemp(ordner), nullptr);
  const std::string stamm = std::string(ordner) + "/lauf";
  {
    aufzeichnung a;
    std::string meldung;
    ASSERT_TRUE(a.oeffnen(stamm + ".json", meldung)) << meldung;
    lauf l(eingebautes("schranke"), &a);
    l.starten(0);
    l.abgleichen(0, box(1, 1, 7, {3}));
    l.fortschreiten(5000);
    a.abschliessen(l, l.jetzt(), "");
    EXPECT_EQ(a.anzahl(signalart::fehler), 1u);
  }
  std::ifstream bericht(stamm + ".json");
  std::stringstream inhalt;
  inhalt << bericht.rdbuf();
  EXPECT_NE(inhalt.str().find("\"modell\": \"schranke\""), std::string::npos) << inhalt.str();
  EXPECT_NE(inhalt.str().find("\"laufzeit_ms\": 5000"), std::string::npos);
  EXPECT_NE(inhalt.str().find("{\"zeit_ms\": 2000, \"regel\": \"anschlag\""), std::string::npos);
  // As the console reads it back behind the bridge; a report cut short is none.
  const std::optional<bericht_stand> gelesen = bericht_lesen(inhalt.str());
  ASSERT_TRUE(gelesen);
  EXPECT_EQ(gelesen->modell, "schranke");
  EXPECT_EQ(gelesen->fehler_anzahl, 1u);
  EXPECT_FALSE(bericht_lesen(inhalt.str().substr(0, inhalt.str().size() / 2)));
  std::ifstream spur(stamm + ".csv");
  std::string zeile;
  std::getline(spur, zeile);
  EXPECT_EQ(zeile, "zeit_ms,art,name,wert");

  // Well formed, and one lane per output, motor, input, analog value and axis.
  const std::string svg = stamm + ".svg";
  EXPECT_EQ(std::system(("xmllint --noout " + svg).c_str()), 0);
  const std::string zaehlen = "test $(grep -c 'class=\"spur\"' " + svg + ") -eq 23";
  EXPECT_EQ(std::system(zaehlen.c_str()), 0);
  EXPECT_EQ(std::system(("grep -q 'class=\"fehler\"' " + svg).c_str()), 0);

  std::ofstream(stamm + "_kaputt.csv") << "zeit_ms,art,name,wert\n1,ausgang,1\n";
  std::string meldung;
  EXPECT_FALSE(zeitdiagramm(stamm + "_kaputt.csv", stamm + "_kaputt.svg", meldung));
  EXPECT_NE(meldung.find("Zeile 2"), std::string::npos) << meldung;
  std::system(("rm -r " + std::string(ordner)).c_str());
}

} // namespace
