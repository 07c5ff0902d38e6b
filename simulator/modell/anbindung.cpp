// The model of the simulated box and the record of its run (see anbindung.h).
#include "simulator/modell/anbindung.h"

#include "aufzeichnung/ausgaenge.h"
#include "aufzeichnung/datei.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>

namespace {

int64_t millisekunden() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A trace (a recording of the real box) by its extension.
bool ist_spur(const std::string &wahl) {
  std::string e = wahl.size() >= 4 ? wahl.substr(wahl.size() - 4) : "";
  for (char &c : e)
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return e == ".csv";
}

} // namespace

modell::ergebnis modell_anbindung::wiedergabe_beschaffen(const std::string &datei) {
  auto w = std::make_unique<akte::wiedergabe>();
  std::string meldung;
  if (!w->laden(datei, meldung))
    return {std::nullopt, meldung};
  const std::string toleranz = akte::umgebung("LUMBRIK_TOLERANZ");
  if (!toleranz.empty()) {
    char *ende = nullptr;
    const long long ms = std::strtoll(toleranz.c_str(), &ende, 10);
    if (*ende || ms < 0 || ms > 3600000)
      akte::ausgeben(stderr, "lumbrik Simulator: LUMBRIK_TOLERANZ=" + toleranz +
                                 " ist keine Zahl von Millisekunden (0 bis 3600000); es gelten " +
                                 std::to_string(static_cast<long long>(w->toleranz())) + " ms.\n");
    else
      w->toleranz_setzen(ms);
  }
  wiedergabe_ = std::move(w);
  wiedergabe_datei_ = datei;
  modell::beschreibung m;
  m.name = "mitschnitt";
  m.titel = "Mitschnitt " + datei;
  return {std::move(m), ""};
}

// A model that names a recording: it is played back under the model's parts,
// from its path as written or beside the model file. A recording that cannot
// be read refuses the model: a check that silently lacked it would pass.
modell::ergebnis modell_anbindung::mit_mitschnitt(modell::ergebnis e, const std::string &wahl) {
  std::string datei = e.modell->mitschnitt;
  const size_t trenner = wahl.find_last_of("/\\");
  const bool absolut = datei.find_first_of("/\\") == 0 || datei.find(':') != std::string::npos;
  if (!absolut && trenner != std::string::npos)
    datei = wahl.substr(0, trenner + 1) + datei;
  const modell::ergebnis w = wiedergabe_beschaffen(datei);
  if (!w.modell)
    return {std::nullopt, "Modell " + wahl + ": " + w.meldung};
  return e;
}

akte::wiedergabe::melder modell_anbindung::abweichung_melden() {
  return [this](const akte::wiedergabe::abweichung &a) {
    const std::string text = abweichung_als_text(a, bild_.get(), wiedergabe_->null());
    if (abweichungen_.size() < modell::lauf::fehler_platz)
      abweichungen_.push_back({a.zeit, text});
    if (bericht_)
      bericht_->fehler_melden(a.zeit, "mitschnitt", text);
  };
}

int64_t modell_anbindung::uhr(bool vom_host) {
  const int64_t t = millisekunden();
  null_.gesehen(t);
  if (vom_host)
    null_.vom_host(t);
  return null_.stehende_uhr(t);
}

const char *modell_anbindung::bleibend(const std::string &text) {
  return texte_.insert(text).first->c_str();
}

void modell_anbindung::laden() {
  const std::string wahl = akte::umgebung("LUMBRIK_MODELL");
  const std::string berichtdatei = akte::umgebung("LUMBRIK_BERICHT");
  std::optional<modell::beschreibung> m;
  std::string parser_meldung;
  if (!wahl.empty()) {
    modell::ergebnis e = ist_spur(wahl) ? wiedergabe_beschaffen(wahl) : modell_beschaffen(wahl);
    if (e.modell && !e.modell->mitschnitt.empty())
      e = mit_mitschnitt(std::move(e), wahl);
    if (!e.hinweis.empty())
      akte::ausgeben(stderr, "lumbrik Simulator: " + e.hinweis + "\n");
    m = std::move(e.modell);
    meldung_ = e.meldung;
    parser_meldung = e.parser_text;
    if (!meldung_.empty())
      akte::ausgeben(stderr, "lumbrik Simulator: " + meldung_ + "; die Box läuft ohne Modell.\n");
  }
  if (!berichtdatei.empty()) {
    bericht_ = std::make_unique<modell::aufzeichnung>();
    std::string fehler;
    const bool offen = bericht_->oeffnen(berichtdatei, fehler);
    if (!fehler.empty())
      akte::ausgeben(stderr, "lumbrik Simulator: " + fehler + ".\n");
    if (!offen) {
      bericht_.reset();
      bericht_meldung_ = fehler;
    } else {
      bericht_->parser_meldung(parser_meldung);
    }
  }
  starten(std::move(m));
}

