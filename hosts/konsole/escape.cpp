#include "hosts/konsole/escape.h"

#include <windows.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Repeat count 1 and the key's scan code, as the keyboard would send it.
constexpr LPARAM escape_taste = 0x00010001;

struct escape_plan {
  std::mutex sperre;
  unsigned long ziel = 0;
  bool strg_c = false;
  bool in_pause = false;
  // Escapes that came due while no pause ran.
  int faellig = 0;
};

// Never destroyed: the Strg+C handler runs on a thread of Windows' own.
escape_plan &plan() {
  static escape_plan *p = new escape_plan;
  return *p;
}

void escape_posten(unsigned long ziel) {
  PostThreadMessageA(ziel, WM_KEYDOWN, VK_ESCAPE, escape_taste);
}

// Runs on a thread of its own, which Windows starts for the event.
BOOL WINAPI bei_strg_c(DWORD ereignis) {
  if (ereignis != CTRL_C_EVENT && ereignis != CTRL_BREAK_EVENT)
    return FALSE;
  std::lock_guard<std::mutex> halten(plan().sperre);
  plan().strg_c = true;
  if (plan().in_pause)
    escape_posten(plan().ziel);
  return TRUE;
}

} // namespace

void strg_c_abfangen(unsigned long ziel) {
  {
    std::lock_guard<std::mutex> halten(plan().sperre);
    plan().ziel = ziel;
  }
  SetConsoleCtrlHandler(bei_strg_c, TRUE);
}

bool strg_c_gedrueckt() {
  std::lock_guard<std::mutex> halten(plan().sperre);
  return plan().strg_c;
}

void escape_wecker::stellen(int32_t zehntel, unsigned long ziel) {
  const zeitpunkt wann =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(int64_t{zehntel} * 100);
  std::lock_guard<std::mutex> halten(sperre_);
  weckzeiten_.emplace(wann, ziel);
  if (!faden_.joinable())
    faden_ = std::thread(&escape_wecker::laufen, this);
  geweckt_.notify_one();
}

escape_wecker::~escape_wecker() {
  {
    std::lock_guard<std::mutex> halten(sperre_);
    ende_ = true;
  }
  geweckt_.notify_one();
  if (faden_.joinable())
    faden_.join();
}

void escape_wecker::laufen() {
  std::unique_lock<std::mutex> halten(sperre_);
  while (!ende_) {
    if (weckzeiten_.empty()) {
      geweckt_.wait(halten);
      continue;
    }
    const weckzeit naechste = weckzeiten_.top();
    if (std::chrono::steady_clock::now() < naechste.first) {
      geweckt_.wait_until(halten, naechste.first);
      continue;
    }
    weckzeiten_.pop();
    // Not under our lock: the pause's side takes the plan's.
    halten.unlock();
    {
      std::lock_guard<std::mutex> plan_halten(plan().sperre);
      if (plan().in_pause)
        escape_posten(naechste.second);
      else
        ++plan().faellig;
    }
    halten.lock();
  }
}

escape_pause::escape_pause(unsigned long ziel) {
  std::lock_guard<std::mutex> halten(plan().sperre);
  plan().in_pause = true;
  for (; plan().faellig > 0; --plan().faellig)
    escape_posten(ziel);
}

escape_pause::~escape_pause() {
  std::lock_guard<std::mutex> halten(plan().sperre);
  plan().in_pause = false;
  // The console thread has no window: every key-down in its queue was
  // posted for a pause.
  MSG nachricht;
  while (PeekMessageA(&nachricht, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
    if (nachricht.wParam == VK_ESCAPE)
      ++plan().faellig;
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
