// umFish40.DLL, the recorder: it stands where the vendor's library stands,
// loads the real one from the folder echt\ beside itself, passes each of the
// eight calls on unchanged and records what they show in the trace format of
// the simulator's reports (zeit_ms,art,name,wert), times to the microsecond
// since the first open. A poll that returns what the last one did is only
// counted. The caller's path never touches the disk: a thread writes the
// trace and renews the report beside it four times a second, so a killed
// host loses at most the last second; at the process's end the timing
// diagram is drawn too.
#include "aufzeichnung/ausgaenge.h"
#include "aufzeichnung/bericht.h"
#include "aufzeichnung/datei.h"
#include "aufzeichnung/spur.h"
#include "basis/sperre.h"
#include "basis/windows_text.h"
#include "simulator/modell/aufzeichnung.h"
#include "src/umFish40.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

#define MITSCHNITT_ZEIGER(name, ...) decltype(&::name) name;
struct vendor_tabelle {
  UMFISH40_FUNKTIONEN(MITSCHNITT_ZEIGER)
};
#undef MITSCHNITT_ZEIGER

// The eight functions by number, in the list's order, for the counts.
#define MITSCHNITT_NUMMER(name, ...) f_##name,
enum funktion { UMFISH40_FUNKTIONEN(MITSCHNITT_NUMMER) funktionen };
#undef MITSCHNITT_NUMMER
#define MITSCHNITT_NAME(name, ...) #name,
constexpr const char *funktionsnamen[] = {UMFISH40_FUNKTIONEN(MITSCHNITT_NAME)};
#undef MITSCHNITT_NAME

using akte::art;
constexpr size_t arten = akte::arten;

// Events held for the writer at most: a starved writer does not make the
// host's calls run out of memory. More are counted as lost.
constexpr size_t ereignisse_platz = 1 << 20;

// Reads of numbers 0 to 31 are told apart; others are only counted.
constexpr int32_t lesbar = 32;

struct ereignis {
  int64_t us;
  art a;
  uint8_t nummer;
  int32_t wert;
};

struct gelesen {
  bool bekannt = false;
  int32_t wert = 0;
};

using windows_text::breit;
using windows_text::systemfehler;
using windows_text::utf8;

// One line on standard error and for a debugger. Written with WriteFile, as
// it goes out at the process's end too, whatever C runtime the host has; a
// console window gets it as UTF-16, as it would read UTF-8 in its own code
// page (850 in a German one).
void melden(const std::string &text) {
  const std::string zeile = "lumbrik Mitschnitt: " + text + "\r\n";
  windows_text::schreiben(GetStdHandle(STD_ERROR_HANDLE), zeile);
  OutputDebugStringW(breit(zeile).c_str());
}

