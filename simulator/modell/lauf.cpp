// The model's motion, its inputs and its rules (see lauf.h).
#include "simulator/modell/lauf.h"

#include "aufzeichnung/ausgaenge.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace modell {
namespace {

constexpr int64_t nie = std::numeric_limits<int64_t>::max();
constexpr std::string_view nummern[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};
static_assert(std::size(nummern) > SIM_AUSGAENGE && std::size(nummern) > SIM_EINGAENGE);

double gerundet(double p) {
  const double r = std::round(p / achse_aufloesung) * achse_aufloesung;
  return r == 0 ? 0 : r; // never -0
}

bool im_fenster(const std::vector<zeitfenster> &fenster, int64_t t) {
  for (const zeitfenster &f : fenster)
    if (t >= f.first && t < f.second)
      return true;
  return false;
}

// The next edge of a window list after t.
int64_t naechste_kante(const std::vector<zeitfenster> &fenster, int64_t t) {
  int64_t n = nie;
  for (const zeitfenster &f : fenster) {
    if (f.first > t)
      n = std::min(n, f.first);
    else if (f.second > t)
      n = std::min(n, f.second);
  }
  return n;
}

} // namespace

lauf::lauf(beschreibung m, beobachter *b) : m_(std::move(m)), b_(b) {
  achsen_.resize(m_.achsen.size());
  for (size_t i = 0; i < m_.achsen.size(); ++i) {
    std::vector<double> &s = achsen_[i].schwellen;
    if (m_.achsen[i].min) {
      s.push_back(*m_.achsen[i].min);
      s.push_back(*m_.achsen[i].max);
    }
  }
  for (const schalter &s : m_.schalter_liste) {
    if (s.ab)
      achsen_[static_cast<size_t>(s.achse)].schwellen.push_back(*s.ab);
    if (s.bis)
      achsen_[static_cast<size_t>(s.achse)].schwellen.push_back(*s.bis);
  }
  for (const poti &p : m_.potis) {
    achsen_[static_cast<size_t>(p.achse)].schwellen.push_back(p.von);
    achsen_[static_cast<size_t>(p.achse)].schwellen.push_back(p.bis);
  }
  for (const licht &l : m_.lichter)
    if (l.achse >= 0)
      for (double teil : l.teile) {
        // A part at `teil` covers `bei` while the axis is between these two.
        achsen_[static_cast<size_t>(l.achse)].schwellen.push_back(l.bei - teil - l.laenge);
        achsen_[static_cast<size_t>(l.achse)].schwellen.push_back(l.bei - teil);
      }
  for (achsstand &a : achsen_)
    std::sort(a.schwellen.begin(), a.schwellen.end());
  schalter_.resize(m_.schalter_liste.size());
  regeln_.resize(m_.regeln.size());
}

void lauf::aufzeichnen(signalart art, std::string_view name, double wert) const {
  if (b_)
    b_->aenderung(jetzt_ - ursprung_, art, name, wert);
}

void lauf::starten(int64_t t) {
  if (gestartet_)
    t = std::max(t, jetzt_);
  else
    ursprung_ = t;
  gestartet_ = true;
  basis_ = jetzt_ = t;
  for (size_t i = 0; i < achsen_.size(); ++i) {
    achsen_[i].p0 = m_.achsen[i].start;
    achsen_[i].v = 0;
    achsen_[i].richtung = achsen_[i].stufe = 0;
    achsen_[i].t0 = t;
    achsen_[i].am_anschlag = false;
    achse_melden(i, t);
  }
  for (schalterstand &s : schalter_)
    s = schalterstand{};
  for (regelstand &r : regeln_)
    r = regelstand{};
  // Every signal gets a first value, so a trace has a lane for each.
  box_ = box_werte{};
  ausgang_.fill(-1);
  motor_.fill(-1);
  eingang_.fill(-1);
  analog_.fill(-1);
  for (int n = 1; n <= SIM_AUSGAENGE; ++n)
    melden(signalart::ausgang, n, ausgang_[static_cast<size_t>(n - 1)], 0);
  for (int n = 1; n <= SIM_MOTOREN; ++n)
    melden(signalart::motor, n, motor_[static_cast<size_t>(n - 1)], 0);
  auswerten(t);
}

