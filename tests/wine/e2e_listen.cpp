// The real DLL with number-or-list arguments: list texts in writable and in
// read-only memory, addresses that cannot be read, texts at a page's end.
#include "tests/wine/e2e.h"

#include <cstring>

namespace {

intptr_t adresse(const void *text) {
  return reinterpret_cast<intptr_t>(text);
}

// The output numbers einschalten/ausschalten passed on, in order.
std::vector<int32_t> geschaltete_ausgaenge() {
  std::vector<int32_t> nummern;
  for (const vendor_aufruf &a : vendor_aufrufe())
    if (a.funktion == sim_rbSetLampEx)
      nummern.push_back(a.argumente[1]);
  return nummern;
}

// Two committed pages; the second one is made inaccessible, so a text can
// end exactly where readable memory ends.
class seitenrand : public ::testing::Test {
protected:
  void SetUp() override {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    seite = info.dwPageSize;
    speicher = static_cast<char *>(
        VirtualAlloc(nullptr, 2 * seite, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(speicher, nullptr);
    DWORD alt = 0;
    ASSERT_TRUE(VirtualProtect(speicher + seite, seite, PAGE_NOACCESS, &alt));
    std::memset(speicher, 'x', seite);
  }
  void TearDown() override { VirtualFree(speicher, 0, MEM_RELEASE); }

  // Places `text` (without a zero byte) so its last byte is the page's last.
  char *am_ende(const char *text) {
    const size_t laenge = std::strlen(text);
    char *anfang = speicher + seite - laenge;
    std::memcpy(anfang, text, laenge); // NOLINT(bugprone-not-null-terminated-result): on purpose
    return anfang;
  }

  char *speicher = nullptr;
  size_t seite = 0;
};

TEST(listen, randfaelle_ueber_einschalten) {
  struct fall {
    const char *text;
    std::vector<int32_t> ausgaenge;
  };
  const fall faelle[] = {
      {"[5]", {5}},
      {"[1 2 3]", {1, 2, 3}},
      {"[ 1 2]", {1, 2}},
      {"[1 2 ]", {1, 2}},
      {"[-3 +4 007]", {-3, 4, 7}},
      {"[1  2]", {1}},
      {"[  1]", {}},
      {"[1 x 3]", {1}},
      {"[1 - 3]", {1}},
      {"[1,2]", {}},
      {"[]", {}},
      {"[ ]", {}},
      {"[1 2] 3", {1}},
      {"[5] ", {}},
      {"[1 2]x", {1, 2}},
      {"1 2", {}},
      {"", {}},
      {"[0x10]", {}},
      {"[1 2", {1}},
      {"[40000 -40000]", {40000, -40000}},
      {"[0000000000000000000000000001]", {1}},
  };
  for (const fall &f : faelle) {
    char text[64];
    std::strcpy(text, f.text);
    sim().zuruecksetzen();
    dll().einschalten(adresse(text));
    EXPECT_EQ(geschaltete_ausgaenge(), f.ausgaenge) << f.text;
    EXPECT_STREQ(text, f.text) << "the text is unchanged";
  }
}

TEST(listen, ausschalten_mit_stufe_in_der_reihenfolge_des_textes) {
  char text[] = "[1 4]";
  dll().t_proz1(2);
  dll().ausschalten(adresse(text));
  EXPECT_EQ(vendor_aufrufe(), (std::vector<vendor_aufruf>{{sim_rbSetLampEx, {0, 1, 0, 2}},
                                                          {sim_rbSetLampEx, {0, 4, 0, 2}}}));
}

// Inputs read only on an opened box; the opening is left out of the log.
class geoeffnet : public mit_boxen {
protected:
  void SetUp() override {
    mit_boxen::SetUp();
    dll().vorbereitung(0);
    basis = sim().protokoll_anzahl();
  }
  uint32_t basis = 0;
};

TEST_F(geoeffnet, schalter_liest_bis_zum_ersten_aktiven) {
  char text[] = "[1 2 3]";
  sim().eingang_setzen(2, 1);
  EXPECT_EQ(dll().schalter(adresse(text)), 1);
  EXPECT_EQ(vendor_aufrufe(basis),
            (std::vector<vendor_aufruf>{{sim_rbGetInput, {erster_handle, 1}},
                                        {sim_rbGetInput, {erster_handle, 2}}}));
  char ohne[] = "[1 3]";
  EXPECT_EQ(dll().schalter(adresse(ohne)), 0);
  char kaputt[] = "[2 x]";
  EXPECT_EQ(dll().schalter(adresse(kaputt)), 1) << "what was read before the bad token";
  char leer[] = "[]";
  EXPECT_EQ(dll().schalter(adresse(leer)), 0);
}

TEST_F(geoeffnet, texte_im_schreibgeschuetzten_speicher) {
  // A string constant, as a C host would pass it.
  dll().einschalten(adresse("[7 8]"));
  // And a page that is read-only by protection.
  char *seite = static_cast<char *>(VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(seite, nullptr);
  std::strcpy(seite, "[3 2 1]");
  DWORD alt = 0;
  ASSERT_TRUE(VirtualProtect(seite, 4096, PAGE_READONLY, &alt));
  dll().ausschalten(adresse(seite));
  sim().eingang_setzen(1, 1);
  EXPECT_EQ(dll().schalter(adresse(seite)), 1);
  EXPECT_EQ(geschaltete_ausgaenge(), (std::vector<int32_t>{7, 8, 3, 2, 1}));
  VirtualFree(seite, 0, MEM_RELEASE);
}

// A free region high in the address space, where nothing is mapped.
intptr_t unbelegte_adresse() {
  for (uintptr_t a = 0x7FFD0000; a > 0x10000000; a -= 0x10000) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<void *>(a), &info, sizeof info) != 0 &&
        info.State == MEM_FREE)
      return static_cast<intptr_t>(a);
  }
  return 0;
}

TEST(listen, unlesbare_adressen_sind_keine_liste) {
  void *reserviert = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
  void *waechter = VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD);
  const intptr_t frei = unbelegte_adresse();
  ASSERT_NE(frei, 0);
  const intptr_t adressen[] = {
      32769,     -32768, 65535, 40000, -40000, frei, adresse(reserviert), adresse(waechter),
      INTPTR_MIN};
  for (intptr_t a : adressen) {
    dll().einschalten(a);
    dll().ausschalten(a);
    EXPECT_EQ(dll().schalter(a), 0) << a;
  }
  EXPECT_TRUE(vendor_aufrufe().empty());
  VirtualFree(reserviert, 0, MEM_RELEASE);
  VirtualFree(waechter, 0, MEM_RELEASE);
}

