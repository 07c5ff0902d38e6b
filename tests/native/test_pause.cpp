// pause with its Escape abort and gib_fehler, on a scripted tick counter and
// keyboard queue.
#include "tests/native/umgebung.h"

#include "tests/native/besondere_dauern.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

constexpr UINT ausserhalb = 0x0200; // a mouse message
constexpr WPARAM esc = 27;

class pausen : public frisch {
protected:
  void SetUp() override {
    frisch::SetUp();
    lumbrik::vorbereitung(0);
    doubles::ticks(1000, 1);
  }
  // Calls of allesaus, as the box saw them.
  size_t motoren_aus() {
    size_t n = 0;
    for (const aufruf &a : vendor_aufrufe())
      n += a.funktion == sim_rbSetMotors && a.argumente[1] == 0 ? 1u : 0u;
    return n;
  }
  // Elapsed milliseconds when pause returned: the last tick minus the start.
  DWORD gedauert() { return static_cast<DWORD>(doubles::tick_abfragen() - 1); }
};

TEST_F(pausen, endet_beim_ersten_durchgang_ueber_der_grenze) {
  lumbrik::pause(10);
  EXPECT_EQ(gedauert(), 1001u) << "more than 1000 ms";
  doubles::zuruecksetzen();
  doubles::ticks(0, 1);
  lumbrik::pause(0.5);
  EXPECT_EQ(gedauert(), 51u);
}

TEST_F(pausen, jeder_durchgang_fragt_erst_die_tastatur) {
  lumbrik::pause(0.5);
  // One look at the queue per pass, the start tick does not count.
  EXPECT_EQ(doubles::abfragen().size(), static_cast<size_t>(doubles::tick_abfragen() - 1));
  for (const doubles::abfrage &a : doubles::abfragen()) {
    EXPECT_EQ(a.fenster, nullptr);
    EXPECT_EQ(a.erste, WM_KEYFIRST);
    EXPECT_EQ(a.letzte, 0x0108u);
    EXPECT_EQ(a.flags, PM_REMOVE | PM_NOYIELD);
  }
}

TEST_F(pausen, schon_abgelaufene_zeit_schaut_trotzdem_einmal_nach) {
  doubles::ticks(0, 100000);
  doubles::nachricht(WM_KEYDOWN, esc);
  lumbrik::pause(1);
  EXPECT_EQ(lumbrik::gib_fehler(), 1);
}

TEST_F(pausen, null_negativ_und_nan_kehren_sofort_zurueck) {
  doubles::nachricht(WM_KEYDOWN, esc);
  for (double dauer : {0.0, -0.0, -1.0, std::nan(""), -std::numeric_limits<double>::infinity()})
    lumbrik::pause(dauer);
  EXPECT_EQ(doubles::tick_abfragen(), 0);
  EXPECT_EQ(doubles::warteschlange().size(), 1u) << "the Escape stays in the queue";
  EXPECT_EQ(lumbrik::fehler, 0);
}

TEST_F(pausen, wartendes_escape_bricht_im_ersten_durchgang_ab) {
  doubles::nachricht(WM_KEYDOWN, esc);
  lumbrik::pause(20);
  EXPECT_EQ(doubles::abfragen().size(), 1u);
  EXPECT_EQ(lumbrik::fehler, 1);
  EXPECT_EQ(vendor_aufrufe().back(),
            (aufruf{sim_rbSetMotors, {static_cast<int32_t>(SIM_ERSTES_HANDLE), 0}}));
}

TEST_F(pausen, escape_nach_anderen_tasten_wird_eine_nach_der_anderen_gefunden) {
  doubles::nachricht(WM_KEYDOWN, 'A');
  doubles::nachricht(WM_CHAR, 'a');
  doubles::nachricht(WM_KEYUP, 'A');
  doubles::nachricht(WM_KEYDOWN, esc);
  doubles::nachricht(WM_KEYUP, esc);
  lumbrik::pause(100);
  EXPECT_EQ(doubles::abfragen().size(), 4u);
  EXPECT_EQ(lumbrik::fehler, 1);
  ASSERT_EQ(doubles::warteschlange().size(), 1u) << "the key-up of Escape is left behind";
  EXPECT_EQ(doubles::warteschlange().front().message, WM_KEYUP);
}

TEST_F(pausen, nur_ein_tastendruck_zaehlt) {
  doubles::nachricht(WM_KEYUP, esc);
  doubles::nachricht(WM_CHAR, esc);
  doubles::nachricht(WM_SYSKEYDOWN, esc);
  lumbrik::pause(0.5);
  EXPECT_EQ(lumbrik::fehler, 0);
  EXPECT_TRUE(doubles::warteschlange().empty()) << "taken and dropped";
  EXPECT_EQ(motoren_aus(), 0u);
}

