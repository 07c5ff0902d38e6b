// umFish40.DLL, the recorder: it stands where the vendor's library stands,
// loads the real one from the folder echt\ beside itself, passes each of the
// eight calls on unchanged and records what they show with the record
// library, in the trace a simulated run writes too (zeit_ms,art,name,wert),
// times to the microsecond from the host's first switch or read. A poll that returns what the last
// one did is only counted. The caller's path never touches the disk: a thread writes the trace and
// renews the report beside it four times a second, so a killed host loses at most the last second;
// at the process's end the timing diagram is drawn too.
#include "aufzeichnung/aufzeichnung.h"
#include "aufzeichnung/bericht.h"
#include "aufzeichnung/datei.h"
#include "aufzeichnung/mitschrift.h"
#include "aufzeichnung/spur.h"
#include "basis/sperre.h"
#include "basis/windows_text.h"
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

using akte::art;
using funktion = akte::mitschrift::funktion;
using ereignis = akte::mitschrift::ereignis;

// Microseconds of the performance counter, the recording's clock.
int64_t uhr_us() {
  static const int64_t frequenz = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart / frequenz * 1000000 + t.QuadPart % frequenz * 1000000 / frequenz;
}

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
      lauf_.geoeffnet(handle, oeffnen_fehlgeschlagen);
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
      lauf_.geschaltet(f, handle, nummer, wert, stufe);
    } catch (...) {
      lauf_.verloren();
    }
    return ergebnis;
  }

  void abfrage(funktion f, art a, uint32_t handle, int32_t nummer, int32_t wert) EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    lauf_.gelesen(f, a, handle, nummer, wert);
  }

  // A call without a vendor library is counted only.
  void gezaehlt(funktion f) EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    lauf_.gezaehlt(f);
  }

  // Something failed where no one could be told (out of memory): the
  // report says the recording is not whole.
  void verloren() EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    lauf_.verloren();
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
  stand stand_lesen() REQUIRES(sperre_) {
    return {lauf_.angaben(vendor_pfad_), lauf_.laufzeit_ms(), lauf_.meldung(vendor_meldung_)};
  }
  // The report renewed from `s`; at the end with the diagram.
  void berichten(const stand &s, bool ende);

  INIT_ONCE einmal_ = INIT_ONCE_STATIC_INIT;
  std::atomic<bool> geladen_{false}, aufzeichnung_begonnen_{false}, schreibt_{false};
  HMODULE selbst_ = nullptr;
  std::string ordner_, vendor_pfad_, vendor_meldung_;
  vendor_tabelle vendor_{};
  bool vendor_da_ = false;

  // What the calls show, behind the lock; the writer takes its changes.
  sperre sperre_;
  akte::mitschrift lauf_ GUARDED_BY(sperre_){&uhr_us};

  // The writer's own, and the end's.
  akte::aufzeichnung aufzeichnung_;
  bool zeichnet_auf_ = false;
  std::array<uint64_t, akte::arten> geschrieben_{};
  bool bericht_scheiterte_ = false;
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
  const std::string ziel = akte::umgebung("LUMBRIK_MITSCHNITT");
  if (!ziel.empty())
    return aufzeichnung_.oeffnen(ziel, meldung);
  // A new file per run, named by the time it began, in mitschnitte\.
  const std::string ablage = ordner_ + "\\mitschnitte";
  if (!CreateDirectoryW(breit(ablage).c_str(), nullptr) && !akte::ist_ordner(ablage)) {
    meldung =
        "der Ordner " + ablage + " lässt sich nicht anlegen (" + systemfehler(GetLastError()) + ")";
    return false;
  }
  SYSTEMTIME t;
  GetLocalTime(&t);
  char name[32];
  std::snprintf(name, sizeof name, "%04u-%02u-%02u_%02u-%02u-%02u", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond);
  return aufzeichnung_.oeffnen_neu(ablage + "\\" + name, meldung);
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
      lauf_.verwerfen();
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

