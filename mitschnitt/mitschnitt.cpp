// umFish40.DLL, the recorder: it stands where the vendor's library stands,
// loads the real one from the folder echt\ beside itself, passes each of the
// eight calls on unchanged and records what they show in the trace format of
// the simulator's reports (zeit_ms,art,name,wert), times to the microsecond
// since the first open. A poll that returns what the last one did is only
// counted. The caller's path never touches the disk: a thread writes the
// trace at least once a second, and at the process's end the report and the
// timing diagram are written beside it.
#include "basis/sperre.h"
#include "simulator/box_groessen.h"
#include "simulator/modell/aufzeichnung.h"
#include "simulator/modell/datei.h"
#include "src/umFish40.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cinttypes>
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

// What the trace holds: the simulator's kinds, and two reads it never
// traces (voltages, and the output state as the vendor reports it).
enum class art : uint8_t { ausgang, motor, eingang, analog, spannung, ausgangzustand, arten };
constexpr const char *artnamen[] = {"ausgang", "motor",    "eingang",
                                    "analog",  "spannung", "ausgangzustand"};
constexpr size_t arten = static_cast<size_t>(art::arten);

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

std::wstring breit(const std::string &text) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring aus(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), aus.data(), n);
  return aus;
}

std::string utf8(const std::wstring &text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string aus(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), aus.data(), n,
                      nullptr, nullptr);
  return aus;
}

// One line on standard error and for a debugger. Written with WriteFile, as
// it goes out at the process's end too, whatever C runtime the host has; a
// console window gets it as UTF-16, as it would read UTF-8 in its own code
// page (850 in a German one).
void melden(const std::string &text) {
  const std::string zeile = "lumbrik Mitschnitt: " + text + "\r\n";
  const std::wstring breite = breit(zeile);
  const HANDLE fehler = GetStdHandle(STD_ERROR_HANDLE);
  DWORD geschrieben = 0;
  DWORD modus = 0;
  if (fehler != nullptr && fehler != INVALID_HANDLE_VALUE) {
    if (GetConsoleMode(fehler, &modus))
      WriteConsoleW(fehler, breite.data(), static_cast<DWORD>(breite.size()), &geschrieben,
                    nullptr);
    else
      WriteFile(fehler, zeile.data(), static_cast<DWORD>(zeile.size()), &geschrieben, nullptr);
  }
  OutputDebugStringW(breite.c_str());
}

