#include "hosts/gemeinsam/meldungen.h"

#include <algorithm>

namespace {

thread_local HHOOK haken = nullptr;
thread_local std::function<void(const meldungsbox &)> rueckruf;
// A box may be activated more than once; it is read only the first time.
thread_local std::vector<HWND> gelesen;

constexpr int text_id = 0xFFFF; // the static that holds a message box's text

std::string klasse(HWND fenster) {
  char name[64] = {};
  GetClassNameA(fenster, name, sizeof name);
  return name;
}

BOOL CALLBACK kind_ansehen(HWND kind, LPARAM daten) {
  meldungsbox &box = *reinterpret_cast<meldungsbox *>(daten);
  // The box itself may not be shown yet, so look at the child's own style.
  const LONG stil = GetWindowLongA(kind, GWL_STYLE);
  if ((stil & WS_VISIBLE) == 0)
    return TRUE;
  const std::string art = klasse(kind);
  if (art == "Button")
    box.knoepfe.push_back(GetDlgCtrlID(kind));
  else if (art == "Static" && (stil & SS_TYPEMASK) == SS_ICON &&
           SendMessageA(kind, STM_GETICON, 0, 0) != 0)
    box.mit_symbol = true;
  return TRUE;
}

meldungsbox lesen(HWND fenster) {
  meldungsbox box{};
  char puffer[1024] = {};
  GetWindowTextA(fenster, puffer, sizeof puffer);
  box.titel = puffer;
  puffer[0] = '\0';
  GetDlgItemTextA(fenster, text_id, puffer, sizeof puffer);
  box.text = puffer;
  box.besitzer = GetWindow(fenster, GW_OWNER);
  EnumChildWindows(fenster, kind_ansehen, reinterpret_cast<LPARAM>(&box));
  return box;
}

LRESULT CALLBACK cbt(int code, WPARAM wparam, LPARAM lparam) {
  HWND fenster = reinterpret_cast<HWND>(wparam);
  if (code == HCBT_DESTROYWND)
    std::erase(gelesen, fenster);
  if (code == HCBT_ACTIVATE &&
      std::find(gelesen.begin(), gelesen.end(), fenster) == gelesen.end()) {
    if (klasse(fenster) == "#32770" && rueckruf) {
      gelesen.push_back(fenster);
      rueckruf(lesen(fenster));
      PostMessageA(fenster, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(fenster, IDOK)));
    }
  }
  return CallNextHookEx(haken, code, wparam, lparam);
}

} // namespace

void meldungen_abfangen(std::function<void(const meldungsbox &)> bei_box) {
  rueckruf = std::move(bei_box);
  if (haken == nullptr)
    haken = SetWindowsHookExA(WH_CBT, cbt, nullptr, GetCurrentThreadId());
}

void meldungen_freigeben() {
  if (haken != nullptr)
    UnhookWindowsHookEx(haken);
  haken = nullptr;
  rueckruf = nullptr;
}