void modell_anbindung::starten(std::optional<modell::beschreibung> m) {
  name_ = m ? m->name : "";
  bild_ = m ? std::make_shared<const modell::beschreibung>(*m) : nullptr;
  if (!m && !bericht_) {
    aktiv_ = false;
    lauf_.reset();
    return;
  }
  const int64_t t = uhr();
  auto neu =
      std::make_unique<modell::lauf>(m ? std::move(*m) : modell::beschreibung{}, bericht_.get());
  // A recorded run goes on: its times count from the first model's start.
  if (aktiv_) {
    if (bericht_)
      bericht_->modell_wechselt();
    lauf_->fortschreiten(t);
    neu->ursprung_uebernehmen(t - lauf_->jetzt());
  }
  neu->starten(t);
  lauf_ = std::move(neu);
  aktiv_ = true;
}

// The model moves to now and takes what the box holds.
void modell_anbindung::nachfuehren(const sim_zustand &z, bool vom_host) {
  modell::box_werte box;
  for (size_t i = 0; i < SIM_AUSGAENGE; ++i) {
    box.an[i] = z.ausgang_an[i];
    box.stufe[i] = z.ausgang_stufe[i];
    box.eingang[i] = z.eingang[i];
  }
  for (size_t i = 0; i < SIM_ANALOGE; ++i)
    box.analog[i] = z.analog[i];
  const int64_t jetzt = uhr(vom_host);
  if (wiedergabe_)
    wiedergabe_lesen(jetzt, vom_host, z, box);
  lauf_->abgleichen(jetzt, box);
  for (int n = 1; n <= SIM_EINGAENGE; ++n)
    eingang_[n - 1] = lauf_->eingang(n);
  for (int n = 1; n <= SIM_ANALOGE; ++n)
    analog_[n - 1] = lauf_->analog(n);
  if (!wiedergabe_ || !wiedergabe_->begonnen())
    return;
  // The outputs compared as the trace has them.
  std::array<int32_t, SIM_AUSGAENGE> ausgang{};
  for (size_t i = 0; i < SIM_AUSGAENGE; ++i)
    ausgang[i] = akte::ausgaenge::ausgang_wert(z.ausgang_an[i] != 0, z.ausgang_stufe[i]);
  wiedergabe_->abgleichen(lauf_->jetzt(), ausgang, abweichung_melden());
}

// The reads as recorded, in place of the box's own inputs: the run's trace
// then has them, and a model's parts would still stand over them.
void modell_anbindung::wiedergabe_lesen(int64_t jetzt, bool vom_host, const sim_zustand &z,
                                        modell::box_werte &box) {
  lauf_->fortschreiten(jetzt);
  const int64_t t = lauf_->jetzt();
  if (vom_host)
    wiedergabe_->beginnen(t);
  for (int n = 1; n <= SIM_EINGAENGE; ++n) {
    int32_t &e = box.eingang[static_cast<size_t>(n - 1)];
    e = wiedergabe_->wert(akte::art::eingang, n, t, e);
  }
  for (int n = 1; n <= SIM_ANALOGE; ++n) {
    int32_t &a = box.analog[static_cast<size_t>(n - 1)];
    a = wiedergabe_->wert(akte::art::analog, n, t, a);
  }
  for (int n = 1; n <= SIM_SPANNUNGEN; ++n)
    spannung_[n - 1] = wiedergabe_->wert(akte::art::spannung, n, t, z.spannung[n - 1]);
}

