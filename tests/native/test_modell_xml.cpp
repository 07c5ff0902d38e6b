// What only the native build checks of a run's record: the timing diagram is
// well-formed XML, as this machine's xmllint reads it. (Under Wine the model
// tests check the DLL's diagrams with xmllint as well.)
#include "simulator/modell/aufzeichnung.h"
#include "simulator/modell/lauf.h"
#include "simulator/modell/zeitdiagramm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using namespace modell;

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

} // namespace
