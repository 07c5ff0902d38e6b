// What only the native build checks of a run's record: the timing diagram is
// well-formed XML, as this machine's xmllint reads it. (Under Wine the model
// tests check the DLL's diagrams with xmllint as well.)
#include "simulator/modell/aufzeichnung.h"
#include "simulator/modell/lauf.h"
#include "aufzeichnung/zeitdiagramm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

using namespace modell;
using akte::zeitdiagramm;

TEST(modell_bericht, zeitdiagramm_ist_wohlgeformt) {
  const std::filesystem::path ordner = std::filesystem::temp_directory_path() /
                                       ("lumbrik_xml_" + std::to_string(std::random_device{}()));
  ASSERT_TRUE(std::filesystem::create_directory(ordner));
  const std::string stamm = (ordner / "lauf").string();
  {
    aufzeichnung a;
    std::string meldung;
    ASSERT_TRUE(a.oeffnen(stamm + ".json", meldung)) << meldung;
    ergebnis e = lesen(eingebaut("schranke"), "schranke");
    ASSERT_TRUE(e.modell) << e.meldung;
    lauf l(*e.modell, &a);
    l.starten(0);
    // The arm rises with its lamp on, into its stop: a fault too.
    box_werte b;
    b.an[0] = b.an[2] = 1;
    b.stufe[0] = b.stufe[2] = 7;
    l.abgleichen(0, b);
    l.fortschreiten(5000);
    a.abschliessen(l, l.jetzt(), "");
  }
  EXPECT_EQ(std::system(("xmllint --noout " + stamm + ".svg").c_str()), 0);

  // A control character in a name, from any trace, is drawn as something XML can hold.
  std::ofstream(stamm + "_namen.csv") << "zeit_ms,art,name,wert\n5,achse,x\x01y,2\n";
  std::string meldung;
  ASSERT_TRUE(zeitdiagramm(stamm + "_namen.csv", stamm + "_namen.svg", meldung)) << meldung;
  EXPECT_EQ(std::system(("xmllint --noout " + stamm + "_namen.svg").c_str()), 0);
  std::filesystem::remove_all(ordner);
}

// A replay's diagram: the recording faintly behind the outputs, an input the
// recording read late hatched until then, the title with the faults; an SVG
// that xmllint reads and rsvg-convert (which renders the package's PNGs) draws.
TEST(modell_bericht, zeitdiagramm_einer_wiedergabe) {
  const std::filesystem::path ordner = std::filesystem::temp_directory_path() /
                                       ("lumbrik_wg_" + std::to_string(std::random_device{}()));
  ASSERT_TRUE(std::filesystem::create_directory(ordner));
  const std::string stamm = (ordner / "x").string();
  std::ofstream(stamm + "_aufnahme.csv") << "zeit_ms,art,name,wert\n0.000,ausgang,3,0\n"
                                            "0.100,eingang,1,1\n1200.500,ausgang,3,7\n"
                                            "3900.000,eingang,2,1\n6000.000,ausgang,3,0\n";
  std::ofstream(stamm + ".csv") << "zeit_ms,art,name,wert\n0,ausgang,3,0\n0,eingang,1,1\n"
                                   "0,eingang,2,1\n1210,fehler,mitschnitt,1\n2210,ausgang,3,7\n"
                                   "6010,ausgang,3,0\n";
  akte::bericht kopf;
  kopf.modell = "mitschnitt";
  kopf.beginn = "2026-12-11T15:42:07";
  kopf.laufzeit_ms = 6500;
  kopf.fehler_anzahl = 1;
  kopf.aufnahme = akte::bericht::aufnahme_angaben{stamm + "_aufnahme.csv", 10};
  kopf.fehler.push_back({1210, "mitschnitt",
                         "Ausgang 3 (Motor 2 vor) war in der Aufnahme bei 1,20 s an (Stufe 7), "
                         "jetzt aus"});
  std::string meldung;
  ASSERT_TRUE(zeitdiagramm(stamm + ".csv", stamm + ".svg", meldung, nullptr, &kopf)) << meldung;
  std::ifstream ein(stamm + ".svg");
  const std::string svg((std::istreambuf_iterator<char>(ein)), std::istreambuf_iterator<char>());
  const auto lane = [&](const std::string &name) {
    const size_t von = svg.find("data-name=\"" + name + "\"");
    return von == std::string::npos ? "" : svg.substr(von, svg.find("</g>", von) - von);
  };
  EXPECT_NE(lane("3").find("class=\"aufnahme\""), std::string::npos) << svg;
  EXPECT_NE(lane("2").find("class=\"ungelesen\""), std::string::npos);
  EXPECT_EQ(lane("1").find("class=\"ungelesen\""), std::string::npos);
  for (const char *teil :
       {"11.12.2026, 15:42 Uhr", ">1 Fehler<", "<title>mitschnitt bei 1,21 s: Ausgang 3"})
    EXPECT_NE(svg.find(teil), std::string::npos) << teil;
  EXPECT_EQ(std::system(("xmllint --noout " + stamm + ".svg").c_str()), 0);
  EXPECT_EQ(std::system(("rsvg-convert -o " + stamm + ".png " + stamm + ".svg").c_str()), 0);
  std::filesystem::remove_all(ordner);
}

} // namespace
