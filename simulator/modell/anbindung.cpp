// The model in the simulated umFish40.DLL: chosen by LUMBRIK_MODELL (a
// built-in name or a file) or the window's menu, recorded with
// LUMBRIK_BERICHT, driven by the box's vendor calls and a monotonic
// millisecond clock.
#include "anbindung.h"

#include "aufzeichnung.h"
#include "datei.h"
#include "lauf.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>

namespace {

int64_t millisekunden() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A host may keep what sim_modell_name returned while the window switches
// the model: every text handed out stays, unchanged, until the DLL unloads.
const char *bleibend(const std::string &text) {
  static std::set<std::string> texte;
  return texte.insert(text).first->c_str();
}

struct anbindung {
  bool aktiv = false; // a model runs or a run is recorded
  // Kept apart from the run, so the window can hold it while a switch goes on.
  std::shared_ptr<const modell::beschreibung> bild;
  std::string meldung, name;
  std::unique_ptr<modell::aufzeichnung> bericht;
  std::unique_ptr<modell::lauf> lauf;
  int32_t eingang[SIM_EINGAENGE] = {}, analog[SIM_ANALOGE] = {};

  void laden() {
    const std::string wahl = modell::umgebung("LUMBRIK_MODELL");
    const std::string berichtdatei = modell::umgebung("LUMBRIK_BERICHT");
    std::optional<modell::beschreibung> m;
    if (!wahl.empty()) {
      modell::ergebnis e = modell_beschaffen(wahl);
      m = std::move(e.modell);
      meldung = e.meldung;
      if (!meldung.empty())
        std::fprintf(stderr, "lumbrik Simulator: %s; die Box läuft ohne Modell.\n",
                     meldung.c_str());
    }
    if (!berichtdatei.empty()) {
      bericht = std::make_unique<modell::aufzeichnung>();
      std::string fehler;
      const bool offen = bericht->oeffnen(berichtdatei, fehler);
      if (!fehler.empty())
        std::fprintf(stderr, "lumbrik Simulator: %s.\n", fehler.c_str());
      if (!offen)
        bericht.reset();
    }
    einsetzen(std::move(m));
  }

  void einsetzen(std::optional<modell::beschreibung> m) {
    name = m ? m->name : "";
    bild = m ? std::make_shared<const modell::beschreibung>(*m) : nullptr;
    if (!m && !bericht) {
      aktiv = false;
      lauf.reset();
      return;
    }
    const int64_t t = millisekunden();
    auto neu =
        std::make_unique<modell::lauf>(m ? std::move(*m) : modell::beschreibung{}, bericht.get());
    // A recorded run goes on: its times count from the first model's start.
    if (aktiv) {
      lauf->fortschreiten(t);
      neu->ursprung_uebernehmen(t - lauf->jetzt());
    }
    neu->starten(t);
    lauf = std::move(neu);
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
    const std::string probleme = bericht->abschliessen(*lauf, lauf->jetzt(), meldung);
    if (!probleme.empty())
      std::fprintf(stderr, "lumbrik Simulator: %s.\n", probleme.c_str());
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

void modell_lesen(const sim_zustand &z, modell_stand &stand, size_t fehler_platz) {
  stand.modell = modell_box.bild;
  stand.meldung = modell_box.meldung;
  sim_zustand gezeigt = z;
  modell_ueberlagern(gezeigt);
  std::copy(std::begin(gezeigt.eingang), std::end(gezeigt.eingang), stand.eingang.begin());
  std::copy(std::begin(gezeigt.analog), std::end(gezeigt.analog), stand.analog.begin());
  std::copy(std::begin(z.ausgang_an), std::end(z.ausgang_an), stand.an.begin());
  stand.positionen.clear();
  stand.fehler.clear();
  stand.fehler_anzahl = 0;
  if (!modell_box.bild)
    return;
  for (size_t i = 0; i < modell_box.bild->achsen.size(); ++i)
    stand.positionen.push_back(modell_box.lauf->position(i));
  const std::deque<modell::fehler_eintrag> &liste = modell_box.lauf->neueste_fehler();
  const size_t ab = liste.size() > fehler_platz ? liste.size() - fehler_platz : 0;
  stand.fehler.assign(liste.begin() + static_cast<std::ptrdiff_t>(ab), liste.end());
  stand.fehler_anzahl = modell_box.lauf->fehler_anzahl();
}

modell::ergebnis modell_beschaffen(const std::string &wahl) {
  if (wahl.empty())
    return {};
  if (const char *eingebaut = modell::eingebaut(wahl))
    return modell::lesen(eingebaut, wahl);
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> datei(modell::datei_oeffnen(wahl, "rb"),
                                                               std::fclose);
  if (!datei || modell::ist_ordner(wahl))
    return {std::nullopt, "Modell " + wahl + ": weder ein eingebautes Modell (" +
                              modell::eingebaute_namen() + ") noch eine lesbare Datei"};
  // One byte more than a model may have: lesen refuses a file that long
  // without reading on.
  std::string inhalt(modell::datei_platz + 1, '\0');
  inhalt.resize(std::fread(inhalt.data(), 1, inhalt.size(), datei.get()));
  if (std::ferror(datei.get()))
    return {std::nullopt, "Modell " + wahl + ": die Datei lässt sich nicht lesen"};
  return modell::lesen(inhalt, wahl);
}

void modell_einsetzen(std::optional<modell::beschreibung> m, const sim_zustand &z) {
  // A choice made by hand stands over LUMBRIK_MODELL, even before the first open.
  geladen = true;
  modell_box.meldung.clear();
  modell_box.einsetzen(std::move(m));
  if (modell_box.aktiv)
    modell_box.abgleichen(z);
}

const char *modell_meldung() {
  return bleibend(modell_box.meldung);
}

const char *modell_name() {
  return bleibend(modell_box.name);
}
