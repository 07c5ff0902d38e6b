// Where the model meets the simulated box. The box calls these with its lock
// held; without LUMBRIK_MODELL and LUMBRIK_BERICHT each is one test of a flag.
#pragma once

#include "sim_steuerung.h"

// At every successful open; the first one loads the model and starts its clock.
void modell_oeffnen(const sim_zustand &z);
// After the outputs changed: the model moves to now and takes them.
void modell_abgleichen(const sim_zustand &z);
// The values a vendor read reports: the model's inputs where it drives them.
const int32_t *modell_werte(int32_t funktion, const sim_zustand &z, const int32_t *werte);
// A snapshot shows the inputs as the vendor reads report them.
void modell_ueberlagern(sim_zustand &z);
// Faults recorded up to now (the model moves to now first: a rule may be
// waiting for a time to pass).
uint32_t modell_fehler_anzahl(const sim_zustand &z);
// The box was reset: the model starts again from its start.
void modell_zuruecksetzen(const sim_zustand &z);