double lauf::position_bei(size_t achse, int64_t t) const {
  const achsstand &a = achsen_[achse];
  double p = a.p0 + a.v * static_cast<double>(t - a.t0);
  if (m_.achsen[achse].min)
    p = std::clamp(p, *m_.achsen[achse].min, *m_.achsen[achse].max);
  return p;
}

double lauf::wirksam(size_t achse, double p) const {
  const achsstand &a = achsen_[achse];
  const modell::achse &d = m_.achsen[achse];
  return d.min && ((a.v > 0 && p >= *d.max) || (a.v < 0 && p <= *d.min)) ? 0 : a.v;
}

// A line per change of motion: the diagram draws straight between an axis's
// lines, so a line that lies on that straight (the same millisecond, a
// motor switched off against a stop, a new level at the same speed) is left
// out.
void lauf::achse_melden(size_t achse, int64_t t) {
  achsstand &a = achsen_[achse];
  const double p = position_bei(achse, t), v = wirksam(achse, p);
  const bool gleich_schnell = std::abs(v - a.gemeldet_v) <= 1e-12 * std::abs(v);
  const double erwartet = a.gemeldet_wert + a.gemeldet_v * static_cast<double>(t - a.gemeldet_zeit);
  const bool auf_der_linie = std::abs(p - erwartet) < achse_aufloesung;
  if (a.gemeldet && auf_der_linie && (gleich_schnell || t == a.gemeldet_zeit)) {
    a.gemeldet_v = v;
    return;
  }
  a.gemeldet = true;
  a.gemeldet_zeit = t;
  a.gemeldet_wert = gerundet(p);
  a.gemeldet_v = v;
  aufzeichnen(signalart::achse, m_.achsen[achse].name, a.gemeldet_wert);
}

bool lauf::beleuchtet(const licht &l, int64_t t) const {
  if (l.lampe >= 0 &&
      !box_.an[static_cast<size_t>(m_.lampen[static_cast<size_t>(l.lampe)].ausgang - 1)])
    return false;
  if (im_fenster(l.zeiten, t - basis_))
    return false;
  if (l.achse >= 0) {
    const double s = position_bei(static_cast<size_t>(l.achse), t);
    for (double teil : l.teile)
      if (teil + s <= l.bei && l.bei <= teil + s + l.laenge)
        return false;
  }
  return true;
}

// The earliest time after now at which some input, stop or rule may change.
// A candidate too early is harmless: the engine only looks again.
int64_t lauf::naechstes_ereignis() const {
  int64_t n = nie;
  for (size_t i = 0; i < achsen_.size(); ++i) {
    const achsstand &a = achsen_[i];
    if (a.v == 0)
      continue;
    const double p = position_bei(i, jetzt_);
    // The nearest threshold ahead whose crossing is still to come.
    auto pruefen = [&](double x) {
      const double c = static_cast<double>(a.t0) + (x - a.p0) / a.v;
      if (!(c < 9e15 && c > -9e15))
        return false;
      const auto k = static_cast<int64_t>(std::floor(c));
      if (k + 1 <= jetzt_)
        return false;
      n = std::min(n, k > jetzt_ ? k : k + 1);
      return true;
    };
    if (a.v > 0) {
      for (auto x = std::lower_bound(a.schwellen.begin(), a.schwellen.end(), p - 1e-9);
           x != a.schwellen.end(); ++x)
        if (pruefen(*x))
          break;
    } else {
      for (auto x = std::upper_bound(a.schwellen.begin(), a.schwellen.end(), p + 1e-9);
           x != a.schwellen.begin();)
        if (pruefen(*--x))
          break;
    }
  }
  for (size_t i = 0; i < schalter_.size(); ++i)
    if (schalter_[i].prell_ende > jetzt_)
      n = std::min(n, jetzt_ + 1);
  for (const taster &k : m_.taster_liste) {
    const int64_t kante = naechste_kante(k.gedrueckt, jetzt_ - basis_);
    if (kante != nie)
      n = std::min(n, basis_ + kante);
  }
  for (const licht &l : m_.lichter) {
    const int64_t kante = naechste_kante(l.zeiten, jetzt_ - basis_);
    if (kante != nie)
      n = std::min(n, basis_ + kante);
  }
  for (size_t i = 0; i < regeln_.size(); ++i) {
    const regelstand &r = regeln_[i];
    if (r.bedingung && !r.gemeldet)
      n = std::min(n, std::max(jetzt_ + 1, r.seit + m_.regeln[i].binnen_ms));
  }
  return n;
}

