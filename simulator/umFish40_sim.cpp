// The exports of the simulated umFish40.DLL: the eight vendor functions and
// the controls of sim_steuerung.h, each straight on to the one box,
// expanded from their lists.
#include "simulator/box.h"
#include "simulator/sim_steuerung.h"
#include "src/umFish40.h"

extern "C" {
#define VENDOR_EXPORT(name, ergebnis, parameter, argumente, bytes)                                 \
  ergebnis WINAPI name parameter {                                                                 \
    return simulierte_box().name argumente;                                                        \
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
