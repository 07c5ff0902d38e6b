// Text at the Windows boundary, in one place: UTF-8 and UTF-16, the
// system's words for an error code, and one line to a console or a pipe.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace windows_text {

inline std::wstring breit(std::string_view text) {
  const auto laenge = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), laenge, nullptr, 0);
  std::wstring aus(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.data(), laenge, aus.data(), n);
  return aus;
}

inline std::string utf8(std::wstring_view text) {
  const auto laenge = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), laenge, nullptr, 0, nullptr, nullptr);
  std::string aus(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), laenge, aus.data(), n, nullptr, nullptr);
  return aus;
}

// "Systemfehler 5: Zugriff verweigert", in the system's language, UTF-8.
inline std::string systemfehler(DWORD kode) {
  wchar_t *text = nullptr;
  const DWORD laenge = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, kode, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  std::wstring w = laenge > 0 && text ? std::wstring(text, laenge) : L"";
  LocalFree(text);
  while (!w.empty() &&
         (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ' || w.back() == L'.'))
    w.pop_back();
  return "Systemfehler " + std::to_string(kode) + (w.empty() ? "" : ": " + utf8(w));
}

// UTF-8 text to a standard handle: a console window gets it as UTF-16, as
// it would read bytes in its own code page (850 in a German one); a pipe or
// a file gets the bytes. False when it is neither.
inline bool schreiben(HANDLE ziel, std::string_view text) {
  if (ziel == nullptr || ziel == INVALID_HANDLE_VALUE)
    return false;
  DWORD modus = 0, geschrieben = 0;
  if (GetConsoleMode(ziel, &modus)) {
    const std::wstring w = breit(text);
    return WriteConsoleW(ziel, w.data(), static_cast<DWORD>(w.size()), &geschrieben, nullptr) != 0;
  }
  return WriteFile(ziel, text.data(), static_cast<DWORD>(text.size()), &geschrieben, nullptr) != 0;
}

} // namespace windows_text
