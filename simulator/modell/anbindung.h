// Where the model meets the simulated box: the model chosen by
// LUMBRIK_MODELL (a built-in name or a file) or the window's menu, the record
// of the run for LUMBRIK_BERICHT, both driven by the box's vendor calls and
// a monotonic millisecond clock. The box holds one and calls it with its
// lock held; without a model and a report each call is one test of a flag.
#pragma once

#include "simulator/modell/aufzeichnung.h"
#include "simulator/modell/lauf.h"
#include "aufzeichnung/wiedergabe.h"
#include "aufzeichnung/nullpunkt.h"
#include "simulator/sim_steuerung.h"

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

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

// A divergence as a teacher checks it against the recording: "Ausgang 3
// (Motor 2 vor) war in der Aufnahme bei 1,20 s an (Stufe 7), jetzt aus", the
// time on the recording's timeline (its zero at `null` on the run's). With a
// model an output that lights a lamp is named by it.
std::string abweichung_als_text(const akte::wiedergabe::abweichung &a,
                                const modell::beschreibung *m, int64_t null);

// A model by its choice: a built-in name or a file; "" is no model. Needs no
// lock: it only reads.
modell::ergebnis modell_beschaffen(const std::string &wahl);

class modell_anbindung {
public:
  modell_anbindung() = default;
  // The report is written when the box goes (the DLL is unloaded).
  ~modell_anbindung();
  modell_anbindung(const modell_anbindung &) = delete;
  modell_anbindung &operator=(const modell_anbindung &) = delete;

  // At every successful open; the first one loads the model.
  void oeffnen(const sim_zustand &z);
  // After the outputs changed or were read: the model moves to now and takes them.
  void abgleichen(const sim_zustand &z);
  // The values a vendor read reports: the model's inputs where it drives them.
  const int32_t *werte(int32_t funktion, const sim_zustand &z, const int32_t *box_werte);
  // A snapshot shows the inputs as the vendor reads report them.
  void ueberlagern(sim_zustand &z);
  // Faults recorded up to now (the model moves to now first: a rule may be
  // waiting for a time to pass). A recording played back is judged to now:
  // its changes the host has not made count.
  uint32_t fehler_anzahl(const sim_zustand &z);
  // Fault `index` of the first ones kept, the rules' and a replay's
  // together in time order; false past the end.
  bool fehler_eintrag(uint32_t index, sim_fehler &f);
  // The box was reset: the model starts again from its start.
  void zuruecksetzen(const sim_zustand &z);
  // The model moved to now, with at most `fehler_platz` of its latest faults.
  void lesen(const sim_zustand &z, modell_stand &stand, size_t fehler_platz);
  // Runs `m` (or no model) from its start from now on; a report being
  // recorded goes on with it, its times counting on.
  void einsetzen(std::optional<modell::beschreibung> m, const sim_zustand &z);
  // The name of the model that runs and why a chosen one could not be
  // loaded, UTF-8; each text stays valid as long as the binding.
  const char *name_utf8();
  const char *meldung_utf8();
  // Why the report asked for cannot be written, or "".
  const char *bericht_meldung_utf8();

private:
  void laden();
  void starten(std::optional<modell::beschreibung> m);
  // `vom_host` for a host's switch or read (not the window's look).
  void nachfuehren(const sim_zustand &z, bool vom_host = false);
  // A recording's trace chosen as the model: played back, with a model of
  // its own name and no parts.
  modell::ergebnis wiedergabe_beschaffen(const std::string &datei);
  modell::ergebnis mit_mitschnitt(modell::ergebnis e, const std::string &wahl);
  akte::wiedergabe::melder abweichung_melden();
  void wiedergabe_lesen(int64_t jetzt, bool vom_host, const sim_zustand &z, modell::box_werte &box);
  const char *bleibend(const std::string &text);
  // The model's clock (ms): it stands still from the first time it is read
  // until the host first switches or reads (see nullpunkt.h). A recording
  // counts from the same call.
  int64_t uhr(bool vom_host = false);

  bool geladen_ = false;
  akte::nullpunkt null_; // in milliseconds
  bool aktiv_ = false;   // a model runs or a run is recorded
  // Kept apart from the run, so the window can hold it while a switch goes on.
  std::shared_ptr<const modell::beschreibung> bild_;
  std::string meldung_, name_, bericht_meldung_;
  std::unique_ptr<modell::aufzeichnung> bericht_;
  std::unique_ptr<modell::lauf> lauf_;
  std::unique_ptr<akte::wiedergabe> wiedergabe_;
  // A replay's first divergences, with their texts, for fehler_eintrag.
  struct abweichung_eintrag {
    int64_t zeit;
    std::string text;
  };
  std::vector<abweichung_eintrag> abweichungen_;
  std::string wiedergabe_datei_; // the recording's trace, as named
  int32_t eingang_[SIM_EINGAENGE] = {}, analog_[SIM_ANALOGE] = {}, spannung_[SIM_SPANNUNGEN] = {};
  // A host may keep what sim_modell_name_utf8 returned while the window switches
  // the model: every text handed out stays, unchanged.
  std::set<std::string> texte_;
};
