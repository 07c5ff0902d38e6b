// What a host finds in the DLLs it loaded: the fourteen exports of
// lumbrik.dll and, when the simulated umFish40.DLL stands in for the vendor
// library, its control functions.
#pragma once

#include "include/lumbrik.h"
#include "simulator/sim_steuerung.h"
#include "src/exporte.h"

#include <windows.h>

#include <optional>
#include <string>

#define LUMBRIK_ZEIGER(name, ...) decltype(&::name) name;
#define SIM_ZEIGER(name, ...) decltype(&::sim_##name) name;

struct lumbrik_exporte {
  HMODULE modul;
  LUMBRIK_EXPORTE(LUMBRIK_ZEIGER)
};

// Loads lumbrik.dll the way any host does, LoadLibraryA and GetProcAddress,
// and says precisely what is missing when that fails. `wo` is the DLL itself
// or its folder, or empty for the program's own folder. On failure `meldung`
// names the missing file and where it was looked for (code page 1252).
bool lumbrik_laden(const std::string &wo, lumbrik_exporte &e, std::string &meldung);

// Finds every export by name in the loaded `modul`. False when one is
// missing; `fehlt` then names the first.
bool exporte_finden(HMODULE modul, lumbrik_exporte &e, std::string &fehlt);

struct simulator_steuerung {
  SIM_STEUERUNG(SIM_ZEIGER)
};

#undef LUMBRIK_ZEIGER
#undef SIM_ZEIGER

// The control functions of the umFish40.DLL loaded in this process (the very
// module lumbrik.dll calls), or of the simulated one that the recorder loaded
// behind it; empty when none is loaded or it is the vendor's.
std::optional<simulator_steuerung> simulator_finden();

// Whether the umFish40.DLL loaded is the recorder: it has the vendor's
// library (or the simulated one) in echt\ beside it.
bool mitschnitt_geladen();

// When the umFish40.DLL loaded in this 64-bit process is the bridge, its
// helper (bruecke32\lumbrik-bruecke32.exe beside it, where the bridge starts
// it from); empty otherwise.
std::string bruecke_helfer();
