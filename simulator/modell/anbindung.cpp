// The model in the simulated umFish40.DLL: chosen by LUMBRIK_MODELL (a
// built-in name or a file), recorded with LUMBRIK_BERICHT, driven by the
// box's vendor calls and a monotonic millisecond clock.
#include "anbindung.h"

#include "aufzeichnung.h"
#include "lauf.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

int64_t millisekunden() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string umgebung(const char *name) {
  const char *wert = std::getenv(name);
  return wert ? wert : "";
}

struct anbindung {
  bool aktiv = false; // a model runs or a run is recorded
  bool mit_modell = false;
  std::string meldung, name;
  std::unique_ptr<modell::aufzeichnung> bericht;
  std::unique_ptr<modell::lauf> lauf;
  int64_t start = 0;
  int32_t eingang[SIM_EINGAENGE] = {}, analog[SIM_ANALOGE] = {};

  void laden() {
    const std::string wahl = umgebung("LUMBRIK_MODELL");
    const std::string berichtdatei = umgebung("LUMBRIK_BERICHT");
    modell::beschreibung m;
    if (!wahl.empty()) {
      std::string text;
      if (const char *eingebaut = modell::eingebaut(wahl)) {
        text = eingebaut;
      } else {
        std::ifstream datei(wahl, std::ios::binary);
        std::ostringstream inhalt;
        inhalt << datei.rdbuf();
        if (!datei)
          meldung = "Modell " + wahl + ": weder ein eingebautes Modell (" +
                    modell::eingebaute_namen() + ") noch eine lesbare Datei";
        text = inhalt.str();
      }
      if (meldung.empty()) {
        modell::ergebnis e = modell::lesen(text, wahl);
        if (e.modell) {
          m = std::move(*e.modell);
          mit_modell = true;
          name = m.name;
        } else {
          meldung = e.meldung;
        }
      }
      if (!meldung.empty())
        std::fprintf(stderr, "lumbrik Simulator: %s; die Box läuft ohne Modell.\n",
                     meldung.c_str());
    }
    if (!berichtdatei.empty()) {
      bericht = std::make_unique<modell::aufzeichnung>();
      std::string fehler;
      if (!bericht->oeffnen(berichtdatei, fehler)) {
        std::fprintf(stderr, "lumbrik Simulator: %s.\n", fehler.c_str());
        bericht.reset();
      }
    }
    if (!mit_modell && !bericht)
      return;
    lauf = std::make_unique<modell::lauf>(std::move(m), bericht.get());
    start = millisekunden();
    lauf->starten(start);
    aktiv = true;
  }

  void abgleichen(const sim_zustand &z) {
    modell::box_werte box;
    for (size_t i = 0; i < SIM_AUSGAENGE; ++i) {
      box.an[i] = z.ausgang_an[i];
      box.stufe[i] = z.ausgang_stufe[i];
      box.eingang[i] = z.eingang[i];
    }
    for (size_t i = 0; i < SIM_ANALOGE; ++i)
      box.analog[i] = z.analog[i];
    lauf->abgleichen(millisekunden(), box);
    for (int n = 1; n <= SIM_EINGAENGE; ++n)
      eingang[n - 1] = lauf->eingang(n);
    for (int n = 1; n <= SIM_ANALOGE; ++n)
      analog[n - 1] = lauf->analog(n);
  }

  // The report is written when the host ends (the DLL is unloaded).
  ~anbindung() {
    if (!aktiv || !bericht)
      return;
    aktiv = false;
    lauf->fortschreiten(millisekunden());
    bericht->abschliessen(*lauf, lauf->jetzt(), meldung);
  }
};

anbindung modell_box;
bool geladen = false;

} // namespace

void modell_oeffnen(const sim_zustand &z) {
  if (!geladen) {
    geladen = true;
    modell_box.laden();
  }
  if (modell_box.aktiv)
    modell_box.abgleichen(z);
}

void modell_abgleichen(const sim_zustand &z) {
  if (modell_box.aktiv)
    modell_box.abgleichen(z);
}

const int32_t *modell_werte(int32_t funktion, const sim_zustand &z, const int32_t *werte) {
  if (!modell_box.aktiv || (funktion != sim_rbGetInput && funktion != sim_rbGetAnalog))
    return werte;
  modell_box.abgleichen(z);
  return funktion == sim_rbGetInput ? modell_box.eingang : modell_box.analog;
}

void modell_ueberlagern(sim_zustand &z) {
  if (!modell_box.aktiv)
    return;
  modell_box.abgleichen(z);
  for (size_t i = 0; i < SIM_EINGAENGE; ++i)
    z.eingang[i] = modell_box.eingang[i];
  for (size_t i = 0; i < SIM_ANALOGE; ++i)
    z.analog[i] = modell_box.analog[i];
}

uint32_t modell_fehler_anzahl(const sim_zustand &z) {
  if (!modell_box.aktiv)
    return 0;
  modell_box.abgleichen(z);
  const uint64_t anzahl = modell_box.lauf->fehler_anzahl();
  return anzahl > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(anzahl);
}

void modell_zuruecksetzen(const sim_zustand &z) {
  if (!modell_box.aktiv)
    return;
  modell_box.lauf->starten(millisekunden());
  modell_box.abgleichen(z);
}

extern "C" {

const char *SIM_CALL sim_modell_meldung(void) {
  return modell_box.meldung.c_str();
}

const char *SIM_CALL sim_modell_name(void) {
  return modell_box.name.c_str();
}

} // extern "C"
