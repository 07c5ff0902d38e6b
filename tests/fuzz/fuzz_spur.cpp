// libFuzzer target for the trace reader (aufzeichnung/spur). Every input is
// read to its end twice, as the diagram does: the reader must stop at a line
// it refuses with a message naming the line, keep what it accepts within its
// bounds, and read the same the second time.
#include "aufzeichnung/spur.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct gelesen {
  std::vector<int64_t> zeiten;
  std::string fehler;
  bool operator==(const gelesen &) const = default;
};

gelesen lesen(akte::leser &l) {
  gelesen g;
  akte::eintrag e;
  while (l.naechster(e)) {
    if (e.us < 0 || e.us > akte::spur_zeit_max_us)
      std::abort();
    if (akte::ist_box_art(e.a) && (e.nummer < 0 || e.nummer > 31))
      std::abort();
    g.zeiten.push_back(e.us);
  }
  g.fehler = l.fehler();
  if (!g.fehler.empty() && g.fehler.rfind("Spur fuzz", 0) != 0)
    std::abort();
  return g;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t groesse) {
  std::FILE *f = fmemopen(const_cast<uint8_t *>(daten), groesse, "rb");
  if (groesse == 0)
    f = std::tmpfile();
  if (!f)
    return 0;
  akte::leser l(f, "fuzz");
  const gelesen erst = lesen(l);
  l.zurueck();
  if (!(lesen(l) == erst))
    std::abort();
  std::fclose(f);
  return 0;
}
