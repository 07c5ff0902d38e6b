// What the window asks of the simulated box beyond the exported controls.
// Inside the DLL only (and the native tests): hosts have no use for them.
#pragma once

#include "modell/anbindung.h"

#include <cstdint>
#include <string>

// Switches an input between 0 and 1 in one locked step, so that a host's
// change just before is not lost. False for a number out of range.
bool box_eingang_umschalten(int32_t nummer);
// The model as it stands now, with its latest `fehler_platz` faults.
void box_modell_lesen(modell_stand &stand, size_t fehler_platz);
// Runs another model from its start: a built-in name, a file, or "" for
// none. When it cannot be loaded nothing changes and `meldung` says why.
bool box_modell_waehlen(const std::string &wahl, std::string &meldung);
