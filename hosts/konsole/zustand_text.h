// The simulated box's state in two short lines, for --zustand.
#pragma once

#include "simulator/sim_steuerung.h"

#include <string>

// Outputs show their level when on and - when off; motors vor, zurueck or -.
// Two lines without a final line end, code page 1252.
std::string zustand_text(const sim_zustand &z);