#ifdef _WIN64
// Above 4 GiB, an address whose low 32 bits look like a number is still an
// address: the argument counts in its full width.
TEST(listen, adressen_ueber_vier_gib_zaehlen_in_voller_breite) {
  char *oben = nullptr;
  for (uintptr_t a = uintptr_t{1} << 32; oben == nullptr && a < (uintptr_t{1} << 40);
       a += uintptr_t{1} << 32)
    oben = static_cast<char *>(
        VirtualAlloc(reinterpret_cast<void *>(a), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(oben, nullptr);
  char *text = oben + 3; // the low 32 bits read 3
  std::memcpy(text, "[2 5]", 6);
  dll().einschalten(adresse(text));
  VirtualFree(oben, 0, MEM_RELEASE);
  // Unreadable now: not a list, and not the number 3 either.
  dll().einschalten(adresse(text));
  dll().ausschalten(adresse(text));
  EXPECT_EQ(geschaltete_ausgaenge(), (std::vector<int32_t>{2, 5}));
}
#endif

TEST_F(seitenrand, geschlossene_liste_endet_mit_der_seite) {
  dll().einschalten(adresse(am_ende("[1 2]")));
  EXPECT_EQ(geschaltete_ausgaenge(), (std::vector<int32_t>{1, 2}));
}

TEST_F(seitenrand, offene_liste_endet_am_unlesbaren_speicher) {
  dll().einschalten(adresse(am_ende("[4 5 6")));
  EXPECT_EQ(geschaltete_ausgaenge(), (std::vector<int32_t>{4, 5}));
  EXPECT_EQ(dll().schalter(adresse(am_ende("[1 2 3 "))), 0);
}

TEST_F(seitenrand, null_byte_als_letztes_byte_der_seite) {
  char *text = am_ende("[6 7]?");
  text[5] = '\0';
  dll().einschalten(adresse(text));
  EXPECT_EQ(geschaltete_ausgaenge(), (std::vector<int32_t>{6, 7}));
}

TEST_F(seitenrand, nur_die_klammer_vor_der_grenze) {
  dll().einschalten(adresse(am_ende("[")));
  EXPECT_TRUE(vendor_aufrufe().empty());
}

} // namespace
