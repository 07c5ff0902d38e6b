// Where the model meets the simulated box. The box calls these with its lock
// held; without LUMBRIK_MODELL and LUMBRIK_BERICHT each is one test of a flag.
#pragma once

#include "lauf.h"
#include "sim_steuerung.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

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

// A snapshot of the model that runs, for the window.
struct modell_stand {
  // Null when no model runs.
  std::shared_ptr<const modell::beschreibung> modell;
  // Why a chosen model could not be loaded, or empty.
  std::string meldung;
  std::vector<double> positionen;
  // The inputs as the model reports them; the outputs that are on.
  std::array<int32_t, SIM_EINGAENGE> eingang{};
  std::array<int32_t, SIM_ANALOGE> analog{};
  std::array<int32_t, SIM_AUSGAENGE> an{};
  uint64_t fehler_anzahl = 0;
  // The latest faults (up to `fehler_platz` of them), oldest first.
  std::vector<modell::fehler_eintrag> fehler;
  bool operator==(const modell_stand &) const = default;
};
// The model moved to now, with at most `fehler_platz` of its latest faults.
void modell_lesen(const sim_zustand &z, modell_stand &stand, size_t fehler_platz);

// A model by its choice: a built-in name or a file; "" is no model. Needs no
// lock: it only reads.
modell::ergebnis modell_beschaffen(const std::string &wahl);
// The name of the model that runs and why a chosen one could not be loaded;
// each text stays valid while the DLL is loaded.
const char *modell_name();
const char *modell_meldung();

// Runs `m` (or no model) from its start from now on; a report being
// recorded goes on with it, its times counting on.
void modell_einsetzen(std::optional<modell::beschreibung> m, const sim_zustand &z);
