// A host with a window of its own that waits in lumbrik's pause until a real
// Escape key press reaches it through the X server. Exit code 0 when the
// pause was cut short by Escape, 1 when it ran out, 2 when set-up failed.
#include "include/lumbrik.h"

#include <windows.h>

#include <cstdio>

int main() {
  HMODULE modul = LoadLibraryA(LUMBRIK_DLL_PFAD);
  if (modul == nullptr)
    return 2;
  auto pause_ = reinterpret_cast<decltype(&::pause)>(
      reinterpret_cast<void *>(GetProcAddress(modul, "pause")));
  auto gib_fehler_ = reinterpret_cast<decltype(&::gib_fehler)>(
      reinterpret_cast<void *>(GetProcAddress(modul, "gib_fehler")));
  if (pause_ == nullptr || gib_fehler_ == nullptr)
    return 2;

  // Keys typed into a window of this thread land in this thread's queue.
  HWND fenster =
      CreateWindowExA(0, "STATIC", "lumbrik Tastentest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                      320, 120, nullptr, nullptr, nullptr, nullptr);
  if (fenster == nullptr)
    return 2;
  SetForegroundWindow(fenster);
  SetFocus(fenster);

  std::puts("bereit");
  std::fflush(stdout);
  pause_(300); // 30 s at most
  const unsigned char abgebrochen = gib_fehler_();
  std::printf("gib_fehler: %d\n", abgebrochen);
  DestroyWindow(fenster);
  return abgebrochen == 1 ? 0 : 1;
}
