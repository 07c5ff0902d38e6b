// libFuzzer target for the number-or-list walk. Every input is walked twice
// by lumbrik: once as a zero-terminated text, once as bytes that end at the
// edge of readable memory. Both must match the in-place oracle, leave the text
// as it was, and (under ASan) never touch a byte outside it.
#include "tests/doubles/doubles.h"
#include "tests/doubles/liste_orakel.h"
#include "src/lumbrik.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void sammeln(int32_t zahl, void *kontext) {
  static_cast<std::vector<int32_t> *>(kontext)->push_back(zahl);
}

void pruefen(const char *text, const char *oracle_text_in) {
  std::vector<char> fuer_orakel(oracle_text_in, oracle_text_in + std::strlen(oracle_text_in) + 1);
  const orakel::ergebnis erwartet =
      orakel::dispatch(reinterpret_cast<intptr_t>(fuer_orakel.data()), fuer_orakel.data());

  std::vector<int32_t> zahlen;
  const lumbrik::weg genommen =
      lumbrik::zahl_oder_liste(reinterpret_cast<intptr_t>(text), sammeln, &zahlen);
  if (static_cast<int>(genommen) != static_cast<int>(erwartet.genommen) ||
      zahlen != erwartet.zahlen)
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t groesse) {
  // Exactly sized heap copies, so ASan sees a read one byte too far.
  char *mit_null = static_cast<char *>(std::malloc(groesse + 1));
  std::memcpy(mit_null, daten, groesse);
  mit_null[groesse] = '\0';
  doubles::alles_lesbar();
  pruefen(mit_null, mit_null);
  if (std::memcmp(mit_null, daten, groesse) != 0)
    std::abort();

  // The same bytes with no zero behind them; readable memory ends there, in
  // regions of 1 to 8 bytes (chosen by the last byte, as the first is
  // mostly '['). Up to the edge the oracle sees the same text.
  if (groesse > 0) {
    char *ohne_null = static_cast<char *>(std::malloc(groesse));
    std::memcpy(ohne_null, daten, groesse);
    doubles::lesbar_bis(ohne_null + groesse, 1u + daten[groesse - 1] % 8u);
    pruefen(ohne_null, mit_null);
    if (std::memcmp(ohne_null, daten, groesse) != 0)
      std::abort();
    std::free(ohne_null);
  }
  std::free(mit_null);
  return 0;
}
