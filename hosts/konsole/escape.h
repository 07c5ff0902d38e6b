// Escape for lumbrik's pause, which watches the calling thread's message
// queue for key-downs: a WM_KEYDOWN with VK_ESCAPE posted there is what a
// real key press would be.
#pragma once

#include <cstdint>
#include <thread>

// escape_nach: Escape "pressed" later, for a script. After `zehntel` tenths
// of a second, posts the key-down to the thread `ziel`, which must have a
// message queue by then.
void escape_senden_nach(int32_t zehntel, unsigned long ziel);

// A console program gets no key messages: keys typed in its console arrive
// as console input only. While a pause runs at an interactive console, this
// turns an Escape typed there into the key-down lumbrik's pause watches for.
class escape_weiterleitung {
public:
  // Watches the console input `konsole` for Escape and posts WM_KEYDOWN
  // (VK_ESCAPE) to the thread `ziel`. Other typed input stays for the next
  // line; only what was typed before an Escape is taken with it.
  escape_weiterleitung(void *konsole, unsigned long ziel);
  ~escape_weiterleitung();
  escape_weiterleitung(const escape_weiterleitung &) = delete;
  escape_weiterleitung &operator=(const escape_weiterleitung &) = delete;

private:
  void *stopp_;
  std::thread waechter_;
};
