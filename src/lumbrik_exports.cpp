// The exported functions of lumbrik.dll: stdcall, each straight on to its
// command, expanded from the list of exports. The .def made from the same
// list gives them their plain names and ordinals.
#include "include/lumbrik.h"

#include "src/exporte.h"
#include "src/lumbrik.h"

extern "C" {
#define LUMBRIK_EXPORT(name, ordinal, ergebnis, parameter, argumente, bytes)                       \
  ergebnis LUMBRIK_CALL name parameter {                                                           \
    return lumbrik::name argumente;                                                                \
  }
LUMBRIK_EXPORTE(LUMBRIK_EXPORT)
#undef LUMBRIK_EXPORT
}
