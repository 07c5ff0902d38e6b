// One field of a CSV line: as it is, or in quotes with its quotes doubled
// when it holds the separator, a quote or a line end. The trace separates
// with ',', the class check's table for German Excel with ';'.
#pragma once

#include <string>
#include <string_view>

inline std::string csv_feld(std::string_view text, char trenner) {
  const char besondere[] = {trenner, '"', '\r', '\n', '\0'};
  if (text.find_first_of(besondere) == std::string_view::npos)
    return std::string(text);
  std::string aus = "\"";
  for (char c : text) {
    if (c == '"')
      aus += '"';
    aus += c;
  }
  return aus + "\"";
}
