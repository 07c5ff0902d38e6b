#include "hosts/konsole/bruecke.h"

#include "hosts/konsole/zeichensatz.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string umgebung(const char *name) {
  const char *wert = std::getenv(name);
  return wert != nullptr ? wert : "";
}

// The report's path without its extension, as the simulator names the trace
// and the diagram beside it.
std::string stamm(const std::string &datei) {
  const size_t punkt = datei.rfind('.');
  const size_t trenner = datei.find_last_of("\\/");
  return punkt != std::string::npos && (trenner == std::string::npos || punkt > trenner)
             ? datei.substr(0, punkt)
             : datei;
}

} // namespace

std::optional<bericht_abholung> bericht_bestellen() {
  if (umgebung("LUMBRIK_MODELL").empty())
    return std::nullopt;
  bericht_abholung a;
  a.datei = umgebung("LUMBRIK_BERICHT");
  if (a.datei.empty()) {
    char ordner[MAX_PATH] = {};
    char datei[MAX_PATH] = {};
    const DWORD laenge = GetTempPathA(MAX_PATH, ordner);
    if (laenge == 0 || laenge >= MAX_PATH || GetTempFileNameA(ordner, "lbk", 0, datei) == 0)
      return std::nullopt;
    // The empty file keeps the name ours until the end.
    a.vorlaeufig = datei;
    a.datei = stamm(datei) + ".json";
    _putenv(verbinden({"LUMBRIK_BERICHT=", a.datei}).c_str());
  }
  WIN32_FILE_ATTRIBUTE_DATA daten{};
  a.vorher_da = GetFileAttributesExA(a.datei.c_str(), GetFileExInfoStandard, &daten);
  a.vorher = daten.ftLastWriteTime;
  return a;
}

std::optional<akte::bericht> bericht_abholen(HMODULE lumbrik, const bericht_abholung &a,
                                             std::string &meldung) {
  FreeLibrary(lumbrik);
  WIN32_FILE_ATTRIBUTE_DATA daten{};
  const bool neu = GetFileAttributesExA(a.datei.c_str(), GetFileExInfoStandard, &daten) &&
                   (!a.vorher_da || CompareFileTime(&daten.ftLastWriteTime, &a.vorher) != 0);
  std::optional<akte::bericht> stand;
  if (neu) {
    std::ifstream ein(a.datei, std::ios::binary);
    std::ostringstream text;
    text << ein.rdbuf();
    stand = akte::bericht_lesen(text.str());
    if (!stand)
      meldung = verbinden({"der Bericht ", a.datei, " des Modells hinter der Br" UE "cke ist ",
                           "nicht vollst" AE "ndig; seine Fehler sind unbekannt."});
  } else {
    meldung = verbinden({"hinter der Br" UE "cke entstand kein Bericht des Modells (", a.datei,
                         "); seine Fehler sind unbekannt. L" AE "dt der Helfer das simulierte ",
                         "Interface?"});
  }
  if (!a.vorlaeufig.empty()) {
    const std::string s = stamm(a.vorlaeufig);
    for (const std::string &datei : {a.vorlaeufig, s + ".json", s + ".csv", s + ".svg"})
      DeleteFileA(datei.c_str());
  }
  return stand;
}
