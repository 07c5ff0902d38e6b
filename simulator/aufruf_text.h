// One vendor call of the simulator's log as text, the same wherever it is
// shown (the window, the console, test messages): handles in hex.
#pragma once

#include "sim_steuerung.h"

#include <string>

// "rbSetLampEx(0x4C4B0001, 1, 1, 7) = 0"; `name` is the function's name
// (sim_funktionsname). The handle argument, and the handle an open returns,
// are written in hex; every other number in decimal.
std::string aufruf_text(const sim_aufruf &aufruf, const char *name);

// A handle as "0x4C4B0001".
std::string handle_text(uint32_t handle);
