// Files and environment by UTF-8 names (see datei.h).
#include "aufzeichnung/datei.h"

#ifdef _WIN32
#include "basis/windows_text.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

namespace akte {

#ifdef _WIN32
using windows_text::breit;
using windows_text::utf8;

std::string umgebung(const char *name) {
  // The process's environment, which every C runtime's _putenv updates too.
  const std::wstring n = breit(name);
  const DWORD groesse = GetEnvironmentVariableW(n.c_str(), nullptr, 0);
  if (groesse == 0)
    return "";
  std::wstring wert(groesse, L'\0');
  const DWORD laenge = GetEnvironmentVariableW(n.c_str(), wert.data(), groesse);
  wert.resize(laenge < groesse ? laenge : 0);
  return utf8(wert);
}

std::FILE *datei_oeffnen(const std::string &pfad, const char *modus) {
  return _wfopen(breit(pfad).c_str(), breit(modus).c_str());
}

std::FILE *allein_schreiben(const std::string &pfad, bool &belegt) {
  // Others may read, nobody else may write.
  const HANDLE h = CreateFileW(breit(pfad).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  belegt = h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
  if (h == INVALID_HANDLE_VALUE)
    return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    return nullptr;
  }
  std::FILE *f = _fdopen(fd, "wb");
  if (!f)
    _close(fd);
  return f;
}

bool leeren(std::FILE *f) {
  return _chsize(_fileno(f), 0) == 0;
}

bool ist_ordner(const std::string &pfad) {
  const DWORD art = GetFileAttributesW(breit(pfad).c_str());
  return art != INVALID_FILE_ATTRIBUTES && (art & FILE_ATTRIBUTE_DIRECTORY);
}

bool gibt_es(const std::string &pfad) {
  return GetFileAttributesW(breit(pfad).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string voller_pfad(const std::string &pfad) {
  const std::wstring name = breit(pfad);
  const DWORD groesse = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (groesse == 0)
    return pfad;
  std::wstring voll(groesse, L'\0');
  const DWORD laenge = GetFullPathNameW(name.c_str(), groesse, voll.data(), nullptr);
  if (laenge == 0 || laenge >= groesse)
    return pfad;
  voll.resize(laenge);
  return utf8(voll);
}

bool umbenennen(const std::string &von, const std::string &nach) {
  return MoveFileExW(breit(von).c_str(), breit(nach).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void ausgeben(std::FILE *ziel, const std::string &text) {
  const HANDLE h = GetStdHandle(ziel == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD modus = 0;
  if (h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &modus)) {
    std::fflush(ziel);
    windows_text::schreiben(h, text);
    return;
  }
  // Now, not at the end: a host's own lines follow it.
  std::fputs(text.c_str(), ziel);
  std::fflush(ziel);
}

#else

std::string umgebung(const char *name) {
  const char *wert = std::getenv(name);
  return wert ? wert : "";
}

std::FILE *datei_oeffnen(const std::string &pfad, const char *modus) {
  return std::fopen(pfad.c_str(), modus);
}

std::FILE *allein_schreiben(const std::string &pfad, bool &belegt) {
  belegt = false;
  const int fd = open(pfad.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0)
    return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    belegt = errno == EWOULDBLOCK;
    close(fd);
    return nullptr;
  }
  std::FILE *f = fdopen(fd, "wb");
  if (!f)
    close(fd);
  return f;
}

bool leeren(std::FILE *f) {
  return ftruncate(fileno(f), 0) == 0;
}

bool ist_ordner(const std::string &pfad) {
  struct stat s {};
  return stat(pfad.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

bool gibt_es(const std::string &pfad) {
  struct stat s {};
  return stat(pfad.c_str(), &s) == 0;
}

std::string voller_pfad(const std::string &pfad) {
  if (!pfad.empty() && pfad.front() == '/')
    return pfad;
  char ordner[4096];
  return getcwd(ordner, sizeof ordner) ? std::string(ordner) + "/" + pfad : pfad;
}

bool umbenennen(const std::string &von, const std::string &nach) {
  return std::rename(von.c_str(), nach.c_str()) == 0;
}

void ausgeben(std::FILE *ziel, const std::string &text) {
  // Now, not at the end: a host's own lines follow it.
  std::fputs(text.c_str(), ziel);
  std::fflush(ziel);
}

#endif

} // namespace akte
