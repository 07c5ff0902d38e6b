// Texts are built by appending pieces: GCC 12 at -O3 warns falsely
// (-Wrestrict) about "literal" + std::string&&, which warnings-as-errors
// turns into a failed build.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

inline std::string verbinden(std::initializer_list<std::string_view> teile) {
  std::string text;
  for (std::string_view teil : teile)
    text += teil;
  return text;
}