std::string systemfehler(DWORD kode) {
  wchar_t *text = nullptr;
  const DWORD laenge = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, kode, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  std::wstring w = laenge > 0 && text ? std::wstring(text, laenge) : L"";
  LocalFree(text);
  while (!w.empty() &&
         (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ' || w.back() == L'.'))
    w.pop_back();
  return "Systemfehler " + std::to_string(kode) + (w.empty() ? "" : ": " + utf8(w));
}

std::string json_text(const std::string &s) {
  std::string aus = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\')
      aus += '\\';
    if (static_cast<unsigned char>(c) >= 0x20)
      aus += c;
  }
  return aus + "\"";
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

  void lampe(uint32_t handle, int32_t ausgang, int32_t an, int32_t stufe) EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    if (!annehmen(f_rbSetLampEx, handle, ausgang >= 1 && ausgang <= SIM_AUSGAENGE))
      return;
    setzen(ausgang - 1, an != 0, stufe);
    ausgaenge_melden();
  }

  // Motor n runs one way with output 2n-1 on, the other with output 2n.
  void motor(uint32_t handle, int32_t nummer, int32_t wert, int32_t stufe) EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    if (!annehmen(f_rbSetMotorEx, handle, nummer >= 1 && nummer <= SIM_MOTOREN))
      return;
    setzen(2 * nummer - 2, wert > 0, stufe);
    setzen(2 * nummer - 1, wert < 0, stufe);
    ausgaenge_melden();
  }

  // Two bits per motor, lowest first: 1 one way, 2 the other, 0 or 3 stop;
  // the level is the one its first output last had (7 when it never had one).
  void motoren(uint32_t handle, int32_t maske) EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    if (!annehmen(f_rbSetMotors, handle, true))
      return;
    for (int m = 0; m < SIM_MOTOREN; ++m) {
      const uint32_t bits = (static_cast<uint32_t>(maske) >> (2 * m)) & 3u;
      const int32_t s = stufe_[static_cast<size_t>(2 * m)];
      setzen(2 * m, bits == 1u, s > 0 ? s : SIM_STUFEN);
      setzen(2 * m + 1, bits == 2u, s > 0 ? s : SIM_STUFEN);
    }
    ausgaenge_melden();
  }

  // A read: written when it differs from the last one of the same number.
  void abfrage(funktion f, art a, uint32_t handle, int32_t nummer, int32_t wert) EXCLUDES(sperre_) {
    const gesperrt halten(sperre_);
    ++aufrufe_[f];
    if (!offen_ || handle != handle_ || nummer < 0 || nummer >= lesbar) {
      ++unbeachtet_;
    } else {
      // The simulated box's replay starts at a switch or a read of an
      // input, not at rbGetMotors: so does the clock here.
      if (f != f_rbGetMotors)
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

  // At the process's end, when no other thread runs any more: the rest of
  // the trace, the report and the diagram.
  void beenden() EXCLUDES(sperre_);

private:
  static BOOL CALLBACK laden(INIT_ONCE *, void *selbst, void **);
  void laden() EXCLUDES(sperre_);
  void aufzeichnen() EXCLUDES(sperre_);
  bool aufzeichnung_oeffnen(std::string &meldung);
  static DWORD WINAPI schreiber(void *selbst);
  // Writes out what the calls left since the last time.
  void wegschreiben(std::vector<ereignis> &stapel);
  std::string zusatz() REQUIRES(sperre_);

  // The clock starts at the first call recorded after the first open, not
  // at the open: lumbrik's vorbereitung shows its notice box after the open
  // and waits for a person to close it, so only from the next call on does
  // a run's timeline say what the program did when. The simulated box's
  // replay of a recording starts there too.
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
  // ever take it.
  void eintragen(art a, int nummer, int32_t wert, int64_t us) REQUIRES(sperre_) {
    if (!verworfen_)
      ereignisse_.push_back({us, a, static_cast<uint8_t>(nummer), wert});
  }

  // Sets one output as the vendor's box would: off keeps its level.
  void setzen(int index, bool an, int32_t stufe) REQUIRES(sperre_) {
    an_[static_cast<size_t>(index)] = an;
    if (an)
      stufe_[static_cast<size_t>(index)] = stufe;
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

  // Outputs (their level while on) and motors (plus or minus the level of
  // the output that runs them) as a simulated run traces them.
  void ausgaenge_melden() REQUIRES(sperre_) {
    int64_t us = -1;
    for (size_t i = 0; i < SIM_AUSGAENGE; ++i)
      melde(art::ausgang, static_cast<int>(i) + 1, ausgang_[i], an_[i] ? std::max(stufe_[i], 1) : 0,
            us);
    for (size_t m = 0; m < SIM_MOTOREN; ++m) {
      const size_t v = 2 * m, z = v + 1;
      const int32_t wert = an_[v] == an_[z] ? 0
                           : an_[v]         ? std::max(stufe_[v], 1)
                                            : -std::max(stufe_[z], 1);
      melde(art::motor, static_cast<int>(m) + 1, motor_[m], wert, us);
    }
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
  std::array<bool, SIM_AUSGAENGE> an_ GUARDED_BY(sperre_){};
  std::array<int32_t, SIM_AUSGAENGE> stufe_ GUARDED_BY(sperre_){}, ausgang_ GUARDED_BY(sperre_){};
  std::array<int32_t, SIM_MOTOREN> motor_ GUARDED_BY(sperre_){};
  std::array<std::array<gelesen, lesbar>, arten> gelesen_ GUARDED_BY(sperre_){};
  std::array<uint64_t, funktionen> aufrufe_ GUARDED_BY(sperre_){}, gleich_ GUARDED_BY(sperre_){};
  uint64_t unbeachtet_ GUARDED_BY(sperre_) = 0;
  std::vector<ereignis> ereignisse_ GUARDED_BY(sperre_);

  // The writer's own, and the end's.
  modell::aufzeichnung aufzeichnung_;
  bool zeichnet_auf_ = false;
  std::array<uint64_t, arten> geschrieben_{};
};

mitschnitt der_mitschnitt;

BOOL CALLBACK mitschnitt::laden(INIT_ONCE *, void *selbst, void **) {
  static_cast<mitschnitt *>(selbst)->laden();
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
  } else if (modul == selbst_) {
    vendor_meldung_ =
        vendor_pfad_ + " ist der Mitschnitt selbst, nicht die Bibliothek des Herstellers";
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
  zeichnet_auf_ = aufzeichnung_oeffnen(meldung);
  if (!zeichnet_auf_) {
    {
      const gesperrt halten(sperre_);
      verworfen_ = true;
      ereignisse_ = {};
    }
    melden(meldung + "; die Aufrufe gehen ohne Mitschnitt weiter");
    return;
  }
  const HANDLE faden = CreateThread(nullptr, 0, &mitschnitt::schreiber, this, 0, nullptr);
  if (faden == nullptr)
    melden("der Schreiber lässt sich nicht starten (" + systemfehler(GetLastError()) +
           "); die Spur wird erst am Ende geschrieben");
  else
    CloseHandle(faden);
}

DWORD WINAPI mitschnitt::schreiber(void *selbst) {
  auto &m = *static_cast<mitschnitt *>(selbst);
  std::vector<ereignis> stapel;
  stapel.reserve(4096);
  // The header on disk at once: a killed host's trace is readable even
  // when nothing changed.
  m.aufzeichnung_.schreiben({});
  for (;;) {
    Sleep(250);
    {
      const gesperrt halten(m.sperre_);
      stapel.swap(m.ereignisse_);
      m.schreibt_.store(!stapel.empty());
    }
    m.wegschreiben(stapel);
    m.schreibt_.store(false);
  }
}

void mitschnitt::wegschreiben(std::vector<ereignis> &stapel) {
  if (stapel.empty())
    return;
  std::string zeilen;
  zeilen.reserve(stapel.size() * 28);
  char zeile[96];
  for (const ereignis &e : stapel) {
    const int n =
        std::snprintf(zeile, sizeof zeile, "%" PRId64 ".%03d,%s,%u,%" PRId32 "\n", e.us / 1000,
                      static_cast<int>(e.us % 1000), artnamen[static_cast<size_t>(e.a)],
                      static_cast<unsigned>(e.nummer), e.wert);
    zeilen.append(zeile, static_cast<size_t>(n));
    ++geschrieben_[static_cast<size_t>(e.a)];
  }
  stapel.clear();
  aufzeichnung_.schreiben(zeilen);
}

std::string mitschnitt::zusatz() {
  std::string text = "  \"mitschnitt\": {\n    \"hersteller\": " + json_text(vendor_pfad_) +
                     ",\n    \"oeffnen\": " + std::to_string(letztes_oeffnen_) +
                     ",\n    \"vor_null_ms\": " + std::to_string(vor_null_ms()) +
                     ",\n    \"aufrufe\": {";
  // Only reads can repeat themselves.
  const auto liste = [&](const std::array<uint64_t, funktionen> &zahlen, size_t von) {
    for (size_t i = von; i < funktionen; ++i)
      text += std::string(i > von ? ", " : "") + "\"" + funktionsnamen[i] +
              "\": " + std::to_string(zahlen[i]);
  };
  liste(aufrufe_, 0);
  text += "},\n    \"gleich\": {";
  liste(gleich_, f_rbGetMotors);
  text +=
      "},\n    \"ohne_offene_schnittstelle\": " + std::to_string(unbeachtet_) +
      ",\n    \"spannung\": " + std::to_string(geschrieben_[size_t(art::spannung)]) +
      ",\n    \"ausgangzustand\": " + std::to_string(geschrieben_[size_t(art::ausgangzustand)]) +
      "\n  },\n";
  return text;
}

void mitschnitt::beenden() {
  if (!zeichnet_auf_)
    return;
  // A thread stopped while it held the lock or wrote leaves the trace as it is.
  const auto abgebrochen = [this] {
    melden("der Mitschnitt endete mitten im Schreiben; die Spur " + aufzeichnung_.spur() +
           " gilt bis eine Sekunde vor dem Ende, Bericht und Zeitdiagramm fehlen");
  };
  if (schreibt_.load())
    return abgebrochen();
  if (!sperre_.versuchen())
    return abgebrochen();
  std::vector<ereignis> rest;
  rest.swap(ereignisse_);
  const int64_t laufzeit = uhr_laeuft_ ? jetzt_us() / 1000 : 0;
  wegschreiben(rest);
  using modell::signalart;
  for (const auto &[a, s] :
       {std::pair{art::ausgang, signalart::ausgang}, std::pair{art::motor, signalart::motor},
        std::pair{art::eingang, signalart::eingang}, std::pair{art::analog, signalart::analog}})
    aufzeichnung_.zaehlen(s, geschrieben_[size_t(a)]);
  aufzeichnung_.zusatz(zusatz());
  std::string meldung = vendor_meldung_;
  if (meldung.empty() && !offen_)
    meldung = "das Interface ließ sich nicht öffnen";
  const std::string probleme = aufzeichnung_.abschliessen(laufzeit, meldung);
  zeichnet_auf_ = false;
  sperre_.freigeben();
  if (!probleme.empty())
    melden(probleme);
}

// Hands a call on to the vendor's library and records what it did. Without
// one the call is only counted and answers -1, as a box that is not open
// does.
template <class Aufruf, class Aufzeichnen>
int32_t weiterreichen(funktion f, Aufruf aufruf, Aufzeichnen aufzeichnen) {
  der_mitschnitt.bereit();
  const vendor_tabelle *v = der_mitschnitt.vendor();
  if (!v) {
    der_mitschnitt.gezaehlt(f);
    return -1;
  }
  const int32_t ergebnis = aufruf(*v);
  aufzeichnen(ergebnis);
  return ergebnis;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD grund, void *beim_ende) {
  // Pinned, the library goes only with the process; the other threads are
  // gone by then.
  if (grund == DLL_PROCESS_DETACH && beim_ende != nullptr)
    der_mitschnitt.beenden();
  return TRUE;
}

uint32_t WINAPI rbOpenInterfaceUSB(int32_t a, int32_t b) {
  der_mitschnitt.bereit();
  const vendor_tabelle *v = der_mitschnitt.vendor();
  const uint32_t handle = v ? v->rbOpenInterfaceUSB(a, b) : oeffnen_fehlgeschlagen;
  der_mitschnitt.geoeffnet(handle);
  return handle;
}

int32_t WINAPI rbSetLampEx(uint32_t handle, int32_t ausgang, int32_t an, int32_t stufe) {
  return weiterreichen(
      f_rbSetLampEx,
      [&](const vendor_tabelle &v) { return v.rbSetLampEx(handle, ausgang, an, stufe); },
      [&](int32_t) { der_mitschnitt.lampe(handle, ausgang, an, stufe); });
}

int32_t WINAPI rbSetMotors(uint32_t handle, int32_t maske) {
  return weiterreichen(
      f_rbSetMotors, [&](const vendor_tabelle &v) { return v.rbSetMotors(handle, maske); },
      [&](int32_t) { der_mitschnitt.motoren(handle, maske); });
}

int32_t WINAPI rbSetMotorEx(uint32_t handle, int32_t motor, int32_t wert, int32_t stufe) {
  return weiterreichen(
      f_rbSetMotorEx,
      [&](const vendor_tabelle &v) { return v.rbSetMotorEx(handle, motor, wert, stufe); },
      [&](int32_t) { der_mitschnitt.motor(handle, motor, wert, stufe); });
}

// The reads, each traced under its kind and number with what it answered.
#define MITSCHNITT_LESEN(name, a, parameter, argumente, nummer)                                    \
  int32_t WINAPI name parameter {                                                                  \
    return weiterreichen(                                                                          \
        f_##name, [&](const vendor_tabelle &v) { return v.name argumente; },                       \
        [&](int32_t ergebnis) { der_mitschnitt.abfrage(f_##name, a, handle, nummer, ergebnis); }); \
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
