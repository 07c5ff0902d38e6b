#include "escape.h"

#include <windows.h>

#include <chrono>
#include <thread>
#include <vector>

void escape_senden_nach(int32_t zehntel, unsigned long ziel) {
  // Detached: a script that ends first simply ends the process with it.
  std::thread([zehntel, ziel] {
    std::this_thread::sleep_for(std::chrono::milliseconds(int64_t{zehntel} * 100));
    // Repeat count 1 and the key's scan code, as the keyboard would send it.
    constexpr LPARAM taste = 0x00010001;
    PostThreadMessageA(ziel, WM_KEYDOWN, VK_ESCAPE, taste);
  }).detach();
}

namespace {

// How often the console input is looked at during a pause.
constexpr DWORD nachsehen_ms = 20;

bool ist_escape(const INPUT_RECORD &ereignis) {
  const KEY_EVENT_RECORD &taste = ereignis.Event.KeyEvent;
  return ereignis.EventType == KEY_EVENT && taste.bKeyDown && taste.wVirtualKeyCode == VK_ESCAPE;
}

// Takes the input up to and including the first Escape out of the console
// and returns that Escape's scan code, or -1; input without Escape stays
// where it is, for the next typed line.
int escape_herausnehmen(HANDLE konsole) {
  DWORD anzahl = 0;
  if (!GetNumberOfConsoleInputEvents(konsole, &anzahl) || anzahl == 0)
    return -1;
  std::vector<INPUT_RECORD> ereignisse(anzahl);
  DWORD gesehen = 0;
  if (!PeekConsoleInputW(konsole, ereignisse.data(), anzahl, &gesehen))
    return -1;
  for (DWORD i = 0; i < gesehen; ++i) {
    if (!ist_escape(ereignisse[i]))
      continue;
    DWORD gelesen = 0;
    ReadConsoleInputW(konsole, ereignisse.data(), i + 1, &gelesen);
    return ereignisse[i].Event.KeyEvent.wVirtualScanCode & 0xFF;
  }
  return -1;
}

} // namespace

escape_weiterleitung::escape_weiterleitung(void *konsole, unsigned long ziel)
    : stopp_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  waechter_ = std::thread([konsole, ziel, stopp = stopp_] {
    while (WaitForSingleObject(stopp, nachsehen_ms) == WAIT_TIMEOUT) {
      const int scancode = escape_herausnehmen(konsole);
      // Repeat count 1 and the key's scan code, as a window would get it.
      if (scancode >= 0)
        PostThreadMessageA(ziel, WM_KEYDOWN, VK_ESCAPE,
                           static_cast<LPARAM>(1u | static_cast<unsigned>(scancode) << 16));
    }
  });
}

escape_weiterleitung::~escape_weiterleitung() {
  SetEvent(stopp_);
  waechter_.join();
  CloseHandle(stopp_);
}
