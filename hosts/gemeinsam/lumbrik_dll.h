// What a host finds in the DLLs it loaded: the fourteen exports of
// lumbrik.dll and, when the simulated umFish40.DLL stands in for the vendor
// library, its control functions.
#pragma once

#include "include/lumbrik.h"
#include "simulator/sim_steuerung.h"

#include <windows.h>

#include <optional>
#include <string>

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

// Finds every export by name in the loaded `modul`. False when one is
// missing; `fehlt` then names the first.
bool exporte_finden(HMODULE modul, lumbrik_exporte &e, std::string &fehlt);

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

// The control functions of the umFish40.DLL loaded in this process (the very
// module lumbrik.dll calls); empty when none is loaded or it is the vendor's.
std::optional<simulator_steuerung> simulator_finden();
