// A report read back (see bericht.h).
#include "aufzeichnung/bericht.h"

#include "aufzeichnung/datei.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace akte {
namespace {

std::string text_von(const nlohmann::json &j, const char *name) {
  const auto i = j.find(name);
  return i != j.end() && i->is_string() ? i->get<std::string>() : "";
}

std::string dateiname(const std::string &pfad) {
  const size_t trenner = pfad.find_last_of("/\\");
  return trenner == std::string::npos ? pfad : pfad.substr(trenner + 1);
}

} // namespace

std::optional<bericht> bericht_lesen(std::string_view text, bool ganz) {
  const nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
  if (j.is_discarded() || !j.is_object())
    return std::nullopt;
  const auto modell = j.find("modell"), meldung = j.find("meldung"),
             anzahl = j.find("fehler_anzahl"), laufzeit = j.find("laufzeit_ms");
  const bool hat_anzahl = anzahl != j.end() && anzahl->is_number_unsigned(),
             hat_laufzeit = laufzeit != j.end() && laufzeit->is_number_integer();
  if (ganz && (modell == j.end() || !modell->is_string() || meldung == j.end() ||
               !meldung->is_string() || !hat_anzahl || !hat_laufzeit))
    return std::nullopt;
  bericht b;
  b.modell = text_von(j, "modell");
  b.meldung = text_von(j, "meldung");
  b.fehler_anzahl = hat_anzahl ? anzahl->get<uint64_t>() : 0;
  b.laufzeit_ms = hat_laufzeit ? laufzeit->get<int64_t>() : 0;
  b.titel = text_von(j, "titel");
  b.beginn = text_von(j, "beginn");
  b.parser_meldung = text_von(j, "parser_meldung");
  b.spur = text_von(j, "spur");
  // The list is for reading; a report without one (or with odd entries)
  // still gives its count.
  const auto fehler = j.find("fehler");
  if (fehler != j.end() && fehler->is_array())
    for (const nlohmann::json &f : *fehler)
      if (f.is_object() && f.value("zeit_ms", nlohmann::json()).is_number_integer())
        b.fehler.push_back(
            {f["zeit_ms"].get<int64_t>(), text_von(f, "regel"), text_von(f, "text")});
  std::stable_sort(b.fehler.begin(), b.fehler.end(),
                   [](const auto &x, const auto &y) { return x.zeit_ms < y.zeit_ms; });
  const auto aufnahme = j.find("aufnahme");
  if (aufnahme != j.end() && aufnahme->is_object()) {
    const auto null = aufnahme->find("null_ms");
    b.aufnahme = bericht::aufnahme_angaben{
        text_von(*aufnahme, "spur"),
        null != aufnahme->end() && null->is_number_integer() ? null->get<int64_t>() : 0};
  }
  return b;
}

std::optional<bericht> bericht_neben(const std::string &spur) {
  const size_t trenner = spur.find_last_of("/\\");
  size_t punkt = spur.rfind('.');
  if (punkt != std::string::npos && trenner != std::string::npos && punkt < trenner)
    punkt = std::string::npos;
  const std::string datei = spur.substr(0, punkt) + ".json";
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(datei_oeffnen(datei, "rb"), std::fclose);
  if (!f || datei == spur)
    return std::nullopt;
  std::string inhalt;
  char puffer[1 << 14];
  for (size_t n; (n = std::fread(puffer, 1, sizeof puffer, f.get())) > 0;)
    inhalt.append(puffer, n);
  std::optional<bericht> b = bericht_lesen(inhalt);
  // Only the report of this very trace: another run's would mislabel it.
  if (!b || dateiname(b->spur) != dateiname(spur))
    return std::nullopt;
  // A replay's recording, named as the replay found it; moved since, it is
  // looked for beside the report.
  if (b->aufnahme && !b->aufnahme->spur.empty() && !gibt_es(b->aufnahme->spur))
    b->aufnahme->spur = spur.substr(0, trenner == std::string::npos ? 0 : trenner + 1) +
                        dateiname(b->aufnahme->spur);
  return b;
}

} // namespace akte
