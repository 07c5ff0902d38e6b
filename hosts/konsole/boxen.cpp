#include "boxen.h"

#include "ausgabe.h"
#include "meldungen.h"
#include "verbinden.h"

#include <string>

namespace {

void box_ausgeben(const meldungsbox &box) {
  zeile_ausgeben(verbinden({"Box \"", box.titel, "\":"}));
  // The text's own line breaks (CR LF in lumbrik's boxes) become line ends.
  std::string_view rest = box.text;
  while (!rest.empty()) {
    const size_t ende = rest.find_first_of("\r\n");
    zeile_ausgeben(verbinden({"  ", rest.substr(0, ende)}));
    if (ende == std::string_view::npos)
      break;
    rest.remove_prefix(rest.compare(ende, 2, "\r\n") == 0 ? ende + 2 : ende + 1);
  }
  zeile_ausgeben("  [OK]");
}

} // namespace

void boxen_auf_konsole() {
  meldungen_abfangen(box_ausgeben);
}
