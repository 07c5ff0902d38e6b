// Number-or-list arguments: one value that is either a number or the address
// of a list text such as "[1 2 3]", and the walk through such a text.
#pragma once

#include "include/lumbrik.h"

#include <cstdint>

namespace lumbrik {

// Upper and lower bound of what is a number rather than a list address.
constexpr intptr_t kleinste_zahl = LUMBRIK_KLEINSTE_ZAHL;
constexpr intptr_t groesste_zahl = LUMBRIK_GROESSTE_ZAHL;

// Performed once per number; `kontext` is the caller's.
using aktion = void (*)(int32_t zahl, void *kontext);

// Which way a number-or-list argument was handled.
enum class weg { zahl, keine_liste, liste_fertig, liste_abgebrochen };

// A number in range gets the action once; anything else is read as the
// address of a list text such as "[1 2 3]" and walked. The host's memory is
// only read, never written, and never beyond what is readable.
weg zahl_oder_liste(intptr_t wert, aktion tun, void *kontext);

} // namespace lumbrik
