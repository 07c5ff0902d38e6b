#include "hosts/konsole/bericht.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

std::string text(const nlohmann::json &objekt, const char *schluessel) {
  const auto t = objekt.find(schluessel);
  return t != objekt.end() && t->is_string() ? t->get<std::string>() : "";
}

} // namespace

std::optional<bericht_stand> bericht_lesen(std::string_view json) {
  const nlohmann::json bericht = nlohmann::json::parse(json, nullptr, false);
  if (bericht.is_discarded() || !bericht.is_object())
    return std::nullopt;
  const auto modell = bericht.find("modell");
  const auto meldung = bericht.find("meldung");
  const auto fehler = bericht.find("fehler_anzahl");
  if (modell == bericht.end() || !modell->is_string() || meldung == bericht.end() ||
      !meldung->is_string() || fehler == bericht.end() || !fehler->is_number_unsigned())
    return std::nullopt;
  bericht_stand stand{
      modell->get<std::string>(), meldung->get<std::string>(), fehler->get<uint64_t>(), {}};
  // The list is for reading; a report without one (or with odd entries)
  // still gives its count.
  const auto liste = bericht.find("fehler");
  if (liste != bericht.end() && liste->is_array())
    for (const nlohmann::json &f : *liste)
      if (f.is_object() && f.value("zeit_ms", nlohmann::json()).is_number_integer())
        stand.fehler.push_back({f["zeit_ms"].get<int64_t>(), text(f, "regel"), text(f, "text")});
  std::stable_sort(
      stand.fehler.begin(), stand.fehler.end(),
      [](const bericht_fehler &a, const bericht_fehler &b) { return a.zeit_ms < b.zeit_ms; });
  return stand;
}
