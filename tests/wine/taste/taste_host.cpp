// A host with a window of its own that waits in lumbrik's pause until a real
// Escape key press reaches it through the X server. Exit code 0 when the
// pause was cut short by Escape, 1 when it ran out, 2 when set-up failed.
// With the argument "panel" it opens the simulated box first, so its window
// shows, and also wants input 1 switched on by a click into that window.
#include "hosts/gemeinsam/lumbrik_dll.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
  const bool mit_panel = argc > 1 && std::strcmp(argv[1], "panel") == 0;
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

  // The same simulated umFish40.DLL lumbrik.dll uses, opened without
  // lumbrik's boxes: its window appears.
  decltype(&sim_zustand_lesen) zustand_lesen = nullptr;
  if (mit_panel) {
    const std::optional<simulator_steuerung> sim = simulator_finden();
    using oeffnen_t = uint32_t(WINAPI *)(int32_t, int32_t);
    auto oeffnen = reinterpret_cast<oeffnen_t>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleA("umFish40.DLL"), "rbOpenInterfaceUSB")));
    if (!sim || oeffnen == nullptr || oeffnen(0, 0) == SIM_OEFFNEN_FEHLER)
      return 2;
    zustand_lesen = sim->zustand_lesen;
  }

  std::puts("bereit");
  std::fflush(stdout);
  dll.pause(300); // 30 s at most
  const unsigned char abgebrochen = dll.gib_fehler();
  std::printf("gib_fehler: %d\n", abgebrochen);
  bool geklickt = true;
  if (zustand_lesen != nullptr) {
    sim_zustand z{};
    zustand_lesen(&z);
    geklickt = z.eingang[0] > 0;
    std::printf("Eingang 1: %ld\n", static_cast<long>(z.eingang[0]));
  }
  DestroyWindow(fenster);
  return abgebrochen == 1 && geklickt ? 0 : 1;
}
