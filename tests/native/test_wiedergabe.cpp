// A recording played back (simulator/modell/wiedergabe): what the reads
// answer, and which outputs the host sets off the recording.
#include "simulator/modell/wiedergabe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

namespace {

using modell::wiedergabe;

std::string aufnahme(const std::string &name, const std::string &text) {
  std::string pfad = (std::filesystem::temp_directory_path() / name).string();
  std::ofstream(pfad, std::ios::binary) << text;
  return pfad;
}

TEST(wiedergabe, folgt_den_eingaengen_und_meldet_jede_abweichung_einmal) {
  wiedergabe w;
  std::string meldung;
  ASSERT_TRUE(w.laden(aufnahme("wiedergabe_gut.csv", "zeit_ms,art,name,wert\r\n"
                                                     "0.000,ausgang,3,0\r\n"
                                                     "500.500,eingang,2,1\r\n"
                                                     "1000.000,ausgang,3,7\r\n"
                                                     "2000.250,eingang,2,0\r\n"
                                                     "3000.000,ausgang,3,0\r\n"
                                                     "4000.000,ausgang,1,4\r\n"
                                                     "4100.000,fehler,anschlag,1\r\n"),
                      meldung))
      << meldung;
  // Before its first read an input holds what that read saw; unread ones
  // keep the box's value. Times count from the host's first call (t = 100).
  EXPECT_EQ(w.wert(wiedergabe::eingang, 2, 0, -9), 1);
  w.beginnen(100);
  EXPECT_EQ(w.wert(wiedergabe::eingang, 2, 100 + 2000, -9), 1);
  EXPECT_EQ(w.wert(wiedergabe::eingang, 2, 100 + 2001, -9), 0);
  EXPECT_EQ(w.wert(wiedergabe::eingang, 1, 100 + 2001, -9), -9);

  std::vector<std::tuple<int64_t, std::string, int32_t, int32_t>> gemeldet;
  const wiedergabe::melder m = [&](const wiedergabe::abweichung &a) {
    gemeldet.emplace_back(a.zeit, a.signal, a.aufgezeichnet, a.jetzt);
  };
  std::array<int32_t, SIM_AUSGAENGE> a{};
  a[2] = 7; // within the window: as recorded
  w.abgleichen(100 + 1050, a, m);
  a[2] = 0; // 300 ms early: at once
  w.abgleichen(100 + 2700, a, m);
  a[4] = 5; // never recorded
  w.abgleichen(100 + 3500, a, m);
  // Output 1's change at 4000 is never made: at the run's end.
  w.beenden(100 + 3900, m);
  const decltype(gemeldet) erwartet = {{100 + 2700, "Ausgang 3", 7, 0},
                                       {100 + 3500, "Ausgang 5", 0, 5},
                                       {100 + 4000, "Ausgang 1", 4, 0}};
  EXPECT_EQ(gemeldet, erwartet);
  EXPECT_EQ(w.anzahl(), 3u);
  // Said as it can be checked against the recording: its time, on or off, the level.
  const std::string text = w.text({100 + 2700, "Ausgang 3", 7, 0}, nullptr);
  for (const char *teil :
       {"Ausgang 3 (Motor 2 vor)", "in der Aufnahme bei 2,70 s an (Stufe 7)", "jetzt aus"})
    EXPECT_NE(text.find(teil), std::string::npos) << text;

  EXPECT_FALSE(w.laden(
      aufnahme("wiedergabe_schlecht.csv", "zeit_ms,art,name,wert\n0,ausgang,x,1\n"), meldung));
  EXPECT_NE(meldung.find("wiedergabe_schlecht.csv, Zeile 2"), std::string::npos) << meldung;
}

} // namespace