bool gibt_es(const std::string &pfad) {
  return GetFileAttributesW(breit(pfad).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class mitschnitt {
public:
  // Loads the vendor's library on the first call of any function.
  void bereit() {
    if (!geladen_.load(std::memory_order_acquire))
      InitOnceExecuteOnce(&einmal_, &mitschnitt::laden, this, nullptr);
  }
  const vendor_tabelle *vendor() const { return vendor_da_ ? &vendor_ : nullptr; }

  // The first open starts the recording.
  void geoeffnet(uint32_t handle) EXCLUDES(sperre_) {
    {
      const gesperrt halten(sperre_);
      ++aufrufe_[f_rbOpenInterfaceUSB];
      letztes_oeffnen_ = handle;
      if (geoeffnet_um_.QuadPart == 0)
        QueryPerformanceCounter(&geoeffnet_um_);
      const bool erstes = !offen_;
      if (handle != oeffnen_fehlgeschlagen) {
        offen_ = true;
        handle_ = handle;
        // Every output and motor gets a first value, as in a simulated run.
        if (erstes)
          for (int i = 0; i < SIM_AUSGAENGE + SIM_MOTOREN; ++i)
            eintragen(i < SIM_AUSGAENGE ? art::ausgang : art::motor,
                      i < SIM_AUSGAENGE ? i + 1 : i - SIM_AUSGAENGE + 1, 0, 0);
      }
    }
    if (!aufzeichnung_begonnen_.exchange(true))
      aufzeichnen();
  }

  // A switch: the vendor's call made under the lock, so that the trace has
  // the switches of several threads in the order the vendor got them.
  template <class Aufruf>
  int32_t schalten(funktion f, uint32_t handle, int32_t nummer, int32_t wert, int32_t stufe,
                   Aufruf aufruf) EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    const int32_t ergebnis = aufruf();
    try {
      const bool gueltig = f == f_rbSetMotors   ? true
                           : f == f_rbSetLampEx ? nummer >= 1 && nummer <= SIM_AUSGAENGE
                                                : nummer >= 1 && nummer <= SIM_MOTOREN;
      if (annehmen(f, handle, gueltig)) {
        if (f == f_rbSetLampEx)
          box_.lampe(nummer - 1, wert != 0, stufe);
        else if (f == f_rbSetMotorEx)
          box_.motor(nummer - 1, wert, stufe);
        else
          box_.motoren(nummer);
        ausgaenge_melden();
      }
    } catch (...) {
      verloren_ += 1;
    }
    return ergebnis;
  }

  // A read: written when it differs from the last one of the same number.
  void abfrage(funktion f, art a, uint32_t handle, int32_t nummer, int32_t wert) EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    ++aufrufe_[f];
    if (!offen_ || handle != handle_ || nummer < 0 || nummer >= lesbar) {
      ++unbeachtet_;
    } else {
      // Any read starts the clock, rbGetMotors too, as in the simulated
      // box: a replay then starts where the recording did.
      uhr();
      gelesen &g = gelesen_[static_cast<size_t>(a)][static_cast<size_t>(nummer)];
      if (g.bekannt && g.wert == wert) {
        ++gleich_[f];
      } else {
        g = {true, wert};
        eintragen(a, nummer, wert, jetzt_us());
      }
    }
  }

  // A call without a vendor library is counted only.
  void gezaehlt(funktion f) EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    ++aufrufe_[f];
  }

  // Something failed where no one could be told (out of memory): the
  // report says the recording is not whole.
  void verloren() EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    verloren_ += 1;
  }

  // At the process's end, when no other thread runs any more: the rest of
  // the trace, the report and the diagram.
  void beenden() EXCLUDES(sperre_);

