// The bridge: a 64-bit umFish40.DLL that 64-bit lumbrik.dll loads like the
// vendor's. Each vendor call goes to the helper lumbrik-bruecke32.exe, a
// 32-bit process that loads the real umFish40.DLL; the result comes back
// unchanged.
//
// The helper starts at the first rbOpenInterfaceUSB, from the folder
// bruecke32 beside this DLL, where the vendor's 32-bit umFish40.DLL may sit
// without clashing with this one. Its channel is nameless: only handles
// passed down at its start reach it. A job object ends it with the host.
#include "kanal.h"

#include <windows.h>

#include <cstdio>

namespace {

// A vendor call takes microseconds; one that has not answered by then has a
// helper that will not.
constexpr DWORD antwort_frist_ms = 2000;
// Opening finds the device on the bus first, which may take a while.
constexpr DWORD oeffnen_frist_ms = 10000;
// A 32-bit start may be slow where 32-bit code is emulated.
constexpr DWORD start_frist_ms = 30000;
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

// Hosts may call from more than one thread: one call on the channel at a time.
SRWLOCK sperre = SRWLOCK_INIT;
helfer aktiv{};
// Kept open for the life of the host: closing it (also when the host is
// killed) ends the helper.
HANDLE job = nullptr;

void schliessen(HANDLE &h) {
  if (h != nullptr)
    CloseHandle(h);
  h = nullptr;
}

void helfer_aufgeben() {
  // Gone before a new one starts: one host, one helper.
  if (aktiv.prozess != nullptr && TerminateProcess(aktiv.prozess, 1))
    WaitForSingleObject(aktiv.prozess, antwort_frist_ms);
  if (aktiv.k != nullptr)
    UnmapViewOfFile(aktiv.k);
  aktiv.k = nullptr;
  schliessen(aktiv.prozess);
  schliessen(aktiv.speicher);
  schliessen(aktiv.anfrage);
  schliessen(aktiv.antwort);
}

// Waits for the helper's signal, or for its end. False if it ended or did
// not signal in time.
bool signal_abwarten(DWORD frist_ms) {
  const HANDLE worauf[] = {aktiv.antwort, aktiv.prozess};
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
bool antwort_abwarten(DWORD frist_ms) {
  kanal &k = *aktiv.k;
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

bool helfer_pfad(wchar_t (&pfad)[MAX_PATH + 64]) {
  HMODULE selbst = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&sperre), &selbst))
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

HANDLE job_bereit() {
  if (job != nullptr)
    return job;
  job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr)
    return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION grenzen{};
  grenzen.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &grenzen, sizeof grenzen);
  return job;
}

// Starts the process with exactly `erben` inherited where the system lets us
// name them; otherwise it inherits every inheritable handle of the host.
bool prozess_starten(wchar_t *pfad, wchar_t *zeile, HANDLE (&erben)[4], PROCESS_INFORMATION &pi) {
  STARTUPINFOEXW si{};
  si.StartupInfo.cb = sizeof si;
  SIZE_T groesse = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &groesse);
  alignas(16) unsigned char platz[256];
  DWORD flaggen = CREATE_SUSPENDED | CREATE_NO_WINDOW;
  if (groesse <= sizeof platz) {
    auto *liste = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(platz);
    if (InitializeProcThreadAttributeList(liste, 1, 0, &groesse) &&
        UpdateProcThreadAttribute(liste, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, erben, sizeof erben,
                                  nullptr, nullptr)) {
      si.lpAttributeList = liste;
      si.StartupInfo.cb = sizeof si;
      flaggen |= EXTENDED_STARTUPINFO_PRESENT;
    }
  }
  const BOOL gestartet = CreateProcessW(pfad, zeile, nullptr, nullptr, TRUE, flaggen, nullptr,
                                        nullptr, &si.StartupInfo, &pi);
  if (si.lpAttributeList != nullptr)
    DeleteProcThreadAttributeList(si.lpAttributeList);
  return gestartet != FALSE;
}

