// A plain, in-place rendering of the list walk as lumbrik documents it:
// it writes a zero byte behind each token and puts the delimiter back. The
// tests and the fuzzer compare lumbrik's read-only walk against it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orakel {

enum class weg { zahl, keine_liste, liste_fertig, liste_abgebrochen };

struct ergebnis {
  weg genommen;
  std::vector<int32_t> zahlen;
};

// The number-or-list rule for a value, with `text` standing in for the
// memory a list address points to. `text` is walked in place and restored.
ergebnis dispatch(intptr_t wert, char *text);

// The walk alone, on a zero-terminated text that starts with '['.
ergebnis liste(char *text);

} // namespace orakel
