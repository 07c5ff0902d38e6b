// The control functions of the simulated box, found in the umFish40.DLL that
// lumbrik.dll brought into this process - if that is the simulator.
#pragma once

#include "simulator/sim_steuerung.h"

#include <optional>

struct simulator_steuerung {
  decltype(&::sim_zuruecksetzen) zuruecksetzen;
  decltype(&::sim_oeffnen_fehlschlagen) oeffnen_fehlschlagen;
  decltype(&::sim_eingang_setzen) eingang_setzen;
  decltype(&::sim_analog_setzen) analog_setzen;
  decltype(&::sim_spannung_setzen) spannung_setzen;
  decltype(&::sim_zustand_lesen) zustand_lesen;
  decltype(&::sim_protokoll_anzahl) protokoll_anzahl;
  decltype(&::sim_protokoll_eintrag) protokoll_eintrag;
  decltype(&::sim_funktionsname) funktionsname;
};

// Empty with the vendor's real library (it has no sim_zustand_lesen).
std::optional<simulator_steuerung> simulator_finden();
