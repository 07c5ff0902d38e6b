// The number-or-list rule and the list walk, checked against the plain
// in-place walk of liste_orakel and against what a host expects.
#include "tests/doubles/lesbar.h"
#include "src/liste.h"
#include "tests/doubles/liste_orakel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

struct gesammelt {
  lumbrik::weg genommen;
  std::vector<int32_t> zahlen;
};

void sammeln(int32_t zahl, void *kontext) {
  static_cast<std::vector<int32_t> *>(kontext)->push_back(zahl);
}

gesammelt gehen(intptr_t wert) {
  gesammelt g{};
  g.genommen = lumbrik::zahl_oder_liste(wert, sammeln, &g.zahlen);
  return g;
}

gesammelt gehen(const char *text) {
  return gehen(reinterpret_cast<intptr_t>(text));
}

lumbrik::weg als_weg(orakel::weg w) {
  return static_cast<lumbrik::weg>(static_cast<int>(w));
}

// Runs both walks on `text` and checks they agree and leave it unchanged.
void wie_das_orakel(const std::string &text) {
  std::vector<char> fuer_orakel(text.begin(), text.end());
  fuer_orakel.push_back('\0');
  const orakel::ergebnis erwartet =
      orakel::dispatch(reinterpret_cast<intptr_t>(fuer_orakel.data()), fuer_orakel.data());

  const gesammelt g = gehen(text.c_str());
  EXPECT_EQ(g.genommen, als_weg(erwartet.genommen)) << "text: " << text;
  EXPECT_EQ(g.zahlen, erwartet.zahlen) << "text: " << text;
  EXPECT_EQ(std::string(fuer_orakel.data()), text) << "the oracle must restore the text";
}

// All memory readable again before every test.
class zahl_oder_liste : public ::testing::Test {
protected:
  void SetUp() override { doubles::alles_lesbar(); }
};

TEST_F(zahl_oder_liste, zahlen_im_bereich_gehen_direkt_an_die_aktion) {
  for (intptr_t wert : {5, 0, 32768, -32767, 1, -1}) {
    const gesammelt g = gehen(wert);
    EXPECT_EQ(g.genommen, lumbrik::weg::zahl);
    EXPECT_EQ(g.zahlen, std::vector<int32_t>{static_cast<int32_t>(wert)});
  }
}

TEST_F(zahl_oder_liste, werte_knapp_ausserhalb_sind_adressen) {
  // Nothing counts as readable, so the addresses are never touched.
  doubles::nichts_lesbar();
  for (intptr_t wert : {intptr_t{32769}, intptr_t{-32768}, intptr_t{65535}, intptr_t{-40000}}) {
    const gesammelt g = gehen(wert);
    EXPECT_EQ(g.genommen, lumbrik::weg::keine_liste) << wert;
    EXPECT_TRUE(g.zahlen.empty());
  }
}

TEST_F(zahl_oder_liste, listen_wie_ein_host_sie_schreibt) {
  struct fall {
    const char *text;
    lumbrik::weg genommen;
    std::vector<int32_t> zahlen;
  };
  using w = lumbrik::weg;
  const fall faelle[] = {
      {"[5]", w::liste_fertig, {5}},
      {"[1 2 3]", w::liste_fertig, {1, 2, 3}},
      {"[ 1 2]", w::liste_fertig, {1, 2}},
      {"[1 2 ]", w::liste_fertig, {1, 2}},
      {"[-3 +4 007]", w::liste_fertig, {-3, 4, 7}},
      {"[1  2]", w::liste_abgebrochen, {1}},
      {"[  1]", w::liste_abgebrochen, {}},
      {"[1 x 3]", w::liste_abgebrochen, {1}},
      {"[1 - 3]", w::liste_abgebrochen, {1}},
      {"[1,2]", w::liste_abgebrochen, {}},
      {"[]", w::liste_abgebrochen, {}},
      {"[ ]", w::liste_abgebrochen, {}},
      {"[1 2] 3", w::liste_abgebrochen, {1}},
      {"[5] ", w::liste_abgebrochen, {}},
      {"[1 2]x", w::liste_fertig, {1, 2}},
      {"1 2 3]", w::keine_liste, {}},
      {"", w::keine_liste, {}},
      {"[0x10]", w::liste_abgebrochen, {}},
      {"[1\t2]", w::liste_abgebrochen, {}},
      {"[2147483647 -2147483648]", w::liste_fertig, {INT32_MAX, INT32_MIN}},
      {"[2147483648]", w::liste_abgebrochen, {}},
      {"[-2147483649]", w::liste_abgebrochen, {}},
      {"[0000000000000000000000000001]", w::liste_fertig, {1}},
      {"[40000 -40000]", w::liste_fertig, {40000, -40000}},
      {"[1 2", w::liste_abgebrochen, {1}},
      {"[1 2 ", w::liste_abgebrochen, {1, 2}},
      {"[", w::liste_abgebrochen, {}},
      {"[[1]", w::liste_abgebrochen, {}},
  };
  for (const fall &f : faelle) {
    const std::string vorher = f.text;
    const gesammelt g = gehen(f.text);
    EXPECT_EQ(g.genommen, f.genommen) << f.text;
    EXPECT_EQ(g.zahlen, f.zahlen) << f.text;
    EXPECT_EQ(vorher, f.text);
    wie_das_orakel(f.text);
  }
}