void mitschnitt::berichten(const stand &s, bool ende) {
  auto angaben = s.angaben;
  angaben.spannung = geschrieben_[size_t(art::spannung)];
  angaben.ausgangzustand = geschrieben_[size_t(art::ausgangzustand)];
  for (const art a : {art::ausgang, art::motor, art::eingang, art::analog})
    aufzeichnung_.anzahl_setzen(a, geschrieben_[static_cast<size_t>(a)]);
  aufzeichnung_.mitschnitt(std::move(angaben));
  const std::string probleme = ende ? aufzeichnung_.abschliessen(s.laufzeit_ms, s.meldung)
                                    : aufzeichnung_.zwischenbericht(s.laufzeit_ms, s.meldung);
  // Said once while the run goes, and at the end.
  if (!probleme.empty() && (ende || !bericht_scheiterte_))
    melden(probleme);
  bericht_scheiterte_ = !probleme.empty();
}

DWORD WINAPI mitschnitt::schreiber(void *selbst) {
  auto &m = *static_cast<mitschnitt *>(selbst);
  std::vector<ereignis> stapel;
  try {
    stapel.reserve(4096);
    // The header on disk at once: a killed host's trace is readable even
    // when nothing changed.
    if (!m.aufzeichnung_.schreiben({}))
      melden(m.aufzeichnung_.schreibfehler());
  } catch (...) {
  }
  for (unsigned runde = 0;; ++runde) {
    try {
      stand s;
      {
        const gesperrt halten(m.sperre_);
        m.lauf_.abholen(stapel);
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
  if (!aufzeichnung_.schreibfehler().empty()) {
    stapel.clear();
    return;
  }
  zeilen_.clear();
  zeilen_.reserve(stapel.size() * 28);
  // Counted for the report only once they are on disk.
  std::array<uint64_t, akte::arten> neu{};
  akte::zeilen_anhaengen(stapel, zeilen_, neu);
  stapel.clear();
  if (!aufzeichnung_.schreiben(zeilen_)) {
    melden(aufzeichnung_.schreibfehler());
    return;
  }
  for (size_t i = 0; i < neu.size(); ++i)
    geschrieben_[i] += neu[i];
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
  lauf_.abholen(rest);
  const stand s = stand_lesen();
  sperre_.freigeben();
  zeichnet_auf_ = false;
  wegschreiben(rest);
  berichten(s, true);
}

// A call's arguments as numbers, the handle first, missing ones 0.
template <class... A> std::array<int32_t, 4> zahlen(A... a) {
  return {static_cast<int32_t>(a)...};
}

// Hands call F on to the vendor's library and records it by what it does:
// an open with the handle it gave, a switch made under the lock, a read with
// what it answered. Without a vendor's library a call is only counted and
// fails, as on a box that is not open.
template <funktion F, class Aufruf>
auto weiterreichen(Aufruf aufruf, const std::array<int32_t, 4> &x) noexcept {
  using mitschrift = akte::mitschrift;
  constexpr mitschrift::rolle rolle = mitschrift::rolle_von(F);
  using ergebnis_t = decltype(aufruf(std::declval<const vendor_tabelle &>()));
  auto ergebnis = static_cast<ergebnis_t>(
      rolle == mitschrift::rolle::oeffnen ? oeffnen_fehlgeschlagen : uint32_t(-1));
  try {
    der_mitschnitt.bereit();
    const vendor_tabelle *v = der_mitschnitt.vendor();
    if constexpr (rolle == mitschrift::rolle::oeffnen) {
      if (v)
        ergebnis = aufruf(*v);
      der_mitschnitt.geoeffnet(static_cast<uint32_t>(ergebnis));
    } else if (!v) {
      der_mitschnitt.gezaehlt(F);
    } else if constexpr (rolle == mitschrift::rolle::schalten) {
      ergebnis = der_mitschnitt.schalten(F, static_cast<uint32_t>(x[0]), x[1], x[2], x[3],
                                         [&] { return aufruf(*v); });
    } else {
      ergebnis = aufruf(*v);
      der_mitschnitt.abfrage(F, mitschrift::lesart(F), static_cast<uint32_t>(x[0]), x[1], ergebnis);
    }
  } catch (...) {
    // What the vendor answered goes back all the same.
    der_mitschnitt.verloren();
  }
  return ergebnis;
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

// The vendor's eight calls, each handed on by the list that names them.
#define MITSCHNITT_EXPORT(name, ergebnis, parameter, argumente, bytes)                             \
  ergebnis WINAPI name parameter {                                                                 \
    return weiterreichen<akte::mitschrift::f_##name>(                                              \
        [&](const vendor_tabelle &v) { return v.name argumente; }, zahlen argumente);              \
  }
UMFISH40_FUNKTIONEN(MITSCHNITT_EXPORT)
#undef MITSCHNITT_EXPORT
}
