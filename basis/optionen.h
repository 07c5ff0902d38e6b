// Why a command-line argument that looks like an option is none, and how it
// is written: an option that takes a value given it after a space, or a
// typo of a known one. Shared by the programs that take options.
#pragma once

#include "basis/abstand.h"

#include <span>
#include <string>
#include <string_view>

struct option_mit_wert {
  std::string_view name;     // "--modell"
  std::string_view beispiel; // "schranke"
};

inline std::string option_erklaeren(std::string_view a, std::span<const std::string_view> alle,
                                    std::span<const option_mit_wert> mit_wert) {
  // Built by appending: GCC 12 warns falsely (-Wrestrict) about
  // "literal" + std::string&&.
  std::string text;
  for (const option_mit_wert &m : mit_wert)
    if (a == m.name) {
      text += m.name;
      text += " braucht den Wert mit = dahinter, ohne Leerzeichen: ";
      text += m.name;
      text += '=';
      text += m.beispiel;
      return text;
    }
  const size_t gleich = a.find('=');
  text += "unbekannte Option ";
  text += a;
  if (const auto gemeint = gemeintes_wort(a.substr(0, gleich), alle)) {
    text += " - meinten Sie ";
    text += *gemeint;
    if (gleich != std::string_view::npos)
      text += a.substr(gleich);
    text += '?';
  }
  return text;
}
