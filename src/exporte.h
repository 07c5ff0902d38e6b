// The fourteen exports of lumbrik.dll, written out once. The export shim, the
// .def files and import libraries, the hosts' table of exports and the tests'
// name lists are all expanded or generated from this list.
//
//   X(name, ordinal, result, (parameters), (arguments), argument bytes on 32 bits)
//
// One entry per line: cmake/listen.cmake reads name, ordinal and bytes from it.
#pragma once

#include <cstdint>

// clang-format off
#define LUMBRIK_EXPORTE(X) \
  X(gib_fehler, 1, unsigned char, (void), (), 0) \
  X(vorbereitung, 2, void, (int32_t wert), (wert), 4) \
  X(einschalten, 3, void, (intptr_t ausgaenge), (ausgaenge), 4) \
  X(ausschalten, 4, void, (intptr_t ausgaenge), (ausgaenge), 4) \
  X(allesaus, 5, void, (void), (), 0) \
  X(motor, 6, void, (int32_t nummer, int32_t wert), (nummer, wert), 8) \
  X(ausgangzustand, 7, int32_t, (void), (), 0) \
  X(schalter, 8, unsigned char, (intptr_t eingaenge), (eingaenge), 4) \
  X(sensor, 9, int32_t, (int32_t eingang), (eingang), 4) \
  X(poti, 10, int32_t, (int32_t eingang), (eingang), 4) \
  X(pause, 11, void, (double zehntelsekunden), (zehntelsekunden), 8) \
  X(lpt, 12, void, (int32_t wert), (wert), 4) \
  X(t_proz1, 13, void, (int32_t stufe), (stufe), 4) \
  X(t_funk1, 14, int32_t, (int32_t nummer), (nummer), 4)
// clang-format on