private:
  static BOOL CALLBACK laden(INIT_ONCE *, void *selbst, void **);
  void laden() EXCLUDES(sperre_);
  void aufzeichnen() EXCLUDES(sperre_);
  bool aufzeichnung_oeffnen(std::string &meldung);
  static DWORD WINAPI schreiber(void *selbst);
  // Writes out what the calls left since the last time; the first write
  // error stops it.
  void wegschreiben(std::vector<ereignis> &stapel);
  // What the report says of the run now.
  struct stand {
    akte::bericht::mitschnitt_angaben angaben;
    int64_t laufzeit_ms = 0;
    std::string meldung;
  };
  stand stand_lesen() REQUIRES(sperre_);
  // The report renewed from `s`; at the end with the diagram.
  void berichten(const stand &s, bool ende);

  // The clock starts at the first call recorded after the first open, not
  // at the open: lumbrik's vorbereitung shows its notice box after the open
  // and waits for a person to close it, so only from the next call on does
  // a run's timeline say what the program did when. The simulated box's
  // clock and its replay of a recording start there too.
  void uhr() REQUIRES(sperre_) {
    if (!uhr_laeuft_) {
      QueryPerformanceCounter(&start_);
      uhr_laeuft_ = true;
    }
  }
  // From the first open to the clock's zero: the notice box and whatever
  // the program did before its first switch or read.
  int64_t vor_null_ms() const REQUIRES(sperre_) {
    if (!uhr_laeuft_ || geoeffnet_um_.QuadPart == 0)
      return 0;
    return (start_.QuadPart - geoeffnet_um_.QuadPart) * 1000 / frequenz_.QuadPart;
  }
  int64_t jetzt_us() const REQUIRES(sperre_) {
    if (!uhr_laeuft_)
      return 0;
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    const int64_t d = t.QuadPart - start_.QuadPart, f = frequenz_.QuadPart;
    return d / f * 1000000 + d % f * 1000000 / f;
  }

  // Nothing is kept once the recording could not be opened: no one would
  // ever take it; nor more than the writer can be behind by.
  void eintragen(art a, int nummer, int32_t wert, int64_t us) REQUIRES(sperre_) {
    if (verworfen_)
      return;
    if (ereignisse_.size() >= ereignisse_platz) {
      verloren_ += 1;
      return;
    }
    ereignisse_.push_back({us, a, static_cast<uint8_t>(nummer), wert});
  }

  // Counts a switch, and says whether it is recorded: only with the open
  // handle and for an output or motor the box has. Its clock starts there.
  bool annehmen(funktion f, uint32_t handle, bool gueltig) REQUIRES(sperre_) {
    ++aufrufe_[f];
    if (!offen_ || handle != handle_ || !gueltig) {
      ++unbeachtet_;
      return false;
    }
    uhr();
    return true;
  }

  // Outputs and motors as a simulated run traces them.
  void ausgaenge_melden() REQUIRES(sperre_) {
    int64_t us = -1;
    for (size_t i = 0; i < SIM_AUSGAENGE; ++i)
      melde(art::ausgang, static_cast<int>(i) + 1, ausgang_[i], box_.ausgang_wert(i), us);
    for (size_t m = 0; m < SIM_MOTOREN; ++m)
      melde(art::motor, static_cast<int>(m) + 1, motor_[m], box_.motor_wert(m), us);
  }
  // One signal's new value, if it changed; all changes of one call share
  // their time.
  void melde(art a, int nummer, int32_t &alt, int32_t neu, int64_t &us) REQUIRES(sperre_) {
    if (alt == neu)
      return;
    alt = neu;
    if (us < 0)
      us = jetzt_us();
    eintragen(a, nummer, neu, us);
  }

  INIT_ONCE einmal_ = INIT_ONCE_STATIC_INIT;
  std::atomic<bool> geladen_{false}, aufzeichnung_begonnen_{false}, schreibt_{false};
  HMODULE selbst_ = nullptr;
  std::string ordner_, vendor_pfad_, vendor_meldung_;
  vendor_tabelle vendor_{};
  bool vendor_da_ = false;
  LARGE_INTEGER frequenz_{};

  // What the calls show, behind the lock; the writer takes `ereignisse_`.
  sperre sperre_;
  LARGE_INTEGER start_ GUARDED_BY(sperre_){}, geoeffnet_um_ GUARDED_BY(sperre_){};
  bool uhr_laeuft_ GUARDED_BY(sperre_) = false;
  bool offen_ GUARDED_BY(sperre_) = false;
  bool verworfen_ GUARDED_BY(sperre_) = false;
  uint32_t handle_ GUARDED_BY(sperre_) = 0;
  uint32_t letztes_oeffnen_ GUARDED_BY(sperre_) = 0;
  akte::ausgaenge box_ GUARDED_BY(sperre_);
  std::array<int32_t, SIM_AUSGAENGE> ausgang_ GUARDED_BY(sperre_){};
  std::array<int32_t, SIM_MOTOREN> motor_ GUARDED_BY(sperre_){};
  std::array<std::array<gelesen, lesbar>, arten> gelesen_ GUARDED_BY(sperre_){};
  std::array<uint64_t, funktionen> aufrufe_ GUARDED_BY(sperre_){}, gleich_ GUARDED_BY(sperre_){};
  uint64_t unbeachtet_ GUARDED_BY(sperre_) = 0;
  uint64_t verloren_ GUARDED_BY(sperre_) = 0;
  std::vector<ereignis> ereignisse_ GUARDED_BY(sperre_);

  // The writer's own, and the end's.
  modell::aufzeichnung aufzeichnung_;
  bool zeichnet_auf_ = false;
  std::array<uint64_t, arten> geschrieben_{};
  // The first write error; nothing more is written after it.
  std::string schreibfehler_;
  std::string zeilen_;
};

