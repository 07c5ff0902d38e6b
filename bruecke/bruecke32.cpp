// lumbrik-bruecke32.exe: the 32-bit helper of the bridge. It loads the
// vendor's umFish40.DLL (from its own folder first) and makes each call the
// bridge sends over the channel whose handles it got on its command line.
// It ends when its host ends.
//
//   lumbrik-bruecke32.exe <speicher> <anfrage> <antwort> <gastgeber>
#include "kanal.h"

#include <windows.h>

#include <cwchar>

namespace {

#define HELFER_ZEIGER(name, ...) decltype(&::name) name;
struct vendor_tabelle {
  UMFISH40_FUNKTIONEN(HELFER_ZEIGER)
};
#undef HELFER_ZEIGER

bool vendor_laden(vendor_tabelle &t) {
  // Not from the current folder: that is usually the host's, where the
  // 64-bit bridge of the same name sits.
  SetDllDirectoryW(L"");
  HMODULE vendor = LoadLibraryW(L"umFish40.DLL");
  if (vendor == nullptr)
    return false;
  bool alle = true;
#define HELFER_SUCHEN(name, ...)                                                                   \
  t.name =                                                                                         \
      reinterpret_cast<decltype(t.name)>(reinterpret_cast<void *>(GetProcAddress(vendor, #name))); \
  alle = alle && t.name != nullptr;
  UMFISH40_FUNKTIONEN(HELFER_SUCHEN)
#undef HELFER_SUCHEN
  return alle;
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

} // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): our own names
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR zeile, int) {
  // Four handle values, in decimal.
  HANDLE handles[4] = {};
  wchar_t *rest = zeile;
  for (HANDLE &h : handles) {
    wchar_t *ende = rest;
    h = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::wcstoul(rest, &ende, 10)));
    if (ende == rest)
      return 2;
    rest = ende;
  }
  const auto [speicher, anfrage, antwort, gastgeber] = handles;
  auto *k = static_cast<kanal *>(MapViewOfFile(speicher, FILE_MAP_WRITE, 0, 0, sizeof(kanal)));
  if (k == nullptr || k->kennung != kanal_kennung)
    return 2;

  vendor_tabelle tabelle{};
  k->zustand = vendor_laden(tabelle) ? helfer_bereit : helfer_ohne_vendor;
  SetEvent(antwort);
  if (k->zustand != helfer_bereit)
    return 3;

  const HANDLE worauf[] = {anfrage, gastgeber};
  for (;;) {
    if (!anfrage_erwarten(*k)) {
      k->helfer_schlaeft = 1;
      // A request written just before the flag was set would wake nobody:
      // look once more before sleeping.
      const bool schlafen = !anfrage_da(*k);
      if (schlafen && WaitForMultipleObjects(2, worauf, FALSE, INFINITE) != WAIT_OBJECT_0)
        return 0; // the host has ended (or a handle broke): nobody is left to answer
      k->helfer_schlaeft = 0;
      // The event may have been left set for a request already answered.
      if (!anfrage_da(*k))
        continue;
    }
    if (anfrage_bedienen(*k, tabelle))
      SetEvent(antwort);
  }
}
