// A host of the recorder's tests that calls the umFish40.DLL beside it (the
// recorder) straight, without lumbrik.dll:
//   mitschnitt_host durchreichen   every call through the recorder against
//                                  the same call of echt\umFish40.DLL; prints
//                                  what input 1 read, exit code 1 on a difference
//   mitschnitt_host toeten MS [RUHE]
//                                  switches output 1 every 20 ms and polls for
//                                  MS milliseconds, then only polls for RUHE
//                                  ms, then ends as a killed process does
//                                  (exit code 9, no clean-up); prints the
//                                  last value it set
//   mitschnitt_host faeden         two threads switch output 1 on and off at
//                                  once; prints what the box holds at the end
#include "src/umFish40.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

#define HOST_ZEIGER(name, ...) decltype(&::name) name;
struct tabelle {
  UMFISH40_FUNKTIONEN(HOST_ZEIGER)
};
#undef HOST_ZEIGER

std::wstring ordner() {
  wchar_t pfad[MAX_PATH] = {};
  std::wstring p(pfad, GetModuleFileNameW(nullptr, pfad, MAX_PATH));
  return p.substr(0, p.find_last_of(L'\\') + 1);
}

bool laden(const std::wstring &pfad, tabelle &t) {
  const HMODULE m = LoadLibraryW(pfad.c_str());
  if (!m)
    return false;
#define HOST_SUCHEN(name, ...)                                                                     \
  t.name = reinterpret_cast<decltype(t.name)>(reinterpret_cast<void *>(GetProcAddress(m, #name)));
  UMFISH40_FUNKTIONEN(HOST_SUCHEN)
#undef HOST_SUCHEN
  return true;
}

int durchreichen() {
  tabelle mit{}, echt{};
  // The recorder first: it loads the vendor's library, which the second
  // load then shares.
  if (!laden(ordner() + L"umFish40.DLL", mit))
    return 2;
  const uint32_t handle = mit.rbOpenInterfaceUSB(0, 0);
  if (!laden(ordner() + L"echt\\umFish40.DLL", echt))
    return 2;
  int unterschiede = 0;
  const auto vergleichen = [&](const char *was, int64_t a, int64_t b) {
    if (a != b) {
      std::printf("%s: %lld statt %lld\n", was, static_cast<long long>(a),
                  static_cast<long long>(b));
      ++unterschiede;
    }
  };
  vergleichen("rbOpenInterfaceUSB(0, 0)", handle, echt.rbOpenInterfaceUSB(0, 0));
  const uint32_t handles[] = {handle, 0, oeffnen_fehlgeschlagen, 0xFFFFFFFFu};
  const int32_t zahlen[] = {1, 8, 0, -5, 0x7FFFFFFF, INT32_MIN};
  for (uint32_t h : handles) {
    vergleichen("rbGetMotors", mit.rbGetMotors(h), echt.rbGetMotors(h));
    vergleichen("rbSetMotors", mit.rbSetMotors(h, static_cast<int32_t>(h)),
                echt.rbSetMotors(h, static_cast<int32_t>(h)));
    for (int32_t n : zahlen) {
      vergleichen("rbSetLampEx", mit.rbSetLampEx(h, n, 1, -n), echt.rbSetLampEx(h, n, 1, -n));
      vergleichen("rbSetMotorEx", mit.rbSetMotorEx(h, n, -1, n), echt.rbSetMotorEx(h, n, -1, n));
      vergleichen("rbGetInput", mit.rbGetInput(h, n), echt.rbGetInput(h, n));
      vergleichen("rbGetAnalog", mit.rbGetAnalog(h, n), echt.rbGetAnalog(h, n));
      vergleichen("rbGetVoltage", mit.rbGetVoltage(h, n), echt.rbGetVoltage(h, n));
    }
  }
  // What the recorder must have traced for input 1.
  std::printf("eingang 1: %d\n", echt.rbGetInput(handle, 1));
  vergleichen("rbOpenInterfaceUSB(-1, INT_MAX)", mit.rbOpenInterfaceUSB(-1, 0x7FFFFFFF),
              echt.rbOpenInterfaceUSB(-1, 0x7FFFFFFF));
  return unterschiede == 0 ? 0 : 1;
}

int toeten(DWORD dauer, DWORD ruhe) {
  tabelle t{};
  if (!laden(ordner() + L"umFish40.DLL", t))
    return 2;
  const uint32_t handle = t.rbOpenInterfaceUSB(0, 0);
  const DWORD start = GetTickCount();
  int32_t an = 0;
  for (DWORD umgeschaltet = start; GetTickCount() - start < dauer;) {
    if (GetTickCount() - umgeschaltet >= 20) {
      an = 1 - an;
      t.rbSetLampEx(handle, 1, an, 7);
      umgeschaltet = GetTickCount();
    }
    t.rbGetInput(handle, 1);
  }
  std::printf("zuletzt: %d\n", an * 7);
  for (const DWORD ende = GetTickCount(); GetTickCount() - ende < ruhe;)
    t.rbGetInput(handle, 1);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 9);
  return 3;
}

tabelle faeden_tabelle{};
uint32_t faeden_handle = 0;

DWORD WINAPI umschalten(void *an) {
  for (int i = 0; i < 2000; ++i)
    faeden_tabelle.rbSetLampEx(faeden_handle, 1, an != nullptr ? 1 : 0, 7);
  return 0;
}

int faeden() {
  if (!laden(ordner() + L"umFish40.DLL", faeden_tabelle))
    return 2;
  faeden_handle = faeden_tabelle.rbOpenInterfaceUSB(0, 0);
  static int ein = 1;
  HANDLE f[] = {CreateThread(nullptr, 0, umschalten, &ein, 0, nullptr),
                CreateThread(nullptr, 0, umschalten, nullptr, 0, nullptr)};
  WaitForMultipleObjects(2, f, TRUE, INFINITE);
  std::printf("ausgang 1: %d\n", (faeden_tabelle.rbGetMotors(faeden_handle) & 1) * 7);
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc >= 2 && std::strcmp(argv[1], "durchreichen") == 0)
    return durchreichen();
  if (argc >= 3 && std::strcmp(argv[1], "toeten") == 0)
    return toeten(static_cast<DWORD>(std::atoi(argv[2])),
                  argc >= 4 ? static_cast<DWORD>(std::atoi(argv[3])) : 0);
  if (argc >= 2 && std::strcmp(argv[1], "faeden") == 0)
    return faeden();
  std::fprintf(stderr, "Aufruf: mitschnitt_host durchreichen | toeten MS [RUHE] | faeden\n");
  return 2;
}
