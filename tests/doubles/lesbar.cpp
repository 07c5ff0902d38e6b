#include "tests/doubles/lesbar.h"

#include "src/plattform.h"

#include <cstdint>

namespace {

const char *lesbar_ende = nullptr;
size_t lesbar_stueck = 4096;

} // namespace

namespace doubles {

void lesbar_bis(const void *ende, size_t stueck) {
  lesbar_ende = static_cast<const char *>(ende);
  lesbar_stueck = stueck;
}
void alles_lesbar() {
  lesbar_ende = nullptr;
  lesbar_stueck = 4096;
}
void nichts_lesbar() {
  lesbar_bis(reinterpret_cast<const char *>(1), 1);
}

} // namespace doubles

size_t lesbare_bytes(const void *p) {
  const char *zeiger = static_cast<const char *>(p);
  if (lesbar_ende == nullptr)
    return SIZE_MAX / 4;
  const uintptr_t adresse = reinterpret_cast<uintptr_t>(zeiger);
  if (adresse >= reinterpret_cast<uintptr_t>(lesbar_ende))
    return 0;
  const size_t rest = static_cast<size_t>(lesbar_ende - zeiger);
  return rest < lesbar_stueck ? rest : lesbar_stueck;
}
