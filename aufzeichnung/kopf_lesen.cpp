// The report beside a trace read for its diagram (see zeitdiagramm.h). Only
// the drawing tool reads reports: a run writes its diagram from what it holds.
#include "aufzeichnung/bericht.h"
#include "aufzeichnung/datei.h"
#include "aufzeichnung/zeitdiagramm.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace akte {
namespace {

std::string dateiname(const std::string &pfad) {
  const size_t trenner = pfad.find_last_of("/\\");
  return trenner == std::string::npos ? pfad : pfad.substr(trenner + 1);
}

bool lesbar(const std::string &pfad) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(akte::datei_oeffnen(pfad, "rb"),
                                                           std::fclose);
  return f != nullptr;
}

} // namespace

bool kopf_lesen(const std::string &spur, diagramm_kopf &kopf) {
  const size_t trenner = spur.find_last_of("/\\");
  size_t punkt = spur.rfind('.');
  if (punkt != std::string::npos && trenner != std::string::npos && punkt < trenner)
    punkt = std::string::npos;
  const std::string datei = spur.substr(0, punkt) + ".json";
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(akte::datei_oeffnen(datei, "rb"),
                                                           std::fclose);
  if (!f || datei == spur)
    return false;
  std::string inhalt;
  char puffer[1 << 14];
  for (size_t n; (n = std::fread(puffer, 1, sizeof puffer, f.get())) > 0;)
    inhalt.append(puffer, n);
  const std::optional<bericht> b = bericht_lesen(inhalt);
  // Only the report of this very trace: another run's would mislabel it.
  if (!b || dateiname(b->spur) != dateiname(spur))
    return false;
  kopf.modell = b->modell;
  kopf.titel = b->titel;
  kopf.beginn = b->beginn;
  kopf.laufzeit_ms = b->laufzeit_ms;
  kopf.fehler_anzahl = static_cast<int64_t>(b->fehler_anzahl);
  for (const bericht::fehler_eintrag &e : b->fehler)
    kopf.fehler.push_back({e.zeit_ms, e.regel, e.text});
  if (b->aufnahme) {
    // Named as the replay found it; moved since, it is looked for beside the report.
    std::string pfad = b->aufnahme->spur;
    if (!pfad.empty() && !lesbar(pfad))
      pfad = spur.substr(0, trenner == std::string::npos ? 0 : trenner + 1) + dateiname(pfad);
    kopf.aufnahme = pfad;
    kopf.aufnahme_null_ms = b->aufnahme->null_ms;
  }
  return true;
}

} // namespace akte
