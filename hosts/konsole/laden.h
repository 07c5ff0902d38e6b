// Loads lumbrik.dll the way any host does, LoadLibraryA and GetProcAddress,
// and says precisely what is missing when that fails.
#pragma once

#include "include/lumbrik.h"

#include <windows.h>

#include <string>

// The fourteen exports, found by name.
struct lumbrik_exporte {
  HMODULE modul;
  decltype(&::gib_fehler) gib_fehler;
  decltype(&::vorbereitung) vorbereitung;
  decltype(&::einschalten) einschalten;
  decltype(&::ausschalten) ausschalten;
  decltype(&::allesaus) allesaus;
  decltype(&::motor) motor;
  decltype(&::ausgangzustand) ausgangzustand;
  decltype(&::schalter) schalter;
  decltype(&::sensor) sensor;
  decltype(&::poti) poti;
  decltype(&::pause) pause;
  decltype(&::lpt) lpt;
  decltype(&::t_proz1) t_proz1;
  decltype(&::t_funk1) t_funk1;
};

// `wo` is what --dll gave (the DLL itself or its folder), or empty for the
// program's own folder. On failure `meldung` names the missing file and
// where it was looked for (code page 1252).
bool lumbrik_laden(const std::string &wo, lumbrik_exporte &e, std::string &meldung);
