// The simulated box as text, the same wherever it is shown (the window, the
// console, test messages): a vendor call of its log, with handles in hex, and
// its state in two lines.
#pragma once

#include "simulator/sim_steuerung.h"

#include <string>

// The vendor name of a function number of the call log, or "?".
const char *funktionsname(int32_t funktion);

// "rbSetLampEx(0x4C4B0001, 1, 1, 7) = 0". The handle argument, and the
// handle an open returns, are written in hex; every other number in decimal.
std::string aufruf_zeile(const sim_aufruf &aufruf);

// A handle as "0x4C4B0001".
std::string handle_text(uint32_t handle);

// The box's state in two lines without a final line end, code page 1252:
// outputs show their level when on and - when off; motors vor, zurueck or -.
std::string zustand_text(const sim_zustand &z);