TEST_F(zahl_oder_liste, zweihundert_ziffern_sind_keine_zahl) {
  const std::string text = "[" + std::string(200, '9') + "]";
  EXPECT_EQ(gehen(text.c_str()).genommen, lumbrik::weg::liste_abgebrochen);
  const std::string nullen = "[" + std::string(200, '0') + "12 3]";
  EXPECT_EQ(gehen(nullen.c_str()).zahlen, (std::vector<int32_t>{12, 3}));
}

TEST_F(zahl_oder_liste, konstanter_text_wird_nur_gelesen) {
  // String literals live in read-only pages; writing would crash the test.
  static const char *const konstant = "[7 8 9]";
  EXPECT_EQ(gehen(konstant).zahlen, (std::vector<int32_t>{7, 8, 9}));
}

// Texts placed at the very end of the readable memory, without a zero byte
// behind them: the walk must stop there (the sanitizer would see it read on).
class am_rand : public zahl_oder_liste {
protected:
  gesammelt ohne_null(const std::string &text, size_t stueck) {
    puffer.assign(text.begin(), text.end());
    doubles::lesbar_bis(puffer.data() + puffer.size(), stueck);
    return gehen(puffer.data());
  }
  std::vector<char> puffer;
};

TEST_F(am_rand, geschlossene_liste_bis_zum_letzten_lesbaren_byte) {
  for (size_t stueck : {size_t{1}, size_t{2}, size_t{3}, size_t{4096}}) {
    const gesammelt g = ohne_null("[1 2]", stueck);
    EXPECT_EQ(g.genommen, lumbrik::weg::liste_fertig) << stueck;
    EXPECT_EQ(g.zahlen, (std::vector<int32_t>{1, 2}));
  }
}

TEST_F(am_rand, unlesbarer_rest_endet_wie_eine_offene_liste) {
  const gesammelt g = ohne_null("[1 2 3", 2);
  EXPECT_EQ(g.genommen, lumbrik::weg::liste_abgebrochen);
  EXPECT_EQ(g.zahlen, (std::vector<int32_t>{1, 2}));
}

TEST_F(am_rand, unlesbarer_anfang_ist_keine_liste) {
  puffer = {'[', '1', ']', '\0'};
  doubles::lesbar_bis(puffer.data(), 4096);
  const gesammelt g = gehen(puffer.data());
  EXPECT_EQ(g.genommen, lumbrik::weg::keine_liste);
  EXPECT_TRUE(g.zahlen.empty());
}

TEST_F(am_rand, nur_die_klammer_lesbar) {
  const gesammelt g = ohne_null("[", 1);
  EXPECT_EQ(g.genommen, lumbrik::weg::liste_abgebrochen);
}

// Many random texts over the characters that matter to the walk.
TEST_F(zahl_oder_liste, zufaellige_texte_wie_das_orakel) {
  std::mt19937 zufall(20261208);
  const char zeichen[] = "[] +-0123456789x,\t";
  for (int runde = 0; runde < 20000; ++runde) {
    std::string text = "[";
    const size_t laenge = zufall() % 16;
    for (size_t i = 0; i < laenge; ++i)
      text += zeichen[zufall() % (sizeof zeichen - 1)];
    wie_das_orakel(text);
  }
}

} // namespace
