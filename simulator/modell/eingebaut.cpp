// The built-in models: the files of simulator/modelle, embedded at build time.
#include "simulator/modell/modell.h"

#include <string>

namespace modell {
namespace {

struct eintrag {
  const char *name;
  const char *text;
};

const eintrag modelle[] = {
#include "eingebaute_modelle.inc"
};

} // namespace

const char *eingebaut(std::string_view name) {
  for (const eintrag &e : modelle)
    if (name == e.name)
      return e.text;
  return nullptr;
}

const char *eingebaute_namen() {
  static const std::string namen = [] {
    std::string n;
    for (const eintrag &e : modelle)
      n += (n.empty() ? "" : ", ") + std::string(e.name);
    return n;
  }();
  return namen.c_str();
}

} // namespace modell
