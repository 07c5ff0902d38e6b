// The double of lesbare_bytes (src/plattform.h): the tests decide how much
// memory counts as readable. It needs no other Windows operation, so the unit
// tests built for Windows link it too.
#pragma once

#include <cstddef>

namespace doubles {

// Bytes at `ende` and after are unreadable; each query reports at most
// `stueck` bytes, as if every few bytes were a region.
void lesbar_bis(const void *ende, size_t stueck = 4096);
// Everything readable again (the start state).
void alles_lesbar();
void nichts_lesbar();

} // namespace doubles
