#include "hosts/konsole/bericht.h"

#include <nlohmann/json.hpp>

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
  return bericht_stand{modell->get<std::string>(), meldung->get<std::string>(),
                       fehler->get<uint64_t>()};
}
