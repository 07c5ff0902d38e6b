// The exports of the simulated umFish40.DLL: the eight vendor functions and
// the controls of sim_steuerung.h, each straight on to the one box,
// expanded from their lists.
#include "simulator/box.h"
#include "simulator/sim_steuerung.h"
#include "src/umFish40.h"

#include <type_traits>

namespace {

// What a call answers when the box could not do it (out of memory, say, for
// a model or a recording too large): as a box that is not open. Nothing
// thrown crosses into the host.
template <class T> T gescheitert() {
  if constexpr (std::is_same_v<T, uint32_t>)
    return SIM_OEFFNEN_FEHLER;
  else
    return -1;
}

} // namespace

extern "C" {
#define VENDOR_EXPORT(name, ergebnis, parameter, argumente, bytes)                                 \
  ergebnis WINAPI name parameter {                                                                 \
    try {                                                                                          \
      return simulierte_box().name argumente;                                                      \
    } catch (...) {                                                                                \
      return gescheitert<ergebnis>();                                                              \
    }                                                                                              \
  }
UMFISH40_FUNKTIONEN(VENDOR_EXPORT)
#undef VENDOR_EXPORT

#define STEUERUNG_EXPORT(name, ergebnis, parameter, argumente, bytes)                              \
  ergebnis SIM_CALL sim_##name parameter {                                                         \
    return simulierte_box().name argumente;                                                        \
  }
SIM_STEUERUNG(STEUERUNG_EXPORT)
#undef STEUERUNG_EXPORT
}