void lauf::fortschreiten(int64_t t) {
  if (t <= jetzt_)
    return;
  for (int64_t e = naechstes_ereignis(); e <= t; e = naechstes_ereignis()) {
    jetzt_ = e;
    auswerten(e);
  }
  jetzt_ = t;
  auswerten(t);
}

void lauf::abgleichen(int64_t t, const box_werte &box) {
  // A clock that steps back must not move the model backwards.
  t = std::max(t, jetzt_);
  fortschreiten(t);
  box_ = box;
  for (size_t i = 0; i < m_.achsen.size(); ++i) {
    const achse &a = m_.achsen[i];
    const auto vor = static_cast<size_t>(2 * a.motor - 2), zurueck = vor + 1;
    int richtung = (box.an[vor] ? 1 : 0) - (box.an[zurueck] ? 1 : 0);
    int32_t stufe = std::min(richtung > 0 ? box.stufe[vor] : box.stufe[zurueck], SIM_STUFEN);
    if (richtung == 0 || stufe <= 0)
      richtung = stufe = 0;
    // The axis changes when what decides its speed does. The speed itself is
    // no test: a value computed afresh may differ in its last bits from the
    // one stored (x87 code holds it in 80 bits), and every call would count.
    achsstand &s = achsen_[i];
    if (richtung != s.richtung || stufe != s.stufe) {
      s.p0 = position_bei(i, t);
      s.t0 = t;
      s.richtung = richtung;
      s.stufe = stufe;
      s.v = richtung == 0 ? 0
                          : richtung * (a.umgekehrt ? -1 : 1) *
                                a.geschwindigkeit[static_cast<size_t>(stufe - 1)] / 1000.0;
      s.am_anschlag = false;
      achse_melden(i, t);
    }
  }
  for (int n = 1; n <= SIM_AUSGAENGE; ++n) {
    const auto i = static_cast<size_t>(n - 1);
    melden(signalart::ausgang, n, ausgang_[i],
           akte::ausgaenge::ausgang_wert(box.an[i] != 0, box.stufe[i]));
  }
  for (int m = 1; m <= SIM_MOTOREN; ++m) {
    const auto i = static_cast<size_t>(2 * m - 2);
    melden(signalart::motor, m, motor_[static_cast<size_t>(m - 1)],
           akte::ausgaenge::motor_wert(box.an[i] != 0, box.stufe[i], box.an[i + 1] != 0,
                                       box.stufe[i + 1]));
  }
  auswerten(t);
}

void lauf::melden(signalart art, int nummer, int32_t &alt, int32_t neu) {
  if (alt == neu)
    return;
  alt = neu;
  aufzeichnen(art, nummern[nummer], neu);
}

