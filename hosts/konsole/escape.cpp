#include "escape.h"

#include <windows.h>

#include <chrono>
#include <thread>

void escape_senden_nach(int32_t zehntel, unsigned long ziel) {
  // Detached: a script that ends first simply ends the process with it.
  std::thread([zehntel, ziel] {
    std::this_thread::sleep_for(std::chrono::milliseconds(int64_t{zehntel} * 100));
    // Repeat count 1 and the key's scan code, as the keyboard would send it.
    constexpr LPARAM taste = 0x00010001;
    PostThreadMessageA(ziel, WM_KEYDOWN, VK_ESCAPE, taste);
  }).detach();
}
