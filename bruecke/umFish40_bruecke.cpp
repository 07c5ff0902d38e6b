// The bridge: a 64-bit umFish40.DLL that 64-bit lumbrik.dll loads like the
// vendor's. Each vendor call goes to the helper lumbrik-bruecke32.exe, a
// 32-bit process that loads the real umFish40.DLL; the result comes back
// unchanged.
//
// The helper starts at the first rbOpenInterfaceUSB, from the folder
// bruecke32 beside this DLL, where the vendor's 32-bit umFish40.DLL may sit
// without clashing with this one. Its channel is nameless and never
// inheritable: the helper takes its own copies of the handles from the host.
// When the host unloads the bridge or ends, the helper is asked to end, so
// that the vendor library's cleanup runs; a job object ends it with a killed
// host.
#include "bruecke/kanal.h"

#include "basis/sperre.h"
#include "basis/windows_text.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace {

// A vendor call takes microseconds; one that has not answered by then has a
// helper that will not.
constexpr DWORD antwort_frist_ms = 2000;
// Opening finds the device on the bus first, which may take a while.
constexpr DWORD oeffnen_frist_ms = 10000;
// A 32-bit start may be slow where 32-bit code is emulated.
constexpr DWORD start_frist_ms = 30000;
// How long a helper that has taken the request to end may take to end: it
// frees the vendor library, whose cleanup closes the device, and our
// simulator writes its report, trace and timing diagram then. The diagram
// reads the whole trace: a million changes (an hour of a busy model) took
// 2.4 to 4.2 s in 32-bit code under qemu-user emulation here (see
// docs/PERFORMANCE.md), so 30 s covers runs of several hours even there.
// Yet a vendor cleanup that hangs holds the host's end up no longer than
// that. A helper that does not even take the request is ended after
// antwort_frist_ms.
constexpr DWORD ende_frist_ms = 30000;
// How long the bridge watches the block for an answer before it sleeps: a
// vendor call of an awake helper answers well within it. Shorter, and a
// helper still busy setting the event of the last answer makes the bridge
// sleep again, call after call. While watching it yields its core, so a
// helper waiting for one runs.
constexpr double wachen_us = 1000;

struct helfer {
  HANDLE prozess;
  HANDLE speicher;
  HANDLE anfrage;
  HANDLE antwort;
  kanal *k;
};

// What every call shares, and the lock that guards it: hosts may call from
// more than one thread, one call on the channel at a time. (At the host's
// end a thread that died may still hold it: see DllMain.)
struct geteilt {
  sperre s;
  helfer aktiv GUARDED_BY(s){};
  // Kept open for the life of the host: closing it (also when the host is
  // killed) ends the helper.
  HANDLE job GUARDED_BY(s) = nullptr;
};
geteilt bruecke;

void schliessen(HANDLE &h) {
  if (h != nullptr)
    CloseHandle(h);
  h = nullptr;
}

// One line for the user, on standard error (if the host has one) and for a
// debugger: what the bridge looked for and did not find.
void hinweisen(const wchar_t *format, ...) {
  wchar_t text[2048] = L"lumbrik Br\u00fccke: ";
  const size_t vorne = wcslen(text);
  va_list argumente;
  va_start(argumente, format);
  _vsnwprintf(text + vorne, sizeof text / sizeof text[0] - vorne - 2, format, argumente);
  va_end(argumente);
  wcscat(text, L"\n");
  OutputDebugStringW(text);
  // A pipe or a file gets UTF-8, as the console host and the simulator write.
  windows_text::schreiben(GetStdHandle(STD_ERROR_HANDLE), windows_text::utf8(text));
}

// The system's text for an error number; `datei` fills its placeholders
// ("%1 is not a valid Win32 application").
std::wstring systemtext(DWORD fehler, const wchar_t *datei) {
  const std::string text = windows_text::systemtext(fehler, nullptr, datei);
  return text.empty() ? L"ohne Text" : windows_text::breit(text);
}

// The file name of a path.
const wchar_t *dateiname(const wchar_t *pfad) {
  const wchar_t *ende = wcsrchr(pfad, L'\\');
  return ende != nullptr ? ende + 1 : pfad;
}

const char *funktionsname(int32_t nummer) {
#define KANAL_NAME(name, ...) #name,
  static const char *const namen[] = {"?", UMFISH40_FUNKTIONEN(KANAL_NAME)};
#undef KANAL_NAME
  return nummer > kanal_keine && nummer < kanal_ende ? namen[nummer] : "?";
}

