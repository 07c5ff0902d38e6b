// The simulated interface box as one object: what its outputs, motors and
// inputs hold, the log of the vendor calls it received, the model it drives
// and the record of the run, all behind its one lock. Each box has its own:
// two boxes side by side share nothing.
//
// The exported vendor functions and sim_ controls are a thin shim over one
// box (umFish40_sim.cpp), as lumbrik_exports.cpp is for the DLL; the window
// holds the box it shows; the native tests make a box of their own.
#pragma once

#include "aufzeichnung/ausgaenge.h"
#include "simulator/modell/anbindung.h"
#include "simulator/sim_steuerung.h"
#include "basis/sperre.h"

#include <array>
#include <cstdint>
#include <string>

// What the window draws, read from the box in one locked step.
struct box_bild {
  // The inputs as the vendor reads report them (the model's where it drives them).
  sim_zustand zustand{};
  uint32_t aufrufe = 0;
  // The latest call, when there was one.
  sim_aufruf letzter{};
  bool letzter_da = false;
  modell_stand modell;
};

class box {
public:
  box() = default;
  box(const box &) = delete;
  box &operator=(const box &) = delete;

  // The vendor's eight functions, as the box answers them.
#define BOX_VENDOR(name, ergebnis, parameter, argumente, bytes)                                    \
  ergebnis name parameter EXCLUDES(sperre_);
  UMFISH40_FUNKTIONEN(BOX_VENDOR)
#undef BOX_VENDOR

  // The controls of sim_steuerung.h, by their names without "sim_".
#define BOX_STEUERUNG(name, ergebnis, parameter, argumente, bytes)                                 \
  ergebnis name parameter EXCLUDES(sperre_);
  SIM_STEUERUNG(BOX_STEUERUNG)
#undef BOX_STEUERUNG

  // --- What the window asks beyond the controls ---

  // Switches an input between 0 and 1 in one locked step, so that a host's
  // change just before is not lost. False for a number out of range.
  bool eingang_umschalten(int32_t nummer) EXCLUDES(sperre_);
  // Everything the window shows, with the model's latest `fehler_platz` faults.
  void bild_lesen(box_bild &bild, size_t fehler_platz) EXCLUDES(sperre_);
  // Runs another model from its start: a built-in name, a file, or "" for
  // none. When it cannot be loaded nothing changes and `meldung` says why.
  bool modell_waehlen(const std::string &wahl, std::string &meldung) EXCLUDES(sperre_);

private:
  bool handle_bekannt(uint32_t handle) const REQUIRES(sperre_);
  int32_t protokollieren(sim_funktion funktion, int32_t ergebnis, int anzahl, int32_t a = 0,
                         int32_t b = 0, int32_t c = 0, int32_t d = 0) REQUIRES(sperre_);
  void ausgaenge_uebernehmen() REQUIRES(sperre_);
  int32_t wert_setzen(int32_t *werte, int anzahl, int32_t nummer, int32_t wert) REQUIRES(sperre_);
  int32_t wert_lesen(sim_funktion funktion, uint32_t handle, const int32_t *werte, int anzahl,
                     int32_t nummer) REQUIRES(sperre_);

  // Hosts, the window and tests reach the box from several threads.
  mutable sperre sperre_;
  sim_zustand zustand_ GUARDED_BY(sperre_){};
  // The outputs by the vendor's rules; zustand_ shows them.
  akte::ausgaenge ausgaenge_ GUARDED_BY(sperre_);
  bool oeffnen_scheitert_ GUARDED_BY(sperre_) = false;
  uint32_t aufrufe_ GUARDED_BY(sperre_) = 0;
  std::array<sim_aufruf, SIM_PROTOKOLL_PLATZ> protokoll_ GUARDED_BY(sperre_){};
  // Declared last, so it goes first: the report is written while the rest
  // of the box still stands.
  modell_anbindung modell_ GUARDED_BY(sperre_);
};

// The box the exported functions drive: the DLL's own, or the one a test
// put in its place.
box &simulierte_box();
// For tests: the exported functions drive `b` from now on; nullptr gives
// them the DLL's own box again.
void simulierte_box_setzen(box *b);
