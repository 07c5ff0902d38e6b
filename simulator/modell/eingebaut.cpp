// The built-in models: the files of simulator/modelle, embedded at build time.
#include "basis/abstand.h"
#include "simulator/modell/modell.h"

#include <string>
#include <vector>

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

std::optional<std::string_view> gemeintes_modell(std::string_view name) {
  std::vector<std::string_view> namen;
  for (const eintrag &e : modelle)
    namen.emplace_back(e.name);
  // "schranke.toml" for the built-in barrier is a slip too.
  const size_t punkt = name.rfind('.');
  return gemeintes_wort(name.substr(0, punkt), namen);
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