// Says why the helper cannot serve, as it reported in the block.
void vendor_fehler_hinweisen(const kanal &k) {
  wchar_t pfad[kanal_pfad_laenge];
  for (size_t i = 0; i < kanal_pfad_laenge; ++i)
    pfad[i] = static_cast<wchar_t>(k.vendor_pfad[i]);
  pfad[kanal_pfad_laenge - 1] = L'\0';
  switch (k.zustand) {
  case helfer_ohne_vendor:
    hinweisen(L"umFish40.DLL nicht gefunden: %ls, auch nicht in den Systemordnern und in PATH "
              L"(Fehler %lu: %ls)",
              pfad, static_cast<unsigned long>(k.vendor_fehler),
              systemtext(k.vendor_fehler, dateiname(pfad)).c_str());
    break;
  case helfer_vendor_unladbar:
    hinweisen(L"umFish40.DLL l\u00e4sst sich nicht laden: %ls (Fehler %lu: %ls)", pfad,
              static_cast<unsigned long>(k.vendor_fehler),
              systemtext(k.vendor_fehler, dateiname(pfad)).c_str());
    break;
  case helfer_vendor_unvollstaendig:
    hinweisen(L"umFish40.DLL ohne die Funktion %hs: %ls", funktionsname(k.vendor_fehlt), pfad);
    break;
  default:
    hinweisen(L"der Helfer meldet den unbekannten Zustand %ld", static_cast<long>(k.zustand));
    break;
  }
}

bool helfer_lebt() REQUIRES(bruecke.s) {
  return bruecke.aktiv.prozess != nullptr &&
         WaitForSingleObject(bruecke.aktiv.prozess, 0) == WAIT_TIMEOUT;
}

void helfer_aufgeben() REQUIRES(bruecke.s) {
  helfer &h = bruecke.aktiv;
  // Gone before a new one starts: one host, one helper.
  if (h.prozess != nullptr && TerminateProcess(h.prozess, 1))
    WaitForSingleObject(h.prozess, antwort_frist_ms);
  if (h.k != nullptr)
    UnmapViewOfFile(h.k);
  h.k = nullptr;
  schliessen(h.prozess);
  schliessen(h.speicher);
  schliessen(h.anfrage);
  schliessen(h.antwort);
}

// Waits for the helper's signal, or for its end. False if it ended or did
// not signal in time.
bool signal_abwarten(DWORD frist_ms) REQUIRES(bruecke.s) {
  const HANDLE worauf[] = {bruecke.aktiv.antwort, bruecke.aktiv.prozess};
  return WaitForMultipleObjects(2, worauf, FALSE, frist_ms) == WAIT_OBJECT_0;
}

double jetzt_us() {
  LARGE_INTEGER t;
  LARGE_INTEGER f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return 1e6 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Waits for the answer to the latest request: watching the block first, then
// asleep on the event. False if the helper ended or did not answer in time.
bool antwort_abwarten(DWORD frist_ms) REQUIRES(bruecke.s) {
  kanal &k = *bruecke.aktiv.k;
  const double wach_bis = jetzt_us() + wachen_us;
  while (!antwort_da(k) && jetzt_us() < wach_bis)
    SwitchToThread();
  const ULONGLONG frist = GetTickCount64() + frist_ms;
  k.bruecke_schlaeft = 1;
  // An event left set by an answer seen while watching wakes us for nothing:
  // the number tells.
  bool da = antwort_da(k);
  for (ULONGLONG jetzt = GetTickCount64(); !da && jetzt < frist; jetzt = GetTickCount64()) {
    if (!signal_abwarten(static_cast<DWORD>(frist - jetzt)))
      break;
    da = antwort_da(k);
  }
  k.bruecke_schlaeft = 0;
  return da;
}

// Sends one request to the running helper and waits for its answer.
bool anfrage_abschicken(int32_t funktion, const std::array<int32_t, 4> &werte, DWORD frist_ms)
    REQUIRES(bruecke.s) {
  if (anfrage_schreiben(*bruecke.aktiv.k, funktion, werte))
    SetEvent(bruecke.aktiv.anfrage);
  return antwort_abwarten(frist_ms);
}

// Asks a running helper to end, so that the vendor library is freed and its
// cleanup runs; kills one that does not take the request or does not end
// in time.
void helfer_beenden() REQUIRES(bruecke.s) {
  if (helfer_lebt() && bruecke.aktiv.k != nullptr &&
      anfrage_abschicken(kanal_helfer_beenden, {}, antwort_frist_ms))
    WaitForSingleObject(bruecke.aktiv.prozess, ende_frist_ms);
  helfer_aufgeben();
}

bool helfer_pfad(wchar_t (&pfad)[MAX_PATH + 64]) {
  HMODULE selbst = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&bruecke), &selbst))
    return false;
  const DWORD laenge = GetModuleFileNameW(selbst, pfad, MAX_PATH);
  if (laenge == 0 || laenge >= MAX_PATH)
    return false;
  wchar_t *ende = wcsrchr(pfad, L'\\');
  if (ende == nullptr)
    return false;
  wcscpy(ende + 1, L"bruecke32\\lumbrik-bruecke32.exe");
  return true;
}

HANDLE job_bereit() REQUIRES(bruecke.s) {
  if (bruecke.job != nullptr)
    return bruecke.job;
  bruecke.job = CreateJobObjectW(nullptr, nullptr);
  if (bruecke.job == nullptr)
    return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION grenzen{};
  grenzen.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(bruecke.job, JobObjectExtendedLimitInformation, &grenzen, sizeof grenzen);
  return bruecke.job;
}