modell_anbindung::~modell_anbindung() {
  if (!aktiv_ || !bericht_)
    return;
  aktiv_ = false;
  lauf_->fortschreiten(uhr());
  if (wiedergabe_)
    wiedergabe_->beenden(lauf_->jetzt(), abweichung_melden());
  bericht_->vor_null(null_.gestanden());
  if (wiedergabe_)
    bericht_->aufnahme(wiedergabe_datei_, wiedergabe_->null());
  const std::string probleme = bericht_->abschliessen(*lauf_, lauf_->jetzt(), meldung_);
  if (!probleme.empty())
    akte::ausgeben(stderr, "lumbrik Simulator: " + probleme + ".\n");
}

void modell_anbindung::oeffnen(const sim_zustand &z) {
  if (!geladen_) {
    geladen_ = true;
    laden();
  }
  if (aktiv_)
    nachfuehren(z);
}

void modell_anbindung::abgleichen(const sim_zustand &z) {
  if (aktiv_)
    nachfuehren(z, true);
}

const int32_t *modell_anbindung::werte(int32_t funktion, const sim_zustand &z,
                                       const int32_t *box_werte) {
  const bool spannung = funktion == sim_rbGetVoltage && wiedergabe_;
  if (!aktiv_ || (funktion != sim_rbGetInput && funktion != sim_rbGetAnalog && !spannung))
    return box_werte;
  nachfuehren(z, true);
  return funktion == sim_rbGetInput ? eingang_ : spannung ? spannung_ : analog_;
}

void modell_anbindung::ueberlagern(sim_zustand &z) {
  if (!aktiv_)
    return;
  nachfuehren(z);
  std::copy(std::begin(eingang_), std::end(eingang_), z.eingang);
  std::copy(std::begin(analog_), std::end(analog_), z.analog);
  if (wiedergabe_)
    std::copy(std::begin(spannung_), std::end(spannung_), z.spannung);
}

uint32_t modell_anbindung::fehler_anzahl(const sim_zustand &z) {
  if (!aktiv_)
    return 0;
  nachfuehren(z);
  // A host asks for the count when it wants the verdict (the console at its
  // script's end, before the DLL goes): a recorded change not made by now
  // counts now, not only when the report is written.
  if (wiedergabe_)
    wiedergabe_->beenden(lauf_->jetzt(), abweichung_melden());
  const uint64_t anzahl = lauf_->fehler_anzahl() + (wiedergabe_ ? wiedergabe_->anzahl() : 0);
  return anzahl > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(anzahl);
}

bool modell_anbindung::fehler_eintrag(uint32_t index, sim_fehler &f) {
  if (!aktiv_)
    return false;
  // Both lists are in time order: the index-th of them merged.
  const std::vector<modell::fehler_eintrag> &regeln = lauf_->fehlerliste();
  size_t r = 0, a = 0;
  for (;;) {
    const bool regel_da = r < regeln.size();
    const bool abweichung_da = a < abweichungen_.size();
    if (!regel_da && !abweichung_da)
      return false;
    const bool regel_zuerst =
        regel_da && (!abweichung_da || regeln[r].zeit <= abweichungen_[a].zeit);
    if (index-- > 0) {
      (regel_zuerst ? r : a)++;
      continue;
    }
    if (regel_zuerst) {
      const modell::regel &g = lauf_->modell().regeln[static_cast<size_t>(regeln[r].regel)];
      f = {regeln[r].zeit, bleibend(g.name), bleibend(g.text)};
    } else {
      f = {abweichungen_[a].zeit, bleibend("mitschnitt"), bleibend(abweichungen_[a].text)};
    }
    return true;
  }
}

void modell_anbindung::zuruecksetzen(const sim_zustand &z) {
  if (!aktiv_)
    return;
  lauf_->starten(uhr());
  nachfuehren(z);
}

void modell_anbindung::lesen(const sim_zustand &z, modell_stand &stand, size_t fehler_platz) {
  stand.modell = bild_;
  stand.meldung = meldung_;
  sim_zustand gezeigt = z;
  ueberlagern(gezeigt);
  std::copy(std::begin(gezeigt.eingang), std::end(gezeigt.eingang), stand.eingang.begin());
  std::copy(std::begin(gezeigt.analog), std::end(gezeigt.analog), stand.analog.begin());
  std::copy(std::begin(z.ausgang_an), std::end(z.ausgang_an), stand.an.begin());
  stand.positionen.clear();
  stand.fehler.clear();
  stand.fehler_anzahl = 0;
  if (!bild_)
    return;
  for (size_t i = 0; i < bild_->achsen.size(); ++i)
    stand.positionen.push_back(lauf_->position(i));
  const std::deque<modell::fehler_eintrag> &liste = lauf_->neueste_fehler();
  const size_t ab = liste.size() > fehler_platz ? liste.size() - fehler_platz : 0;
  stand.fehler.assign(liste.begin() + static_cast<std::ptrdiff_t>(ab), liste.end());
  stand.fehler_anzahl = lauf_->fehler_anzahl();
}

