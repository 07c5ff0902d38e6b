// How far apart two words are, for naming the word a typo meant: the console
// for a command, the model reader for a key.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// Edits from one text to the other: a letter inserted, removed, replaced,
// or two neighbours swapped (the commonest typing slip).
inline size_t abstand(std::string_view a, std::string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i)
    d[i][0] = i;
  for (size_t k = 0; k <= b.size(); ++k)
    d[0][k] = k;
  for (size_t i = 1; i <= a.size(); ++i)
    for (size_t k = 1; k <= b.size(); ++k) {
      const size_t ersetzt = d[i - 1][k - 1] + (a[i - 1] == b[k - 1] ? 0 : 1);
      d[i][k] = std::min({d[i - 1][k] + 1, d[i][k - 1] + 1, ersetzt});
      if (i > 1 && k > 1 && a[i - 1] == b[k - 2] && a[i - 2] == b[k - 1])
        d[i][k] = std::min(d[i][k], d[i - 2][k - 2] + 1);
    }
  return d[a.size()][b.size()];
}

// The known word that a typo most likely meant: the closest one, a third of
// the typo's length (one to three edits) away at most; none when nothing is
// that close.
template <class Woerter>
std::optional<std::string_view> gemeintes_wort(std::string_view wort, const Woerter &bekannt) {
  // Comparing long words costs their product: a typo is short.
  if (wort.size() > 64)
    return std::nullopt;
  std::optional<std::string_view> bestes;
  size_t kleinster = std::clamp<size_t>(wort.size() / 3, 1, 3) + 1;
  for (std::string_view b : bekannt) {
    const size_t d = abstand(wort, b);
    if (d < kleinster) {
      kleinster = d;
      bestes = b;
    }
  }
  return bestes;
}