mitschnitt der_mitschnitt;

BOOL CALLBACK mitschnitt::laden(INIT_ONCE *, void *selbst, void **) {
  try {
    static_cast<mitschnitt *>(selbst)->laden();
  } catch (...) {
    // Without a vendor's library the calls answer as a closed box does.
    static_cast<mitschnitt *>(selbst)->geladen_.store(true, std::memory_order_release);
  }
  return TRUE;
}

void mitschnitt::laden() {
  QueryPerformanceFrequency(&frequenz_);
  {
    const gesperrt halten(sperre_);
    ereignisse_.reserve(4096);
  }
  // Pinned: the writer thread runs on after a host frees the library, and
  // the record is finished at the process's end.
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&der_mitschnitt), &selbst_);
  std::wstring pfad(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(selbst_, pfad.data(), static_cast<DWORD>(pfad.size()));
    if (n < pfad.size()) {
      pfad.resize(n);
      break;
    }
    pfad.resize(pfad.size() * 2);
  }
  pfad.resize(std::min(pfad.size(), pfad.find_last_of(L"\\/")));
  ordner_ = utf8(pfad);
  const std::wstring vendor = pfad + L"\\echt\\umFish40.DLL";
  vendor_pfad_ = utf8(vendor);
  // Its own folder first for what the vendor's library needs in turn.
  const HMODULE modul = LoadLibraryExW(vendor.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (modul == nullptr) {
    vendor_meldung_ = "die Bibliothek des Herstellers " + vendor_pfad_ +
                      " lässt sich nicht laden (" + systemfehler(GetLastError()) + ")";
  } else if (modul == selbst_ || GetProcAddress(modul, "lumbrik_mitschnitt") != nullptr) {
    // Known by its own export: a copy of the recorder in echt\ would
    // record every call twice.
    vendor_meldung_ = vendor_pfad_ +
                      " ist ein Mitschnitt (umFish40.DLL aus lumbrik), nicht die Bibliothek des "
                      "Herstellers";
  } else {
    std::string fehlt;
#define MITSCHNITT_SUCHEN(name, ...)                                                               \
  vendor_.name = reinterpret_cast<decltype(vendor_.name)>(                                         \
      reinterpret_cast<void *>(GetProcAddress(modul, #name)));                                     \
  if (vendor_.name == nullptr && fehlt.empty())                                                    \
    fehlt = #name;
    UMFISH40_FUNKTIONEN(MITSCHNITT_SUCHEN)
#undef MITSCHNITT_SUCHEN
    if (fehlt.empty())
      vendor_da_ = true;
    else
      vendor_meldung_ = "die Bibliothek des Herstellers " + vendor_pfad_ + " hat die Funktion " +
                        fehlt + " nicht";
  }
  if (!vendor_da_)
    melden(vendor_meldung_ + "; rbOpenInterfaceUSB meldet den Fehlschlag");
  geladen_.store(true, std::memory_order_release);
}

bool mitschnitt::aufzeichnung_oeffnen(std::string &meldung) {
  const std::string ziel = modell::umgebung("LUMBRIK_MITSCHNITT");
  if (!ziel.empty())
    return aufzeichnung_.oeffnen(ziel, meldung);
  // A new file per run, named by the time it began, in mitschnitte\.
  const std::string ablage = ordner_ + "\\mitschnitte";
  if (!CreateDirectoryW(breit(ablage).c_str(), nullptr) && !modell::ist_ordner(ablage)) {
    meldung =
        "der Ordner " + ablage + " lässt sich nicht anlegen (" + systemfehler(GetLastError()) + ")";
    return false;
  }
  SYSTEMTIME t;
  GetLocalTime(&t);
  char name[40];
  for (int i = 1; i < 1000; ++i) {
    std::snprintf(name, sizeof name,
                  i > 1 ? "%04u-%02u-%02u_%02u-%02u-%02u_%d" : "%04u-%02u-%02u_%02u-%02u-%02u",
                  t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, i);
    const std::string stamm = ablage + "\\" + name;
    if (gibt_es(stamm + ".json") || gibt_es(stamm + ".csv") || gibt_es(stamm + ".svg"))
      continue;
    if (aufzeichnung_.oeffnen(stamm + ".json", meldung))
      return true;
    // Another run of the same second took the name first.
    if (!gibt_es(stamm + ".json"))
      return false;
  }
  meldung = "im Ordner " + ablage + " ist kein Name für diese Sekunde mehr frei";
  return false;
}

void mitschnitt::aufzeichnen() {
  std::string meldung;
  try {
    zeichnet_auf_ = aufzeichnung_oeffnen(meldung);
  } catch (...) {
    zeichnet_auf_ = false;
    meldung = "kein Speicher für den Mitschnitt";
  }
  if (!zeichnet_auf_) {
    {
      const gesperrt halten(sperre_);
      verworfen_ = true;
      ereignisse_ = {};
    }
    melden(meldung + "; die Aufrufe gehen ohne Mitschnitt weiter");
    return;
  }
  // The report is renewed whole while the run goes, so it is not held.
  aufzeichnung_.bericht_freigeben();
  const HANDLE faden = CreateThread(nullptr, 0, &mitschnitt::schreiber, this, 0, nullptr);
  if (faden == nullptr)
    melden("der Schreiber lässt sich nicht starten (" + systemfehler(GetLastError()) +
           "); die Spur wird erst am Ende geschrieben");
  else
    CloseHandle(faden);
}

mitschnitt::stand mitschnitt::stand_lesen() {
  stand s;
  akte::bericht::mitschnitt_angaben &a = s.angaben;
  a.hersteller = vendor_pfad_;
  a.oeffnen = letztes_oeffnen_;
  a.vor_null_ms = vor_null_ms();
  // Only reads can repeat themselves.
  for (size_t i = 0; i < funktionen; ++i) {
    a.aufrufe.emplace_back(funktionsnamen[i], aufrufe_[i]);
    if (i >= f_rbGetMotors)
      a.gleich.emplace_back(funktionsnamen[i], gleich_[i]);
  }
  a.ohne_offene_schnittstelle = unbeachtet_;
  s.laufzeit_ms = uhr_laeuft_ ? jetzt_us() / 1000 : 0;
  s.meldung = vendor_meldung_;
  if (s.meldung.empty() && !offen_)
    s.meldung = "das Interface ließ sich nicht öffnen";
  if (verloren_ > 0)
    s.meldung += (s.meldung.empty() ? "" : "; ") + std::string("der Mitschnitt ist nicht ganz: ") +
                 std::to_string(verloren_) +
                 " Änderungen gingen verloren (der Schreiber kam nicht nach oder es fehlte "
                 "Speicher)";
  return s;
}

void mitschnitt::berichten(const stand &s, bool ende) {
  auto angaben = s.angaben;
  angaben.spannung = geschrieben_[size_t(art::spannung)];
  angaben.ausgangzustand = geschrieben_[size_t(art::ausgangzustand)];
  for (const modell::signalart a : {modell::signalart::ausgang, modell::signalart::motor,
                                    modell::signalart::eingang, modell::signalart::analog})
    aufzeichnung_.anzahl_setzen(a, geschrieben_[static_cast<size_t>(a)]);
  aufzeichnung_.mitschnitt(std::move(angaben));
  std::string meldung = s.meldung;
  if (!schreibfehler_.empty())
    meldung += (meldung.empty() ? "" : "; ") + schreibfehler_;
  const std::string probleme = ende ? aufzeichnung_.abschliessen(s.laufzeit_ms, meldung)
                                    : aufzeichnung_.zwischenbericht(s.laufzeit_ms, meldung);
  if (!probleme.empty() && (ende || schreibfehler_.empty())) {
    if (schreibfehler_.empty())
      schreibfehler_ = probleme;
    melden(probleme);
  }
}

DWORD WINAPI mitschnitt::schreiber(void *selbst) {
  auto &m = *static_cast<mitschnitt *>(selbst);
  std::vector<ereignis> stapel;
  try {
    stapel.reserve(4096);
    // The header on disk at once: a killed host's trace is readable even
    // when nothing changed.
    if (!m.aufzeichnung_.schreiben({}))
      m.schreibfehler_ = "die Spur " + m.aufzeichnung_.spur() + " lässt sich nicht schreiben";
  } catch (...) {
  }
  for (unsigned runde = 0;; ++runde) {
    try {
      stand s;
      {
        const gesperrt halten(m.sperre_);
        stapel.swap(m.ereignisse_);
        m.schreibt_.store(true);
        // Renewed when something changed, at least once a second.
        if (!stapel.empty() || runde % 4 == 0)
          s = m.stand_lesen();
      }
      const bool neu = !stapel.empty() || runde % 4 == 0;
      m.wegschreiben(stapel);
      if (neu)
        m.berichten(s, false);
    } catch (...) {
      // Out of memory: what was taken is lost, the rest goes on.
      stapel.clear();
      m.verloren();
    }
    m.schreibt_.store(false);
    Sleep(250);
  }
}

void mitschnitt::wegschreiben(std::vector<ereignis> &stapel) {
  if (stapel.empty())
    return;
  if (!schreibfehler_.empty()) {
    stapel.clear();
    return;
  }
  zeilen_.clear();
  zeilen_.reserve(stapel.size() * 28);
  char nummer[4];
  for (const ereignis &e : stapel) {
    std::snprintf(nummer, sizeof nummer, "%u", static_cast<unsigned>(e.nummer));
    akte::zeile_anhaengen(zeilen_, e.us, e.a, nummer, e.wert, true);
    ++geschrieben_[static_cast<size_t>(e.a)];
  }
  stapel.clear();
  if (!aufzeichnung_.schreiben(zeilen_)) {
    schreibfehler_ = "die Spur " + aufzeichnung_.spur() +
                     " ließ sich nicht ganz schreiben (ist der Datenträger voll?); sie endet "
                     "vorher";
    melden(schreibfehler_);
  }
}

void mitschnitt::beenden() {
  if (!zeichnet_auf_)
    return;
  // A thread stopped while it held the lock or wrote leaves the trace and
  // the report as they were written last.
  const auto abgebrochen = [this] {
    melden("der Mitschnitt endete mitten im Schreiben; Spur " + aufzeichnung_.spur() +
           " und Bericht gelten bis eine Sekunde vor dem Ende, das Zeitdiagramm fehlt");
  };
  if (schreibt_.load())
    return abgebrochen();
  if (!sperre_.versuchen())
    return abgebrochen();
  std::vector<ereignis> rest;
  rest.swap(ereignisse_);
  const stand s = stand_lesen();
  sperre_.freigeben();
  zeichnet_auf_ = false;
  wegschreiben(rest);
  berichten(s, true);
}

// Hands a read on to the vendor's library and records what it answered.
// Without one the call is only counted and answers -1, as a box that is not
// open does.
template <class Aufruf>
int32_t lesen(funktion f, art a, uint32_t handle, int32_t nummer, Aufruf aufruf) noexcept {
  try {
    der_mitschnitt.bereit();
    const vendor_tabelle *v = der_mitschnitt.vendor();
    if (!v) {
      der_mitschnitt.gezaehlt(f);
      return -1;
    }
    const int32_t ergebnis = aufruf(*v);
    try {
      der_mitschnitt.abfrage(f, a, handle, nummer, ergebnis);
    } catch (...) {
      der_mitschnitt.verloren();
    }
    return ergebnis;
  } catch (...) {
    return -1;
  }
}

// The same for a switch.
template <class Aufruf>
int32_t schalten(funktion f, uint32_t handle, int32_t nummer, int32_t wert, int32_t stufe,
                 Aufruf aufruf) noexcept {
  try {
    der_mitschnitt.bereit();
    const vendor_tabelle *v = der_mitschnitt.vendor();
    if (!v) {
      der_mitschnitt.gezaehlt(f);
      return -1;
    }
    return der_mitschnitt.schalten(f, handle, nummer, wert, stufe, [&] { return aufruf(*v); });
  } catch (...) {
    return -1;
  }
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD grund, void *beim_ende) {
  // Pinned, the library goes only with the process; the other threads are
  // gone by then.
  if (grund == DLL_PROCESS_DETACH && beim_ende != nullptr) {
    try {
      der_mitschnitt.beenden();
    } catch (...) {
      melden("der Mitschnitt ließ sich am Ende nicht abschließen (kein Speicher); der Bericht "
             "gilt bis eine Sekunde vor dem Ende");
    }
  }
  return TRUE;
}

// This library's mark: a copy of it in echt\ is known by it.
int32_t WINAPI lumbrik_mitschnitt() {
  return 1;
}

uint32_t WINAPI rbOpenInterfaceUSB(int32_t a, int32_t b) {
  uint32_t handle = oeffnen_fehlgeschlagen;
  try {
    der_mitschnitt.bereit();
    const vendor_tabelle *v = der_mitschnitt.vendor();
    handle = v ? v->rbOpenInterfaceUSB(a, b) : oeffnen_fehlgeschlagen;
    der_mitschnitt.geoeffnet(handle);
  } catch (...) {
    der_mitschnitt.verloren();
  }
  return handle;
}

int32_t WINAPI rbSetLampEx(uint32_t handle, int32_t ausgang, int32_t an, int32_t stufe) {
  return schalten(f_rbSetLampEx, handle, ausgang, an, stufe, [&](const vendor_tabelle &v) {
    return v.rbSetLampEx(handle, ausgang, an, stufe);
  });
}

int32_t WINAPI rbSetMotors(uint32_t handle, int32_t maske) {
  return schalten(f_rbSetMotors, handle, maske, 0, 0,
                  [&](const vendor_tabelle &v) { return v.rbSetMotors(handle, maske); });
}

int32_t WINAPI rbSetMotorEx(uint32_t handle, int32_t motor, int32_t wert, int32_t stufe) {
  return schalten(f_rbSetMotorEx, handle, motor, wert, stufe, [&](const vendor_tabelle &v) {
    return v.rbSetMotorEx(handle, motor, wert, stufe);
  });
}

// The reads, each traced under its kind and number with what it answered.
#define MITSCHNITT_LESEN(name, a, parameter, argumente, nummer)                                    \
  int32_t WINAPI name parameter {                                                                  \
    return lesen(f_##name, a, handle, nummer,                                                      \
                 [&](const vendor_tabelle &v) { return v.name argumente; });                       \
  }
MITSCHNITT_LESEN(rbGetMotors, art::ausgangzustand, (uint32_t handle), (handle), 0)
MITSCHNITT_LESEN(rbGetInput, art::eingang, (uint32_t handle, int32_t eingang), (handle, eingang),
                 eingang)
MITSCHNITT_LESEN(rbGetAnalog, art::analog, (uint32_t handle, int32_t eingang), (handle, eingang),
                 eingang)
MITSCHNITT_LESEN(rbGetVoltage, art::spannung, (uint32_t handle, int32_t nummer), (handle, nummer),
                 nummer)
#undef MITSCHNITT_LESEN
}