TEST_F(pausen, nachrichten_ausserhalb_der_tastatur_bleiben_liegen) {
  doubles::nachricht(ausserhalb, esc);
  doubles::nachricht(0x0109, esc);
  lumbrik::pause(0.5);
  EXPECT_EQ(doubles::warteschlange().size(), 2u);
  EXPECT_EQ(lumbrik::fehler, 0);
}

TEST_F(pausen, escape_auch_als_vkkeyscan_wert_mit_umschaltbyte) {
  doubles::vk_escape(static_cast<SHORT>(0x011B)); // shift byte 1
  doubles::nachricht(WM_KEYDOWN, 0x011B);
  lumbrik::pause(5);
  EXPECT_EQ(lumbrik::gib_fehler(), 1);

  doubles::nachricht(WM_KEYDOWN, 0x001B);
  lumbrik::pause(5);
  EXPECT_EQ(lumbrik::gib_fehler(), 1) << "27 matches as well";
}

TEST_F(pausen, vkkeyscan_wert_wird_vorzeichenrichtig_verglichen) {
  doubles::vk_escape(static_cast<SHORT>(-1));
  doubles::nachricht(WM_KEYDOWN, 0xFFFF);
  lumbrik::pause(0.5);
  EXPECT_EQ(lumbrik::gib_fehler(), 0) << "0xFFFF is not -1 widened";
  doubles::nachricht(WM_KEYDOWN, static_cast<WPARAM>(0xFFFFFFFFu));
  lumbrik::pause(0.5);
  EXPECT_EQ(lumbrik::gib_fehler(), 1);
}

TEST_F(pausen, ueberlauf_des_zaehlers_verkuerzt_nichts) {
  doubles::ticks(0xFFFFFFF0u, 1);
  lumbrik::pause(0.5);
  EXPECT_EQ(gedauert(), 51u);
}

TEST_F(pausen, riesige_und_unendliche_pausen_enden_nur_mit_escape) {
  for (double dauer : {std::numeric_limits<double>::infinity(), 42949672.95, 1e300}) {
    doubles::zuruecksetzen();
    // Steps of 2^32 - 1: the elapsed time reaches its largest value,
    // 4,294,967,295 ms, in the very first pass, and stays near it.
    doubles::ticks(0, 0xFFFFFFFFu);
    doubles::bei_tick([](DWORD) {
      if (doubles::tick_abfragen() == 50)
        doubles::nachricht(WM_KEYDOWN, esc);
    });
    lumbrik::pause(dauer);
    EXPECT_EQ(doubles::tick_abfragen(), 50) << dauer;
    EXPECT_EQ(lumbrik::gib_fehler(), 1);
  }
}

TEST_F(pausen, grenze_knapp_unter_dem_zaehlerende_laeuft_ab) {
  doubles::ticks(0, 4294967201u);
  lumbrik::pause(42949672); // exactly 4,294,967,200 ms
  EXPECT_EQ(doubles::tick_abfragen(), 2);
  EXPECT_EQ(lumbrik::fehler, 0);
}

TEST_F(pausen, fehler_bleibt_bis_gib_fehler_ihn_holt) {
  EXPECT_EQ(lumbrik::gib_fehler(), 0);
  doubles::nachricht(WM_KEYDOWN, esc);
  lumbrik::pause(1);
  doubles::nachricht(WM_KEYDOWN, esc);
  lumbrik::pause(1);
  lumbrik::pause(1); // runs to its end and does not clear the flag
  lumbrik::vorbereitung(0);
  EXPECT_EQ(motoren_aus(), 2u);
  EXPECT_EQ(lumbrik::gib_fehler(), 1);
  EXPECT_EQ(lumbrik::gib_fehler(), 0);
}

// Hosts such as Delphi programs run with floating-point exceptions unmasked:
// no duration may trap, and the host's control words and flags stay as they were.
TEST_F(pausen, faengt_bei_offenen_gleitkomma_ausnahmen_nichts_ein) {
  for (double dauer : besondere_dauern) {
    doubles::zuruecksetzen();
    doubles::ticks(0, 1000);
    // An Escape ends the endless ones.
    doubles::nachricht(WM_KEYDOWN, esc);
    std::feclearexcept(FE_ALL_EXCEPT);
    std::fenv_t vorher{};
    std::fegetenv(&vorher);
    feenableexcept(FE_ALL_EXCEPT);
    std::fenv_t offen{};
    std::fegetenv(&offen);
    lumbrik::pause(dauer);
    std::fenv_t nachher{};
    std::fegetenv(&nachher);
    const int flaggen = std::fetestexcept(FE_ALL_EXCEPT);
    std::fesetenv(&vorher);
    EXPECT_EQ(flaggen, 0) << dauer;
    EXPECT_EQ(nachher.__control_word, offen.__control_word) << dauer;
    EXPECT_EQ(nachher.__mxcsr, offen.__mxcsr) << dauer;
    lumbrik::gib_fehler();
  }
}

} // namespace
