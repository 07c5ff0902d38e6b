// The vendor library of the interface box, as lumbrik calls it.
//
// The eight functions of umFish40_funktionen.h, imported by name, stdcall.
#pragma once

#include "src/plattform.h"
#include "src/umFish40_funktionen.h"

#include <cstdint>

// What rbOpenInterfaceUSB returns when no interface could be opened.
constexpr uint32_t oeffnen_fehlgeschlagen = 0xE0000001u;

#define UMFISH40_DEKLARATION(name, ergebnis, parameter, argumente, bytes)                          \
  ergebnis WINAPI name parameter;
extern "C" {
UMFISH40_FUNKTIONEN(UMFISH40_DEKLARATION)
}
#undef UMFISH40_DEKLARATION
