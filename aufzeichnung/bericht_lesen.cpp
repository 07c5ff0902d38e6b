// A report read back (see bericht.h).
#include "aufzeichnung/bericht.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace akte {
namespace {

std::string text_von(const nlohmann::json &j, const char *name) {
  const auto i = j.find(name);
  return i != j.end() && i->is_string() ? i->get<std::string>() : "";
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

} // namespace akte