void modell_anbindung::einsetzen(std::optional<modell::beschreibung> m, const sim_zustand &z) {
  // A choice made by hand stands over LUMBRIK_MODELL, even before the first open.
  geladen_ = true;
  meldung_.clear();
  wiedergabe_.reset();
  abweichungen_.clear();
  starten(std::move(m));
  if (aktiv_)
    nachfuehren(z);
}

const char *modell_anbindung::meldung_utf8() {
  return bleibend(meldung_);
}

const char *modell_anbindung::bericht_meldung_utf8() {
  return bleibend(bericht_meldung_);
}

const char *modell_anbindung::name_utf8() {
  return bleibend(name_);
}

modell::ergebnis modell_beschaffen(const std::string &wahl) {
  if (wahl.empty())
    return {};
  if (const char *eingebaut = modell::eingebaut(wahl))
    return modell::lesen(eingebaut, wahl);
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> datei(akte::datei_oeffnen(wahl, "rb"),
                                                               std::fclose);
  if (!datei || akte::ist_ordner(wahl)) {
    const std::optional<std::string_view> gemeint = modell::gemeintes_modell(wahl);
    return {std::nullopt, "Modell " + wahl + ": kein eingebautes Modell" +
                              (gemeint ? " (meinten Sie " + std::string(*gemeint) + "?)" : "") +
                              " und keine lesbare Datei (gesucht als " + akte::voller_pfad(wahl) +
                              "); eingebaut sind " + modell::eingebaute_namen()};
  }
  // One byte more than a model may have: lesen refuses a file that long
  // without reading on.
  std::string inhalt(modell::datei_platz + 1, '\0');
  inhalt.resize(std::fread(inhalt.data(), 1, inhalt.size(), datei.get()));
  if (std::ferror(datei.get()))
    return {std::nullopt, "Modell " + wahl + ": die Datei lässt sich nicht lesen"};
  return modell::lesen(inhalt, wahl);
}

namespace {

// An output's value as the window shows it: "aus", or "an (Stufe 7)".
std::string zustand(int32_t wert) {
  return wert == 0 ? "aus" : "an (Stufe " + std::to_string(wert) + ")";
}

} // namespace

// A divergence as a teacher checks it against the recording: "Ausgang 3
// (Motor 2 vor) war in der Aufnahme bei 1,20 s an (Stufe 7), jetzt aus", the
// time on the recording's timeline (its zero at `null` on the run's). With a
// model an output that lights a lamp is named by it.
std::string abweichung_als_text(const akte::wiedergabe::abweichung &a,
                                const modell::beschreibung *m, int64_t null) {
  // The output's number, from "Ausgang 3".
  const size_t ziffer = a.signal.find_first_of("0123456789");
  const int n = ziffer == std::string::npos ? 0 : std::atoi(a.signal.c_str() + ziffer);
  std::string was;
  if (m)
    for (const modell::lampe &l : m->lampen)
      if (l.ausgang == n)
        was = "Lampe " + l.name;
  // Motor k runs forward with output 2k-1, back with 2k.
  if (was.empty() && n >= 1)
    was = "Motor " + std::to_string((n + 1) / 2) + (n % 2 ? " vor" : " zurück");
  const int64_t ms = std::max<int64_t>(a.zeit - null, 0);
  char sekunden[32];
  std::snprintf(sekunden, sizeof sekunden, "%lld,%02d s", static_cast<long long>(ms / 1000),
                static_cast<int>(ms % 1000 / 10));
  return a.signal + (was.empty() ? "" : " (" + was + ")") + " war in der Aufnahme bei " + sekunden +
         " " + zustand(a.aufgezeichnet) + ", jetzt " + zustand(a.jetzt);
}
