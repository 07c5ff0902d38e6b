#include "hosts/gemeinsam/lumbrik_dll.h"

#include <psapi.h>

#include <string>

namespace {

template <class F> bool finden(HMODULE modul, F &ziel, const char *name, std::string &fehlt) {
  ziel = reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(modul, name)));
  if (ziel == nullptr && fehlt.empty())
    fehlt = name;
  return ziel != nullptr;
}

constexpr char dll_name[] = "lumbrik.dll";

std::string programmdatei() {
  char pfad[MAX_PATH] = {};
  const DWORD laenge = GetModuleFileNameA(nullptr, pfad, MAX_PATH);
  return std::string(pfad, laenge);
}

std::string programmordner() {
  const std::string datei = programmdatei();
  return datei.substr(0, datei.find_last_of("\\/"));
}

std::string voller_pfad(const std::string &pfad) {
  char voll[MAX_PATH] = {};
  const DWORD laenge = GetFullPathNameA(pfad.c_str(), MAX_PATH, voll, nullptr);
  return laenge > 0 && laenge < MAX_PATH ? std::string(voll, laenge) : pfad;
}

std::string im_ordner(std::string ordner) {
  if (!ordner.empty() && ordner.back() != '\\' && ordner.back() != '/')
    ordner += '\\';
  return ordner + dll_name;
}

bool ist_ordner(const std::string &pfad) {
  const DWORD art = GetFileAttributesA(pfad.c_str());
  return art != INVALID_FILE_ATTRIBUTES && (art & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ist_datei(const std::string &pfad) {
  const DWORD art = GetFileAttributesA(pfad.c_str());
  return art != INVALID_FILE_ATTRIBUTES && (art & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The release package keeps the simulated interface in a folder of its own;
// a user who starts the console without the vendor's library is told how
// to try it with that one instead.
std::string simulator_hinweis() {
  const std::string ordner = programmordner();
  const std::string simulator = ordner + "\\simulator\\umFish40.DLL";
  if (!ist_datei(simulator))
    return "";
  const std::string datei = programmdatei();
  const std::string programm = datei.substr(datei.find_last_of("\\/") + 1);
  std::string text = "\nOhne Interface geht es mit dem simulierten: simulator\\umFish40.DLL neben ";
  text += programm;
  text += " kopieren (copy \"";
  text += simulator;
  text += "\" \"";
  text += ordner;
  text += "\") und neu starten.";
  return text;
}

} // namespace

bool lumbrik_laden(const std::string &wo, lumbrik_exporte &e, std::string &meldung) {
  // A full path, so that LoadLibraryA looks exactly there and nowhere else.
  std::string datei;
  std::string herkunft;
  if (wo.empty()) {
    datei = im_ordner(programmordner());
    herkunft = "im Ordner des Programms";
  } else {
    const std::string voll = voller_pfad(wo);
    datei = ist_ordner(voll) ? im_ordner(voll) : voll;
    herkunft = "angegeben mit --dll";
  }

  e = {};
  e.modul = LoadLibraryA(datei.c_str());
  if (e.modul == nullptr) {
    const DWORD fehler = GetLastError();
    // Both a missing DLL and a missing dependency of it fail with 126; only
    // the file itself tells them apart.
    if (!ist_datei(datei))
      meldung = "lumbrik.dll nicht gefunden: gesucht als " + datei + " (" + herkunft + ").";
    else if (fehler == ERROR_MOD_NOT_FOUND)
      meldung = "umFish40.DLL nicht gefunden, die Bibliothek des Interfaces, die " + datei +
                " braucht. Gesucht im Ordner des Programms (" + programmordner() +
                "), in den Systemordnern, im aktuellen Ordner und in den Ordnern von PATH." +
                simulator_hinweis();
    else
      meldung = datei + " kann nicht geladen werden (Fehler " + std::to_string(fehler) + ").";
    return false;
  }

  std::string fehlt;
  if (!exporte_finden(e.modul, e, fehlt)) {
    meldung = datei + " hat keine Funktion " + fehlt + " - ist es die richtige lumbrik.dll?";
    return false;
  }
  return true;
}

bool exporte_finden(HMODULE modul, lumbrik_exporte &e, std::string &fehlt) {
  e.modul = modul;
  fehlt.clear();
#define FINDEN(name, ...) finden(modul, e.name, #name, fehlt);
  LUMBRIK_EXPORTE(FINDEN)
#undef FINDEN
  return fehlt.empty();
}

namespace {

std::optional<simulator_steuerung> steuerung_in(HMODULE modul) {
  simulator_steuerung s{};
  std::string fehlt;
#define FINDEN(name, ...) finden(modul, s.name, "sim_" #name, fehlt);
  SIM_STEUERUNG(FINDEN)
#undef FINDEN
  if (!fehlt.empty())
    return std::nullopt;
  return s;
}

} // namespace

std::optional<simulator_steuerung> simulator_finden() {
  HMODULE modul = GetModuleHandleA("umFish40.DLL");
  if (modul == nullptr)
    return std::nullopt;
  if (auto s = steuerung_in(modul))
    return s;
  // The recorder stands in for the vendor and loads the library behind it,
  // which may be the simulated one: its model runs there.
  HMODULE module[256];
  DWORD bytes = 0;
  if (!K32EnumProcessModules(GetCurrentProcess(), module, sizeof module, &bytes))
    return std::nullopt;
  for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 256; ++i)
    if (module[i] != modul)
      if (auto s = steuerung_in(module[i]))
        return s;
  return std::nullopt;
}

bool mitschnitt_geladen() {
  HMODULE modul = GetModuleHandleA("umFish40.DLL");
  char pfad[MAX_PATH] = {};
  const DWORD laenge = modul != nullptr ? GetModuleFileNameA(modul, pfad, MAX_PATH) : 0;
  if (laenge == 0 || laenge >= MAX_PATH)
    return false;
  const std::string datei(pfad, laenge);
  return ist_datei(datei.substr(0, datei.find_last_of("\\/") + 1) + "echt\\umFish40.DLL");
}

std::string bruecke_helfer() {
  // Only a 64-bit process loads the bridge.
  HMODULE modul = sizeof(void *) == 8 ? GetModuleHandleA("umFish40.DLL") : nullptr;
  char pfad[MAX_PATH] = {};
  const DWORD laenge = modul != nullptr ? GetModuleFileNameA(modul, pfad, MAX_PATH) : 0;
  if (laenge == 0 || laenge >= MAX_PATH)
    return "";
  const std::string datei(pfad, laenge);
  const std::string helfer =
      datei.substr(0, datei.find_last_of("\\/") + 1) + "bruecke32\\lumbrik-bruecke32.exe";
  return ist_datei(helfer) ? helfer : "";
}
