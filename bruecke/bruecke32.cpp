// lumbrik-bruecke32.exe: the 32-bit helper of the bridge. It loads the
// vendor's umFish40.DLL (from its own folder first) and makes each call the
// bridge sends over the channel. It ends when the bridge asks it to, freeing
// the vendor library first, or when its host ends.
//
//   lumbrik-bruecke32.exe <host's process id> <speicher> <anfrage> <antwort>
//
// The three handles are the host's: the helper takes copies of them from the
// host, so that they are never inheritable there.
#include "bruecke/kanal.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>

namespace {

#define HELFER_ZEIGER(name, ...) decltype(&::name) name;
struct vendor_tabelle {
  UMFISH40_FUNKTIONEN(HELFER_ZEIGER)
};
#undef HELFER_ZEIGER

void pfad_melden(kanal &k, const wchar_t *pfad) {
  size_t i = 0;
  for (; pfad[i] != L'\0' && i + 1 < k.vendor_pfad.size(); ++i)
    k.vendor_pfad[i] = static_cast<char16_t>(pfad[i]);
  k.vendor_pfad[i] = u'\0';
}

// The folders LoadLibraryW searches for the vendor library here, in its
// order: the helper's own, the system's, then PATH (not the current one).
std::wstring suchweg(const std::wstring &eigener_ordner) {
  wchar_t system[MAX_PATH] = {};
  wchar_t windows[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  GetWindowsDirectoryW(windows, MAX_PATH);
  std::wstring weg = eigener_ordner + L';' + system + L';' + windows;
  const DWORD laenge = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  if (laenge > 1) {
    std::wstring path(laenge, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), laenge));
    weg += L';' + path;
  }
  return weg;
}

// Loads the vendor library and finds its eight functions. Otherwise says in
// the block what went wrong, for the bridge's message, and returns null.
HMODULE vendor_laden(vendor_tabelle &t, kanal &k) {
  // Not from the current folder: that is usually the host's, where the
  // 64-bit bridge of the same name sits.
  SetDllDirectoryW(L"");
  HMODULE vendor = LoadLibraryW(L"umFish40.DLL");
  if (vendor == nullptr) {
    k.vendor_fehler = GetLastError();
    // Names the file the search found and could not load, or else the
    // first place it looked.
    wchar_t selbst[MAX_PATH] = {};
    const DWORD laenge = GetModuleFileNameW(nullptr, selbst, MAX_PATH);
    std::wstring ordner(selbst, laenge < MAX_PATH ? laenge : 0);
    ordner.resize(std::min(ordner.size(), ordner.find_last_of(L'\\')));
    wchar_t gefunden[MAX_PATH] = {};
    const DWORD da =
        SearchPathW(suchweg(ordner).c_str(), L"umFish40.DLL", nullptr, MAX_PATH, gefunden, nullptr);
    k.zustand = da > 0 && da < MAX_PATH ? helfer_vendor_unladbar : helfer_ohne_vendor;
    pfad_melden(k, k.zustand == helfer_vendor_unladbar ? gefunden
                                                       : (ordner + L"\\umFish40.DLL").c_str());
    return nullptr;
  }
#define HELFER_SUCHEN(name, ...)                                                                   \
  t.name =                                                                                         \
      reinterpret_cast<decltype(t.name)>(reinterpret_cast<void *>(GetProcAddress(vendor, #name))); \
  if (t.name == nullptr && k.vendor_fehlt == kanal_keine)                                          \
    k.vendor_fehlt = kanal_##name;
  UMFISH40_FUNKTIONEN(HELFER_SUCHEN)
#undef HELFER_SUCHEN
  if (k.vendor_fehlt == kanal_keine)
    return vendor;
  wchar_t pfad[MAX_PATH] = {};
  GetModuleFileNameW(vendor, pfad, MAX_PATH);
  pfad_melden(k, pfad);
  k.zustand = helfer_vendor_unvollstaendig;
  FreeLibrary(vendor);
  return nullptr;
}

// Watches the block for the next request for a while after each answer: a
// host that calls in a loop then finds the helper awake. Half a millisecond,
// yielding the core meanwhile.
bool anfrage_erwarten(const kanal &k) {
  LARGE_INTEGER f;
  LARGE_INTEGER t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  const LONGLONG bis = t.QuadPart + f.QuadPart / 2000;
  while (!anfrage_da(k)) {
    QueryPerformanceCounter(&t);
    if (t.QuadPart >= bis)
      return false;
    SwitchToThread();
  }
  return true;
}

// Serves requests until the bridge asks the helper to end (true) or the host
// has ended (false).
bool bedienen(kanal &k, const vendor_tabelle &tabelle, HANDLE anfrage, HANDLE antwort,
              HANDLE gastgeber) {
  const HANDLE worauf[] = {anfrage, gastgeber};
  for (;;) {
    if (!anfrage_erwarten(k)) {
      k.helfer_schlaeft = 1;
      // A request written just before the flag was set would wake nobody:
      // look once more before sleeping.
      const bool schlafen = !anfrage_da(k);
      if (schlafen && WaitForMultipleObjects(2, worauf, FALSE, INFINITE) != WAIT_OBJECT_0)
        return false; // the host has ended (or a handle broke): nobody is left to answer
      k.helfer_schlaeft = 0;
      // The event may have been left set for a request already answered.
      if (!anfrage_da(k))
        continue;
    }
    // The request to end is answered like an unknown one, which tells the
    // bridge that the helper is still alive and now ends.
    const bool ende = k.funktion == kanal_helfer_beenden;
    if (anfrage_bedienen(k, tabelle))
      SetEvent(antwort);
    if (ende)
      return true;
  }
}

} // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): our own names
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR zeile, int) {
  // The host's process id and its three handle values, in decimal.
  unsigned long werte[4] = {};
  wchar_t *rest = zeile;
  for (unsigned long &w : werte) {
    wchar_t *ende = rest;
    w = std::wcstoul(rest, &ende, 10);
    if (ende == rest)
      return 2;
    rest = ende;
  }
  HANDLE holen = OpenProcess(PROCESS_DUP_HANDLE | SYNCHRONIZE, FALSE, werte[0]);
  if (holen == nullptr)
    return 2;
  HANDLE handles[3] = {};
  for (int i = 0; i < 3; ++i)
    if (!DuplicateHandle(holen, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(werte[i + 1])),
                         GetCurrentProcess(), &handles[i], 0, FALSE, DUPLICATE_SAME_ACCESS))
      return 2;
  // From here on the host is only waited for: the right to take its handles
  // is not kept while the vendor's code runs in this process.
  HANDLE gastgeber = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), holen, GetCurrentProcess(), &gastgeber, SYNCHRONIZE,
                       FALSE, DUPLICATE_CLOSE_SOURCE))
    return 2;
  const auto [speicher, anfrage, antwort] = handles;
  auto *k = static_cast<kanal *>(MapViewOfFile(speicher, FILE_MAP_WRITE, 0, 0, sizeof(kanal)));
  if (k == nullptr || k->kennung != kanal_kennung)
    return 2;

  vendor_tabelle tabelle{};
  HMODULE vendor = vendor_laden(tabelle, *k);
  if (vendor != nullptr)
    k->zustand = helfer_bereit;
  SetEvent(antwort);
  if (vendor == nullptr)
    return 3;

  bedienen(*k, tabelle, anfrage, antwort, gastgeber);
  // The vendor library's own cleanup runs now (the simulator writes its
  // report), not cut off by a kill.
  FreeLibrary(vendor);
  return 0;
}