// Starts the helper and waits until it has loaded the vendor library.
bool helfer_starten() {
  wchar_t pfad[MAX_PATH + 64];
  if (!helfer_pfad(pfad))
    return false;
  SECURITY_ATTRIBUTES erblich{sizeof erblich, nullptr, TRUE};
  aktiv.speicher =
      CreateFileMappingW(INVALID_HANDLE_VALUE, &erblich, PAGE_READWRITE, 0, sizeof(kanal), nullptr);
  aktiv.anfrage = CreateEventW(&erblich, FALSE, FALSE, nullptr);
  aktiv.antwort = CreateEventW(&erblich, FALSE, FALSE, nullptr);
  HANDLE gastgeber = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &gastgeber,
                  SYNCHRONIZE, TRUE, 0);
  if (aktiv.speicher == nullptr || aktiv.anfrage == nullptr || aktiv.antwort == nullptr ||
      gastgeber == nullptr) {
    schliessen(gastgeber);
    return false;
  }
  aktiv.k =
      static_cast<kanal *>(MapViewOfFile(aktiv.speicher, FILE_MAP_WRITE, 0, 0, sizeof(kanal)));
  if (aktiv.k == nullptr) {
    schliessen(gastgeber);
    return false;
  }
  // A new section is all zeros.
  aktiv.k->kennung = kanal_kennung;

  // Handle values fit in 32 bits in processes of either width.
  wchar_t zeile[MAX_PATH + 160];
  _snwprintf(zeile, sizeof zeile / sizeof zeile[0], L"\"%ls\" %lu %lu %lu %lu", pfad,
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(aktiv.speicher)),
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(aktiv.anfrage)),
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(aktiv.antwort)),
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(gastgeber)));
  HANDLE erben[4] = {aktiv.speicher, aktiv.anfrage, aktiv.antwort, gastgeber};
  PROCESS_INFORMATION pi{};
  const bool gestartet = prozess_starten(pfad, zeile, erben, pi);
  schliessen(gastgeber);
  if (!gestartet)
    return false;
  aktiv.prozess = pi.hProcess;
  // Without a job the helper still ends with the host: it watches our handle.
  HANDLE j = job_bereit();
  if (j != nullptr)
    AssignProcessToJobObject(j, pi.hProcess);
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  return signal_abwarten(start_frist_ms) && aktiv.k->zustand == helfer_bereit;
}

int32_t weiterreichen(int32_t funktion, const std::array<int32_t, 4> &werte) {
  AcquireSRWLockExclusive(&sperre);
  int32_t ergebnis = ohne_helfer(funktion);
  bool da = aktiv.prozess != nullptr && WaitForSingleObject(aktiv.prozess, 0) == WAIT_TIMEOUT;
  if (!da)
    helfer_aufgeben();
  // Only an open starts a helper: the host's next vorbereitung after a crash.
  if (!da && funktion == kanal_rbOpenInterfaceUSB) {
    da = helfer_starten();
    if (!da)
      helfer_aufgeben();
  }
  if (da) {
    if (anfrage_schreiben(*aktiv.k, funktion, werte))
      SetEvent(aktiv.anfrage);
    if (antwort_abwarten(funktion == kanal_rbOpenInterfaceUSB ? oeffnen_frist_ms
                                                              : antwort_frist_ms))
      ergebnis = aktiv.k->ergebnis;
    else
      helfer_aufgeben();
  }
  ReleaseSRWLockExclusive(&sperre);
  return ergebnis;
}

} // namespace

extern "C" {
UMFISH40_FUNKTIONEN(KANAL_FUNKTION)

// A host that unloads the bridge leaves no helper behind; at the host's end
// the job does it.
BOOL WINAPI DllMain(HINSTANCE, DWORD grund, LPVOID beim_ende) {
  if (grund == DLL_PROCESS_DETACH && beim_ende == nullptr) {
    helfer_aufgeben();
    schliessen(job);
  }
  return TRUE;
}
}