// Starts the helper and waits until it has loaded the vendor library; says
// what is missing when that fails.
bool helfer_starten() REQUIRES(bruecke.s) {
  helfer &h = bruecke.aktiv;
  wchar_t pfad[MAX_PATH + 64];
  if (!helfer_pfad(pfad)) {
    hinweisen(L"der Ordner der Br\u00fccke l\u00e4sst sich nicht bestimmen (Fehler %lu)",
              GetLastError());
    return false;
  }
  // Nameless and not inheritable: no process started by the host later
  // gets them; the helper duplicates them from the host.
  h.speicher =
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(kanal), nullptr);
  h.anfrage = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  h.antwort = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (h.speicher != nullptr && h.anfrage != nullptr && h.antwort != nullptr)
    h.k = static_cast<kanal *>(MapViewOfFile(h.speicher, FILE_MAP_WRITE, 0, 0, sizeof(kanal)));
  if (h.k == nullptr) {
    const DWORD fehler = GetLastError();
    hinweisen(L"kein Kanal zum Helfer (Fehler %lu: %ls)", fehler, systemtext(fehler, L"").c_str());
    return false;
  }
  // A new section is all zeros.
  h.k->kennung = kanal_kennung;

  // Handle values fit in 32 bits in processes of either width.
  wchar_t zeile[MAX_PATH + 160];
  _snwprintf(zeile, sizeof zeile / sizeof zeile[0], L"\"%ls\" %lu %lu %lu %lu", pfad,
             GetCurrentProcessId(),
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(h.speicher)),
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(h.anfrage)),
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(h.antwort)));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(pfad, zeile, nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                      nullptr, nullptr, &si, &pi)) {
    const DWORD fehler = GetLastError();
    hinweisen(fehler == ERROR_FILE_NOT_FOUND || fehler == ERROR_PATH_NOT_FOUND
                  ? L"Helfer nicht gefunden: %ls (Fehler %lu: %ls)"
                  : L"Helfer l\u00e4sst sich nicht starten: %ls (Fehler %lu: %ls)",
              pfad, fehler, systemtext(fehler, dateiname(pfad)).c_str());
    return false;
  }
  h.prozess = pi.hProcess;
  // Without a job the helper still ends with the host: it watches the host.
  HANDLE j = job_bereit();
  if (j != nullptr)
    AssignProcessToJobObject(j, pi.hProcess);
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  if (!signal_abwarten(start_frist_ms)) {
    DWORD code = 0;
    if (GetExitCodeProcess(h.prozess, &code) && code != STILL_ACTIVE)
      hinweisen(L"der Helfer endete, ehe er bereit war: %ls (Code %lu)", pfad, code);
    else
      hinweisen(L"der Helfer meldet sich nicht binnen %lu s: %ls", start_frist_ms / 1000, pfad);
    return false;
  }
  if (h.k->zustand != helfer_bereit) {
    vendor_fehler_hinweisen(*h.k);
    return false;
  }
  return true;
}

int32_t weiterreichen(int32_t funktion, const std::array<int32_t, 4> &werte) EXCLUDES(bruecke.s) {
  const gesperrt halten(bruecke.s);
  int32_t ergebnis = ohne_helfer(funktion);
  bool da = helfer_lebt();
  if (!da)
    helfer_aufgeben();
  // Only an open starts a helper: the host's next vorbereitung after a crash.
  if (!da && funktion == kanal_rbOpenInterfaceUSB) {
    da = helfer_starten();
    if (!da)
      helfer_aufgeben();
  }
  if (da) {
    if (anfrage_abschicken(funktion, werte,
                           funktion == kanal_rbOpenInterfaceUSB ? oeffnen_frist_ms
                                                                : antwort_frist_ms))
      ergebnis = bruecke.aktiv.k->ergebnis;
    else
      helfer_aufgeben();
  }
  return ergebnis;
}

} // namespace

extern "C" {
UMFISH40_FUNKTIONEN(KANAL_FUNKTION)

// The helper ends before the bridge goes: asked, so that the vendor library
// is freed and its cleanup runs, and killed only if it does not end in time.
// Without the analysis: at the host's end the state is used without the lock
// when a dead thread holds it, which no annotation can say.
BOOL WINAPI DllMain(HINSTANCE, DWORD grund, LPVOID beim_ende) OHNE_SPERRPRUEFUNG {
  if (grund != DLL_PROCESS_DETACH)
    return TRUE;
  if (beim_ende == nullptr) {
    // Unloaded: a call still running on another thread ends first.
    const gesperrt halten(bruecke.s);
    helfer_beenden();
    schliessen(bruecke.job);
    return TRUE;
  }
  // The host ends: its other threads are gone. One that died in a call still
  // holds the lock; its request is then answered first, or the helper is
  // given up. The job closes with the host.
  const bool frei = bruecke.s.versuchen();
  if (!frei && bruecke.aktiv.k != nullptr && !antwort_abwarten(antwort_frist_ms))
    helfer_aufgeben();
  helfer_beenden();
  if (frei)
    bruecke.s.freigeben();
  return TRUE;
}
}
