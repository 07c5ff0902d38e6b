// The model engine: motion to the millisecond, switches, light barriers,
// rules, the model file's errors, and the record of a run.
#include "simulator/modell/aufzeichnung.h"
#include "simulator/modell/lauf.h"
#include "aufzeichnung/zeitdiagramm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

using namespace modell;
using akte::csv_feld;
using akte::zeitdiagramm;

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
  EXPECT_EQ(m.von(signalart::achse, "baum"), (std::vector<pt>{{0, 0}, {3000, 90}}));

  // Down at level 7 (45 a second), stopped at 20400: 18 degrees.
  l.abgleichen(20000, box(1, -1, 7, {3}));
  l.abgleichen(20400, box(1, 0, 7, {3}));
  l.fortschreiten(30000);
  EXPECT_DOUBLE_EQ(l.position(0), 72);
  EXPECT_EQ(l.fehler_anzahl(), 1u);
  ASSERT_EQ(l.fehlerliste().size(), 1u);
  EXPECT_EQ(l.fehlerliste()[0].zeit, 3000);
}

// The trace holds an axis in hundredths of its unit, a line per change of
// its motion: none for a motor switched or stepped against a stop.
TEST(modell_bewegung, achse_in_der_spur_gerundet_und_nur_bei_aenderung) {
  mitschrift m;
  lauf l(eingebautes("schranke"), &m);
  l.starten(0);
  // Up at levels 1 and 2, down at 1: back at 0, as the arithmetic has it 1e-17.
  l.abgleichen(0, box(1, 1, 1));
  l.abgleichen(1, box(1, 1, 2));
  l.abgleichen(8, box(1, -1, 1));
  l.abgleichen(23, box(1, 0));
  // Into the stop, then another level and off while it stands there.
  l.abgleichen(30, box(1, -1, 7));
  l.abgleichen(50, box(1, -1, 3));
  l.abgleichen(100, box(1, 0));
  l.abgleichen(200, box(1, 1, 7));
  l.fortschreiten(300);
  const std::vector<pt> achse = m.von(signalart::achse, "baum");
  for (size_t i = 0; i < achse.size(); ++i) {
    EXPECT_DOUBLE_EQ(achse[i].second * 100, std::round(achse[i].second * 100)) << achse[i].second;
    EXPECT_TRUE(i == 0 || achse[i] != achse[i - 1]) << achse[i].first;
    EXPECT_FALSE(achse[i].first > 31 && achse[i].first < 200) << achse[i].first;
  }
  EXPECT_NE(std::find(achse.begin(), achse.end(), pt(23, 0)), achse.end());
  EXPECT_EQ(achse.back(), pt(200, 0));
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

// Older Notepads save ANSI: such a file is read as Windows-1252, and said so.
TEST(modell_datei, eine_ansi_datei_wird_als_1252_gelesen_und_das_gesagt) {
  const ergebnis ansi =
      lesen("[modell]\nname = \"x\"\ntitel = \"Schranke f\xFCr \x80\"\n", "a.toml");
  ASSERT_TRUE(ansi.modell) << ansi.meldung;
  EXPECT_EQ(ansi.modell->titel, "Schranke für €");
  EXPECT_NE(ansi.hinweis.find("Codierung UTF-8"), std::string::npos) << ansi.hinweis;
  EXPECT_EQ(lesen("[modell]\nname = \"x\"\ntitel = \"für\"\n", "u.toml").hinweis, "");
}

TEST(modell_datei, jeder_fehler_nennt_datei_zeile_und_problem) {
  const std::string kopf = "[modell]\nname = \"x\"\n";
  const std::string achse =
      "[[achse]]\nname = \"a\"\nmotor = 1\nmin = 0\nmax = 10\ngeschwindigkeit = 5\n";
  const std::pair<std::string, std::string> faelle[] = {
      // What the TOML parser finds, in words that say what to change.
      {"[modell\nname = 1", "Zeile 1, Spalte 8: der Abschnittskopf ist nicht geschlossen"},
      {kopf + "titel = \"Schranke\n", "Zeile 3, Spalte 18: ein Text ist nicht geschlossen"},
      {kopf + "titel \"x\"\n", "Zeile 3, Spalte 7: nach dem Namen fehlt das ="},
      {kopf + "name = \"y\"\n", "'name' steht in diesem Abschnitt zweimal"},
      {kopf + "titel = Schranke\n", "Texte stehen in Anführungszeichen"},
      {kopf + achse + "start = 1,5\n", "mit Punkt (1.5 statt 1,5)"},
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
      // A misspelt required key is named before it is missed.
      {kopf + "[[achse]]\nname = \"a\"\nmotor = 1\ngeschwindigkiet = 50\n",
       "Zeile 6: [[achse]] Nr. 1: unbekannter Schlüssel 'geschwindigkiet' (meinten Sie "
       "'geschwindigkeit'?)"},
      {kopf + achse + "start = 9007199254740993\n",
       "Zeile 9: [[achse]] Nr. 1: 'start' ist zu groß"},
      {kopf + "[[lampe]]\nname = \"a\\u0001\"\nausgang = 1\n",
       "Zeile 4: [[lampe]] Nr. 1: 'name' enthält ein Steuerzeichen"},
      {kopf +
           [] {
             std::string lampen;
             for (int i = 0; i < 9; ++i)
               lampen += "[[lampe]]\nname = \"l" + std::to_string(i) + "\"\nausgang = 1\n";
             return lampen;
           }(),
       "Zeile 27: mehr als 8 [[lampe]] (die Box hat 8 Ausgänge)"},
      {kopf + "[[taster]]\nname = \"t\"\neingang = 1\ngedrueckt = [\n" +
           [] {
             std::string fenster;
             for (int i = 0; i < 1001; ++i)
               fenster.append("[")
                   .append(std::to_string(2 * i))
                   .append(", ")
                   .append(std::to_string(2 * i + 1))
                   .append("],\n");
             return fenster;
           }() +
           "]\n",
       "Zeile 1007: [[taster]] Nr. 1: 'gedrueckt' hat mehr als 1000 Einträge"},
      {kopf + std::string(datei_platz, '#'), "Zeile 3: hier wird die Datei länger als 1 MiB"},
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

// Lines of a file that hold `text`.
int zeilen_mit(const std::string &datei, const std::string &text) {
  std::ifstream f(datei);
  int n = 0;
  for (std::string zeile; std::getline(f, zeile);)
    n += zeile.find(text) != std::string::npos ? 1 : 0;
  return n;
}

TEST(modell_bericht, spur_bericht_und_zeitdiagramm) {
  const std::filesystem::path ordner = std::filesystem::temp_directory_path() /
                                       ("lumbrik_modell_" + std::to_string(std::random_device{}()));
  ASSERT_TRUE(std::filesystem::create_directory(ordner));
  const std::string stamm = (ordner / "lauf").string();
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
  EXPECT_NE(inhalt.str().find("\"beginn\": \"20"), std::string::npos);
  EXPECT_NE(inhalt.str().find("{\"zeit_ms\": 2000, \"regel\": \"anschlag\""), std::string::npos);
  // As the console reads it back behind the bridge; a report cut short is none.
  const std::optional<akte::bericht> gelesen = akte::bericht_lesen(inhalt.str());
  ASSERT_TRUE(gelesen);
  EXPECT_EQ(gelesen->modell, "schranke");
  EXPECT_EQ(gelesen->fehler_anzahl, 1u);
  ASSERT_EQ(gelesen->fehler.size(), 1u);
  EXPECT_EQ(gelesen->fehler[0].zeit_ms, 2000);
  EXPECT_EQ(gelesen->fehler[0].regel, "anschlag");
  EXPECT_FALSE(gelesen->fehler[0].text.empty());
  EXPECT_FALSE(akte::bericht_lesen(inhalt.str().substr(0, inhalt.str().size() / 2)));
  std::ifstream spur(stamm + ".csv");
  std::string zeile;
  std::getline(spur, zeile);
  EXPECT_EQ(zeile, "zeit_ms,art,name,wert");

  // Lanes named by the model's parts, the lamp on output 3 no motor, the
  // lanes of no part that never change in one line, ticks in round steps
  // (that it is well formed, test_modell_xml.cpp checks natively).
  const std::string svg = stamm + ".svg";
  EXPECT_EQ(zeilen_mit(svg, "class=\"spur\""), 8);
  const char *const gefaltet = ">ohne \xC3\x84nderung: A4\xE2\x80\x93"
                               "A8, E4\xE2\x80\x93"
                               "E8, AX, AY<";
  for (const char *teil : {">warnlampe (A3)<", ">baum (M1)<", ">unten (E1)<", ">baum (Position)<",
                           gefaltet, ">0,2 s<", ">1 s<"})
    EXPECT_EQ(zeilen_mit(svg, teil), 1) << teil;
  EXPECT_EQ(zeilen_mit(svg, "data-art=\"motor\" data-name=\"2\""), 0);
  EXPECT_GE(zeilen_mit(svg, "class=\"fehler\""), 1);
  // The title counts the faults, a fault's label is its rule's text.
  const char *const regeltext = ">der Motor dr\xC3\xBC"
                                "ckt den Baum gegen seinen Anschlag<";
  for (const char *teil : {">1 Fehler<", regeltext})
    EXPECT_EQ(zeilen_mit(svg, teil), 1) << teil;
  // Without the model (lumbrik-zeitdiagramm without --modell) by number.
  std::string meldung;
  ASSERT_TRUE(zeitdiagramm(stamm + ".csv", stamm + "_nummern.svg", meldung)) << meldung;
  EXPECT_EQ(zeilen_mit(stamm + "_nummern.svg", ">Ausgang 3<"), 1);
  // As a recording reads inputs: one read once, as active, is a lane; only
  // what stays at 0 is folded.
  std::ofstream(stamm + "_gelesen.csv")
      << "zeit_ms,art,name,wert\n0.000,ausgang,1,0\n0.000,eingang,1,1\n1200.501,eingang,3,1\n";
  ASSERT_TRUE(zeitdiagramm(stamm + "_gelesen.csv", stamm + "_gelesen.svg", meldung)) << meldung;
  for (const char *teil : {">Eingang 1<", ">Eingang 3<", ">ohne \xC3\x84nderung: A1<"})
    EXPECT_EQ(zeilen_mit(stamm + "_gelesen.svg", teil), 1) << teil;

  std::ofstream(stamm + "_kaputt.csv") << "zeit_ms,art,name,wert\n1,ausgang,1\n";
  EXPECT_FALSE(zeitdiagramm(stamm + "_kaputt.csv", stamm + "_kaputt.svg", meldung));
  EXPECT_NE(meldung.find("Zeile 2"), std::string::npos) << meldung;

  // Names with quotes and commas are quoted in the trace and read back (a
  // control character still gives well-formed XML: test_modell_xml.cpp).
  std::ofstream(stamm + "_namen.csv", std::ios::binary)
      << "zeit_ms,art,name,wert\n0,achse,\"\"\"a,b\",1\r\n"
      << "5,achse,x\x01y,2\n";
  ASSERT_TRUE(zeitdiagramm(stamm + "_namen.csv", stamm + "_namen.svg", meldung)) << meldung;
  EXPECT_EQ(zeilen_mit(stamm + "_namen.svg", "data-name=\"&quot;a,b\""), 1);
  EXPECT_EQ(csv_feld("\"a,b"), "\"\"\"a,b\"");
  // Windows removes no file that is still open.
  bericht.close();
  spur.close();
  std::filesystem::remove_all(ordner);
}

TEST(modell_bericht, namen_ordner_und_ein_zweiter_lauf) {
  const std::filesystem::path ordner = std::filesystem::temp_directory_path() /
                                       ("lumbrik_namen_" + std::to_string(std::random_device{}()));
  ASSERT_TRUE(std::filesystem::create_directory(ordner));
  const std::string o = ordner.string();
  {
    std::string meldung;
    aufzeichnung erster;
    ASSERT_TRUE(erster.oeffnen(o + "/lauf.json", meldung)) << meldung;
    erster.aenderung(7, signalart::eingang, "1", 1);

    // Another run with the same report is refused and leaves the first whole.
    aufzeichnung zweiter;
    EXPECT_FALSE(zweiter.oeffnen(o + "/lauf.json", meldung));
    EXPECT_NE(meldung.find("lauf.json wird schon geschrieben"), std::string::npos) << meldung;
    lauf l(beschreibung{}, &erster);
    EXPECT_EQ(erster.abschliessen(l, 10, ""), "");
    std::ifstream spur(o + "/lauf.csv", std::ios::binary);
    std::stringstream inhalt;
    inhalt << spur.rdbuf();
    EXPECT_EQ(inhalt.str(), "zeit_ms,art,name,wert\n7,eingang,1,1\n");

    // A report named like the diagram leaves it a name of its own.
    aufzeichnung svg;
    ASSERT_TRUE(svg.oeffnen(o + "/x.svg", meldung));
    EXPECT_NE(meldung.find("das Zeitdiagramm nach " + o + "/x.zeitdiagramm.svg"), std::string::npos)
        << meldung;
    EXPECT_EQ(svg.abschliessen(l, 10, ""), "");
    EXPECT_EQ(zeilen_mit(o + "/x.svg", "\"modell\""), 1);
    EXPECT_GE(zeilen_mit(o + "/x.zeitdiagramm.svg", "<svg"), 1);

    // A run named by its time gets a number when the name is taken.
    std::ofstream(o + "/t.json").put('x');
    std::ofstream(o + "/t_2.csv").put('x');
    akte::aufzeichnung neu;
    ASSERT_TRUE(neu.oeffnen_neu(o + "/t", meldung)) << meldung;
    EXPECT_EQ(neu.spur(), o + "/t_3.csv");

    // A folder is no report; why the diagram failed is said.
    aufzeichnung ordnerbericht;
    EXPECT_FALSE(ordnerbericht.oeffnen(o, meldung));
    EXPECT_NE(meldung.find("ist ein Ordner"), std::string::npos) << meldung;
    ASSERT_TRUE(std::filesystem::create_directory(o + "/y.svg"));
    aufzeichnung ohne_bild;
    ASSERT_TRUE(ohne_bild.oeffnen(o + "/y.json", meldung)) << meldung;
    EXPECT_NE(ohne_bild.abschliessen(l, 10, "").find("Zeitdiagramm: " + o + "/y.svg"),
              std::string::npos);
  }
  // Windows removes no file that is still open.
  std::filesystem::remove_all(ordner);
}

#ifndef _WIN32
// A full disk, as a limit on a file's size: the trace ends at the first
// failure, nothing is written after it, and the report says so.
TEST(modell_bericht, ein_schreibfehler_endet_die_spur_und_der_bericht_sagt_es) {
  const std::filesystem::path ordner = std::filesystem::temp_directory_path() /
                                       ("lumbrik_voll_" + std::to_string(std::random_device{}()));
  ASSERT_TRUE(std::filesystem::create_directory(ordner));
  const std::string stamm = (ordner / "voll").string();
  akte::aufzeichnung a;
  std::string meldung;
  ASSERT_TRUE(a.oeffnen(stamm + ".json", meldung)) << meldung;
  a.bericht_freigeben();
  std::string zeilen;
  for (int i = 0; i < 200; ++i)
    zeilen += std::to_string(i) + ".000,eingang,1," + std::to_string(i % 2) + "\n";
  const auto alt_signal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit alt{};
  getrlimit(RLIMIT_FSIZE, &alt);
  rlimit knapp = alt;
  knapp.rlim_cur = 8192;
  setrlimit(RLIMIT_FSIZE, &knapp);
  const bool erst = a.schreiben(zeilen), dann = a.schreiben(zeilen + zeilen + zeilen);
  const auto groesse = std::filesystem::file_size(stamm + ".csv");
  const bool danach = a.schreiben("9999.000,eingang,2,1\n");
  setrlimit(RLIMIT_FSIZE, &alt);
  std::signal(SIGXFSZ, alt_signal);
  EXPECT_TRUE(erst);
  EXPECT_FALSE(dann);
  EXPECT_FALSE(danach);
  EXPECT_EQ(std::filesystem::file_size(stamm + ".csv"), groesse);
  EXPECT_EQ(a.zwischenbericht(10, ""), "");
  EXPECT_EQ(zeilen_mit(stamm + ".json", "voll.csv lie\xC3\x9F sich nicht ganz schreiben"), 1);
  std::filesystem::remove_all(ordner);
}
#endif

} // namespace
