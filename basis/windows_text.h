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

// The system's words for an error code, UTF-8, without the line end and the
// closing full stop; empty when it has none. `modul` is for a module's own
// codes (ntdll's for an NTSTATUS); `einsetzen` fills the placeholders some
// texts have ("%1 is not a valid Win32 application").
inline std::string systemtext(DWORD kode, HMODULE modul = nullptr,
                              const wchar_t *einsetzen = nullptr) {
  DWORD_PTR argumente[9];
  for (DWORD_PTR &a : argumente)
    a = reinterpret_cast<DWORD_PTR>(einsetzen);
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER |
                      (modul ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM) |
                      (einsetzen ? FORMAT_MESSAGE_ARGUMENT_ARRAY : FORMAT_MESSAGE_IGNORE_INSERTS);
  wchar_t *text = nullptr;
  const DWORD laenge = FormatMessageW(flags, modul, kode, 0, reinterpret_cast<wchar_t *>(&text), 0,
                                      einsetzen ? reinterpret_cast<va_list *>(argumente) : nullptr);
  std::wstring w = laenge > 0 && text ? std::wstring(text, laenge) : L"";
  LocalFree(text);
  while (!w.empty() &&
         (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ' || w.back() == L'.'))
    w.pop_back();
  return utf8(w);
}

// "Systemfehler 5: Zugriff verweigert", in the system's language, UTF-8.
inline std::string systemfehler(DWORD kode) {
  const std::string text = systemtext(kode);
  return "Systemfehler " + std::to_string(kode) + (text.empty() ? "" : ": " + text);
}

// UTF-8 text to a standard handle: a console window gets it as UTF-16, as
// it would read bytes in its own code page (850 in a German one); a pipe or
// a file gets the bytes, all of them, however many pieces a pipe takes them
// in. False when it is neither or the write fails.
inline bool schreiben(HANDLE ziel, std::string_view text) {
  if (ziel == nullptr || ziel == INVALID_HANDLE_VALUE)
    return false;
  DWORD modus = 0, geschrieben = 0;
  if (GetConsoleMode(ziel, &modus)) {
    const std::wstring w = breit(text);
    return WriteConsoleW(ziel, w.data(), static_cast<DWORD>(w.size()), &geschrieben, nullptr) != 0;
  }
  while (!text.empty()) {
    if (!WriteFile(ziel, text.data(), static_cast<DWORD>(text.size()), &geschrieben, nullptr) ||
        geschrieben == 0)
      return false;
    text.remove_prefix(geschrieben);
  }
  return true;
}

} // namespace windows_text