// Everything that follows from the positions and the box at time t.
void lauf::auswerten(int64_t t) {
  std::array<int32_t, SIM_EINGAENGE> eingang = box_.eingang;
  std::array<int32_t, SIM_ANALOGE> analog = box_.analog;

  for (size_t i = 0; i < achsen_.size(); ++i) {
    achsstand &a = achsen_[i];
    const bool anschlag = a.v != 0 && wirksam(i, position_bei(i, t)) == 0;
    if (anschlag && !a.am_anschlag)
      achse_melden(i, t);
    a.am_anschlag = anschlag;
  }
  for (size_t i = 0; i < m_.schalter_liste.size(); ++i) {
    const schalter &s = m_.schalter_liste[i];
    schalterstand &z = schalter_[i];
    const double p = position_bei(static_cast<size_t>(s.achse), t);
    const bool roh = (!s.ab || p >= *s.ab) && (!s.bis || p <= *s.bis);
    if (roh != z.roh) {
      z.roh = roh;
      z.prell_start = t;
      z.prell_ende = t + s.prellen_ms;
    }
    // While it bounces the contact opens and closes every millisecond.
    const bool prellt = t < z.prell_ende && (t - z.prell_start) % 2 == 1;
    eingang[static_cast<size_t>(s.eingang - 1)] = (roh != prellt) ? 1 : 0;
  }
  for (const poti &p : m_.potis) {
    const double anteil = (position_bei(static_cast<size_t>(p.achse), t) - p.von) / (p.bis - p.von);
    const double wert =
        p.wert_bei_min + std::clamp(anteil, 0.0, 1.0) * (p.wert_bei_max - p.wert_bei_min);
    analog[static_cast<size_t>(p.analog - 1)] = static_cast<int32_t>(std::lround(wert));
  }
  for (const licht &l : m_.lichter) {
    const bool hell = beleuchtet(l, t);
    if (l.eingang)
      eingang[static_cast<size_t>(l.eingang - 1)] = hell == l.aktiv_bei_licht ? 1 : 0;
    else
      analog[static_cast<size_t>(l.analog - 1)] = hell ? l.hell : l.dunkel;
  }
  for (const taster &k : m_.taster_liste)
    if (im_fenster(k.gedrueckt, t - basis_))
      eingang[static_cast<size_t>(k.eingang - 1)] = 1;

  for (int n = 1; n <= SIM_EINGAENGE; ++n)
    melden(signalart::eingang, n, eingang_[static_cast<size_t>(n - 1)],
           eingang[static_cast<size_t>(n - 1)]);
  for (int n = 1; n <= SIM_ANALOGE; ++n)
    melden(signalart::analog, n, analog_[static_cast<size_t>(n - 1)],
           analog[static_cast<size_t>(n - 1)]);

  auto an = [&](int ausgang) { return box_.an[static_cast<size_t>(ausgang - 1)] != 0; };
  for (size_t i = 0; i < m_.regeln.size(); ++i) {
    const regel &r = m_.regeln[i];
    regelstand &z = regeln_[i];
    bool bedingung = false;
    switch (r.typ) {
    case regel::art::anschlag:
      bedingung = achsen_[static_cast<size_t>(r.achse)].am_anschlag;
      break;
    case regel::art::nie_zusammen:
      bedingung = std::all_of(r.ausgaenge.begin(), r.ausgaenge.end(), an);
      break;
    case regel::art::nur_mit:
      bedingung = an(r.ausgang) && !an(r.mit);
      break;
    case regel::art::folgt: {
      const bool ausloeser = eingang_[static_cast<size_t>(r.wenn_eingang - 1)] > 0;
      if (ausloeser && !z.ausloeser)
        z.wartet = true;
      z.ausloeser = ausloeser;
      if (an(r.dann_ausgang))
        z.wartet = false;
      bedingung = z.wartet;
      break;
    }
    }
    if (bedingung && !z.bedingung) {
      z.seit = t;
      z.gemeldet = false;
    }
    z.bedingung = bedingung;
    if (bedingung && !z.gemeldet && t - z.seit >= r.binnen_ms) {
      z.gemeldet = true;
      ++fehler_anzahl_;
      const fehler_eintrag eintrag{t - ursprung_, static_cast<int>(i)};
      if (fehler_.size() < fehler_platz)
        fehler_.push_back(eintrag);
      if (neueste_.size() == fehler_platz)
        neueste_.pop_front();
      neueste_.push_back(eintrag);
      if (b_)
        b_->fehler(t - ursprung_, r);
    }
  }
}

} // namespace modell
