// The report beside a trace read for its diagram (see zeitdiagramm.h). Only
// the drawing tool reads reports: a run writes its diagram from what it holds.
#include "aufzeichnung/datei.h"
#include "aufzeichnung/zeitdiagramm.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>

namespace akte {
namespace {

std::string text_von(const nlohmann::json &j, const char *name) {
  const auto i = j.find(name);
  return i != j.end() && i->is_string() ? i->get<std::string>() : "";
}

int64_t zahl_von(const nlohmann::json &j, const char *name, int64_t sonst) {
  const auto i = j.find(name);
  return i != j.end() && i->is_number_integer() ? i->get<int64_t>() : sonst;
}

std::string dateiname(const std::string &pfad) {
  const size_t trenner = pfad.find_last_of("/\\");
  return trenner == std::string::npos ? pfad : pfad.substr(trenner + 1);
}

bool lesbar(const std::string &pfad) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(modell::datei_oeffnen(pfad, "rb"),
                                                           std::fclose);
  return f != nullptr;
}

} // namespace

bool kopf_lesen(const std::string &spur, diagramm_kopf &kopf) {
  const size_t trenner = spur.find_last_of("/\\");
  size_t punkt = spur.rfind('.');
  if (punkt != std::string::npos && trenner != std::string::npos && punkt < trenner)
    punkt = std::string::npos;
  const std::string bericht = spur.substr(0, punkt) + ".json";
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(modell::datei_oeffnen(bericht, "rb"),
                                                           std::fclose);
  if (!f || bericht == spur)
    return false;
  std::string inhalt;
  char puffer[1 << 14];
  for (size_t n; (n = std::fread(puffer, 1, sizeof puffer, f.get())) > 0;)
    inhalt.append(puffer, n);
  const nlohmann::json j = nlohmann::json::parse(inhalt, nullptr, false);
  // Only the report of this very trace: another run's would mislabel it.
  if (!j.is_object() || dateiname(text_von(j, "spur")) != dateiname(spur))
    return false;
  kopf.modell = text_von(j, "modell");
  kopf.titel = text_von(j, "titel");
  kopf.beginn = text_von(j, "beginn");
  kopf.laufzeit_ms = zahl_von(j, "laufzeit_ms", -1);
  kopf.fehler_anzahl = zahl_von(j, "fehler_anzahl", -1);
  const auto fehler = j.find("fehler");
  if (fehler != j.end() && fehler->is_array())
    for (const nlohmann::json &e : *fehler)
      if (e.is_object())
        kopf.fehler.push_back(
            {zahl_von(e, "zeit_ms", -1), text_von(e, "regel"), text_von(e, "text")});
  const auto aufnahme = j.find("aufnahme");
  if (aufnahme != j.end() && aufnahme->is_object()) {
    // Named as the replay found it; moved since, it is looked for beside the report.
    std::string pfad = text_von(*aufnahme, "spur");
    if (!pfad.empty() && !lesbar(pfad))
      pfad = spur.substr(0, trenner == std::string::npos ? 0 : trenner + 1) + dateiname(pfad);
    kopf.aufnahme = pfad;
    kopf.aufnahme_null_ms = zahl_von(*aufnahme, "null_ms", 0);
  }
  return true;
}

} // namespace akte
