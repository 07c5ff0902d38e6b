// A console program gets no key messages: keys typed in its console arrive
// as console input only. While a pause runs at an interactive console, this
// turns an Escape typed there into the key-down message lumbrik's pause
// watches for, so Escape really cuts the pause short.
#pragma once

#include <thread>

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
