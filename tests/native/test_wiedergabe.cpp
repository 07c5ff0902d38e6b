// A recording played back (simulator/modell/wiedergabe): what the reads
// answer, and which outputs the host sets off the recording.
#include "aufzeichnung/wiedergabe.h"
#include "simulator/modell/anbindung.h"
#include "aufzeichnung/zeitdiagramm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

namespace {

using akte::wiedergabe;

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
  EXPECT_EQ(w.wert(akte::art::eingang, 2, 0, -9), 1);
  w.beginnen(100);
  EXPECT_EQ(w.wert(akte::art::eingang, 2, 100 + 2000, -9), 1);
  EXPECT_EQ(w.wert(akte::art::eingang, 2, 100 + 2001, -9), 0);
  EXPECT_EQ(w.wert(akte::art::eingang, 1, 100 + 2001, -9), -9);

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
  const std::string text = abweichung_als_text({100 + 2700, "Ausgang 3", 7, 0}, nullptr, w.null());
  for (const char *teil :
       {"Ausgang 3 (Motor 2 vor)", "in der Aufnahme bei 2,70 s an (Stufe 7)", "jetzt aus"})
    EXPECT_NE(text.find(teil), std::string::npos) << text;

  EXPECT_FALSE(w.laden(
      aufnahme("wiedergabe_schlecht.csv", "zeit_ms,art,name,wert\n0,ausgang,x,1\n"), meldung));
  EXPECT_NE(meldung.find("wiedergabe_schlecht.csv, Zeile 2"), std::string::npos) << meldung;
}

// One change made with another level is one divergence, at its recorded
// time; the list comes in time order; a window still open at the count is
// closed by it; tolerance 0 still allows the host clock's millisecond.
TEST(wiedergabe, urteilt_einmal_in_zeitfolge_und_schliesst_vor_der_anzahl) {
  wiedergabe w;
  std::string meldung;
  ASSERT_TRUE(w.laden(aufnahme("wiedergabe_folge.csv", "zeit_ms,art,name,wert\n"
                                                       "0.000,ausgang,2,0\n"
                                                       "1000.400,ausgang,1,7\n"
                                                       "4906.000,ausgang,2,7\n"
                                                       "6000.000,ausgang,3,7\n"),
                      meldung))
      << meldung;
  std::vector<std::pair<int64_t, std::string>> gemeldet;
  const wiedergabe::melder m = [&](const wiedergabe::abweichung &a) {
    gemeldet.emplace_back(a.zeit, a.signal);
  };
  w.toleranz_setzen(0);
  w.beginnen(0);
  std::array<int32_t, SIM_AUSGAENGE> a{};
  a[0] = 7; // 0.4 ms before its recorded time: within the host's millisecond
  w.abgleichen(1000, a, m);
  a[1] = 5; // the recorded change, made with another level
  w.abgleichen(4906, a, m);
  a[4] = 3; // never recorded, after output 2's change
  w.abgleichen(4908, a, m);
  EXPECT_EQ(w.anzahl(), 2u);
  // Output 3's change at 6000 is due but not made: the count closes it.
  w.beenden(5990, m);
  const decltype(gemeldet) erwartet = {
      {4906, "Ausgang 2"}, {4908, "Ausgang 5"}, {6000, "Ausgang 3"}};
  EXPECT_EQ(gemeldet, erwartet);
  EXPECT_EQ(w.anzahl(), 3u);
  w.beenden(7000, m);
  EXPECT_EQ(w.anzahl(), 3u);
}

// What cannot be replayed is refused, naming the line.
TEST(wiedergabe, weist_spuren_ab_die_sie_nicht_abspielen_kann) {
  const std::pair<const char *, const char *> faelle[] = {
      {"", "leer"},
      {"0,ausgang,1,0\n", "Zeile 1"},
      {"zeit_ms,art,name,wert\n10000000000000000,ausgang,1,0\n", "Zeile 2"},
      {"zeit_ms,art,name,wert\n1e300,ausgang,1,0\n", "Zeile 2"},
      {"zeit_ms,art,name,wert\n2000,eingang,1,1\n1000,eingang,1,0\n", "Zeile 3"},
      {"zeit_ms,art,name,wert\n0,ausgang,1,0,7\n", "Zeile 2"},
      {"zeit_ms,art,name,wert\n0,Ausgang,1,7\n", "Zeile 2"},
      {"zeit_ms,art,name,wert\n0,ausgang,1,0.5\n", "Zeile 2"},
  };
  for (const auto &[text, zeile] : faelle) {
    wiedergabe w;
    std::string meldung;
    EXPECT_FALSE(w.laden(aufnahme("wiedergabe_falsch.csv", text), meldung)) << text;
    EXPECT_NE(meldung.find(zeile), std::string::npos) << text << ": " << meldung;
  }
  wiedergabe w;
  std::string meldung;
  const std::string lang = "zeit_ms,art,name,wert\n0,fehler,\"" + std::string(5000, 'x') + "\",1\n";
  EXPECT_FALSE(w.laden(aufnahme("wiedergabe_lang.csv", lang), meldung));
  EXPECT_NE(meldung.find("Zeile 2"), std::string::npos) << meldung;
}

// The diagram reads the trace as replay does: a time near a year is drawn
// in its column, one beyond is refused, as is an empty file.
TEST(wiedergabe, das_zeitdiagramm_liest_mit_demselben_leser) {
  std::string meldung;
  const std::string bild = aufnahme("wiedergabe_bild.svg", "");
  EXPECT_TRUE(akte::zeitdiagramm(aufnahme("wiedergabe_jahr.csv", "zeit_ms,art,name,wert\n"
                                                                 "0,ausgang,1,0\n"
                                                                 "31000000000,ausgang,1,7\n"),
                                 bild, meldung, nullptr))
      << meldung;
  EXPECT_FALSE(
      akte::zeitdiagramm(aufnahme("wiedergabe_riesig.csv", "zeit_ms,art,name,wert\n"
                                                           "10000000000000000,ausgang,1,0\n"),
                         bild, meldung, nullptr));
  EXPECT_NE(meldung.find("Zeile 2"), std::string::npos) << meldung;
  EXPECT_FALSE(akte::zeitdiagramm(aufnahme("wiedergabe_leer.csv", ""), bild, meldung, nullptr));
  EXPECT_NE(meldung.find("leer"), std::string::npos) << meldung;
}

} // namespace
