// A model's report (the JSON the simulated umFish40.DLL writes when it is
// unloaded), read back. Behind the bridge the model runs in the helper, which
// the console cannot ask: the report is all that comes back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A fault as the report lists it; texts UTF-8.
struct bericht_fehler {
  int64_t zeit_ms = 0;
  std::string regel_utf8;
  std::string text_utf8;
};

struct bericht_stand {
  // The model's name, UTF-8 as the simulator writes it.
  std::string modell_utf8;
  // Why the model chosen did not run, or empty; UTF-8 too.
  std::string meldung_utf8;
  uint64_t fehler_anzahl = 0;
  // The first ones kept, in time order.
  std::vector<bericht_fehler> fehler;
};

// Empty when the text is not a whole report (say, cut short).
std::optional<bericht_stand> bericht_lesen(std::string_view json);
