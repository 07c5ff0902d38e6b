#include "ausgabe.h"

#include "verbinden.h"
#include "zeichensatz.h"

#include <windows.h>

#include <string>

namespace {

void schreiben(HANDLE ziel, const void *daten, DWORD laenge) {
  const char *p = static_cast<const char *>(daten);
  while (laenge > 0) {
    DWORD geschrieben = 0;
    if (!WriteFile(ziel, p, laenge, &geschrieben, nullptr) || geschrieben == 0)
      return; // nowhere to write to; the exit code still tells
    p += geschrieben;
    laenge -= geschrieben;
  }
}

} // namespace

void ausgeben(std::string_view text, kanal k) {
  if (text.empty())
    return;
  HANDLE ziel = GetStdHandle(k == kanal::fehler ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (ziel == nullptr || ziel == INVALID_HANDLE_VALUE)
    return;
  DWORD modus = 0;
  if (GetConsoleMode(ziel, &modus)) {
    const std::u16string breit = nach_utf16(text);
    const std::wstring w(breit.begin(), breit.end());
    DWORD geschrieben = 0;
    WriteConsoleW(ziel, w.data(), static_cast<DWORD>(w.size()), &geschrieben, nullptr);
    return;
  }
  const std::string utf8 = nach_utf8(text);
  schreiben(ziel, utf8.data(), static_cast<DWORD>(utf8.size()));
}

void zeile_ausgeben(std::string_view text, kanal k) {
  ausgeben(verbinden({text, "\n"}), k);
}
