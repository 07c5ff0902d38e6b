// Escape for lumbrik's pause, which watches the calling thread's message
// queue for key-downs: a WM_KEYDOWN with VK_ESCAPE posted there is what a
// real key press would be.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <queue>
#include <thread>
#include <utility>
#include <vector>

// escape_nach: Escape "pressed" later, for a script. After `zehntel` tenths
// of a second it is due: posted to the thread `ziel` at once if a pause runs
// there, else when the next pause begins. A message box's loop would take a
// key-down from the queue and drop it, so none waits there outside a pause.
// The alarms run on one thread that the destructor stops: no thread of the
// console's may still run while the process ends (where 32-bit Windows
// programs run under qemu-user, that crashes the process at random).
class escape_wecker {
public:
  escape_wecker() = default;
  ~escape_wecker();
  escape_wecker(const escape_wecker &) = delete;
  escape_wecker &operator=(const escape_wecker &) = delete;

  void stellen(int32_t zehntel, unsigned long ziel);

private:
  using zeitpunkt = std::chrono::steady_clock::time_point;
  using weckzeit = std::pair<zeitpunkt, unsigned long>;
  void laufen();

  std::mutex sperre_;
  std::condition_variable geweckt_;
  // The earliest first.
  std::priority_queue<weckzeit, std::vector<weckzeit>, std::greater<>> weckzeiten_;
  bool ende_ = false;
  // Started with the first alarm: most scripts set none.
  std::thread faden_;
};

// Strg+C (or Strg+Untbr) ends the console, as it ends any console program,
// but not in the middle of a command: a running pause is cut short as by
// Escape, so lumbrik stops the motors, and the console ends after the
// command. Installs the handler for the thread `ziel` that calls lumbrik.
void strg_c_abfangen(unsigned long ziel);
// Whether Strg+C was pressed.
bool strg_c_gedrueckt();

// Brackets lumbrik's pause on the thread that calls it: Escapes that came due
// go in at its start; one the pause left in the queue is taken back at its
// end, for the next pause.
class escape_pause {
public:
  explicit escape_pause(unsigned long ziel);
  ~escape_pause();
  escape_pause(const escape_pause &) = delete;
  escape_pause &operator=(const escape_pause &) = delete;
};

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
