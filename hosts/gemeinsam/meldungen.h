// Catches the message boxes of the calling thread: each box is read (text,
// caption, buttons, owner, icon), handed to a callback and closed with OK.
// Test hosts assert on what they read; the console prints it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct meldungsbox {
  std::string titel;
  std::string text;
  HWND besitzer;
  // Control ids of the visible buttons, in window order.
  std::vector<int> knoepfe;
  bool mit_symbol;
};

// From now on every message box of this thread is caught. Replaces an
// earlier callback of the same thread.
void meldungen_abfangen(std::function<void(const meldungsbox &)> bei_box);

// Boxes of this thread are left to the user again.
void meldungen_freigeben();
