#include "hosts/konsole/ein_ausgabe.h"

#include "basis/windows_text.h"
#include "hosts/gemeinsam/meldungen.h"
#include "hosts/konsole/zeichensatz.h"

#include <windows.h>

#include <string>

// --- Input ---

zeilenquelle::zeilenquelle() : handle_(GetStdHandle(STD_INPUT_HANDLE)) {
  DWORD modus = 0;
  konsole_ = offen() && GetConsoleMode(handle_, &modus);
}

zeilenquelle::zeilenquelle(const std::string &pfad)
    : handle_(CreateFileA(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)),
      eigen_(true) {}

zeilenquelle::~zeilenquelle() {
  if (eigen_ && offen())
    CloseHandle(handle_);
}

bool zeilenquelle::offen() const {
  return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
}

bool zeilenquelle::naechste(std::string &zeile) {
  if (!offen())
    return false;
  return konsole_ ? aus_konsole(zeile) : aus_datei(zeile);
}

void zeilenquelle::lesen() {
  char stueck[4096];
  DWORD gelesen = 0;
  // A pipe whose writer is gone fails rather than reading 0 bytes.
  if (!ReadFile(handle_, stueck, sizeof stueck, &gelesen, nullptr) || gelesen == 0)
    zu_ende_ = true;
  else
    puffer_.append(stueck, gelesen);
}

bool zeilenquelle::aus_datei(std::string &zeile) {
  for (;;) {
    // A script in UTF-16 (as PowerShell's > writes it) is taken whole and
    // converted: its line ends are two bytes each.
    if (erste_ && !schon_1252_ && utf16_skript_nach_1252(std::string_view(puffer_).substr(0, 2))) {
      while (!zu_ende_)
        lesen();
      puffer_ = *utf16_skript_nach_1252(puffer_);
      gesucht_ = 0;
      schon_1252_ = true;
    }
    // Only what came since the last look is searched: a long line read in
    // many pieces costs its length once, not once per piece.
    const size_t ende = puffer_.find('\n', gesucht_);
    gesucht_ = ende == std::string::npos ? puffer_.size() : 0;
    if (ende != std::string::npos || (zu_ende_ && !puffer_.empty())) {
      std::string roh = puffer_.substr(0, ende);
      puffer_.erase(0, ende == std::string::npos ? ende : ende + 1);
      if (!roh.empty() && roh.back() == '\r')
        roh.pop_back();
      // A byte order mark says UTF-8 and is no part of the first line.
      if (erste_ && roh.starts_with("\xEF\xBB\xBF"))
        roh.erase(0, 3);
      erste_ = false;
      zeile = schon_1252_ ? roh : eingabe_nach_1252(roh);
      return true;
    }
    if (zu_ende_)
      return false;
    lesen();
  }
}

bool zeilenquelle::aus_konsole(std::string &zeile) {
  for (;;) {
    const size_t ende = breiter_puffer_.find(L'\n');
    if (ende != std::wstring::npos || (zu_ende_ && !breiter_puffer_.empty())) {
      std::wstring roh = breiter_puffer_.substr(0, ende);
      breiter_puffer_.erase(0, ende == std::wstring::npos ? ende : ende + 1);
      if (!roh.empty() && roh.back() == L'\r')
        roh.pop_back();
      // Ctrl+Z at the start of a line ends the input, as it does for cmd.
      if (!roh.empty() && roh.front() == 0x1A) {
        zu_ende_ = true;
        breiter_puffer_.clear();
        return false;
      }
      zeile = utf16_nach_1252(std::u16string(roh.begin(), roh.end()));
      return true;
    }
    if (zu_ende_)
      return false;
    wchar_t stueck[512];
    DWORD gelesen = 0;
    if (!ReadConsoleW(handle_, stueck, 512, &gelesen, nullptr) || gelesen == 0)
      zu_ende_ = true;
    else
      breiter_puffer_.append(stueck, gelesen);
  }
}

// --- Output ---

// Written at once, not buffered, so that it keeps its order with what else
// the process writes to the same handle. A console window gets the same
// UTF-16 from the UTF-8 as from the 1252 text.
void ausgeben(std::string_view text, ausgabe_ziel wohin) {
  if (!text.empty())
    windows_text::schreiben(
        GetStdHandle(wohin == ausgabe_ziel::fehler ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE),
        nach_utf8(text));
}

void zeile_ausgeben(std::string_view text, ausgabe_ziel wohin) {
  ausgeben(verbinden({text, "\n"}), wohin);
}

// --- Boxes ---

namespace {

void box_ausgeben(const meldungsbox &box) {
  zeile_ausgeben(verbinden({"Box \"", box.titel, "\":"}));
  // The text's own line breaks (CR LF in lumbrik's boxes) become line ends.
  std::string_view rest = box.text;
  while (!rest.empty()) {
    const size_t ende = rest.find_first_of("\r\n");
    zeile_ausgeben(verbinden({"  ", rest.substr(0, ende)}));
    if (ende == std::string_view::npos)
      break;
    rest.remove_prefix(rest.compare(ende, 2, "\r\n") == 0 ? ende + 2 : ende + 1);
  }
  zeile_ausgeben("  [OK]");
}

} // namespace

void boxen_auf_konsole() {
  meldungen_abfangen(box_ausgeben);
}
