// A host with a window of its own that waits in lumbrik's pause until a real
// Escape key press reaches it through the X server. Exit code 0 when the
// pause was cut short by Escape, 1 when it ran out, 2 when set-up failed.
#include "lumbrik_dll.h"

#include <windows.h>

#include <cstdio>

int main() {
  lumbrik_exporte dll{};
  std::string meldung;
  if (!lumbrik_laden(LUMBRIK_DLL_PFAD, dll, meldung))
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
  dll.pause(300); // 30 s at most
  const unsigned char abgebrochen = dll.gib_fehler();
  std::printf("gib_fehler: %d\n", abgebrochen);
  DestroyWindow(fenster);
  return abgebrochen == 1 ? 0 : 1;
}
