// A recording played back in the simulated box (see wiedergabe.h).
#include "simulator/modell/wiedergabe.h"

#include "simulator/modell/datei.h"
#include "simulator/modell/modell.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace modell {
namespace {

// The value of a timeline at `us`: the last point at or before it, or `vorher`.
template <class P> int32_t stand(const std::vector<P> &liste, int64_t us, int32_t vorher) {
  const auto n = std::upper_bound(liste.begin(), liste.end(), us,
                                  [](int64_t t, const P &p) { return t < p.us; });
  return n == liste.begin() ? vorher : std::prev(n)->wert;
}

template <class P>
bool wechsel_in(const std::vector<P> &liste, int64_t von, int64_t bis, int32_t wert) {
  for (auto p = std::lower_bound(liste.begin(), liste.end(), von,
                                 [](const P &q, int64_t t) { return q.us < t; });
       p != liste.end() && p->us <= bis; ++p)
    if (p->wert == wert)
      return true;
  return false;
}

bool ganzzahl(const std::string &text, long long &zahl) {
  char *ende = nullptr;
  zahl = std::strtoll(text.c_str(), &ende, 10);
  return !text.empty() && *ende == '\0';
}

} // namespace

bool wiedergabe::laden(const std::string &datei, std::string &meldung) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(datei_oeffnen(datei, "rb"), std::fclose);
  if (!f || ist_ordner(datei)) {
    meldung = "Mitschnitt " + datei + ": die Spur lässt sich nicht lesen";
    return false;
  }
  std::string zeile;
  int nummer = 0;
  std::array<int32_t, SIM_AUSGAENGE> zuletzt{};
  for (int c = 0; c != EOF;) {
    zeile.clear();
    while ((c = std::fgetc(f.get())) != EOF && c != '\n')
      zeile += static_cast<char>(c);
    if (!zeile.empty() && zeile.back() == '\r')
      zeile.pop_back();
    ++nummer;
    if (nummer == 1) {
      if (zeile != "zeit_ms,art,name,wert") {
        meldung = "Mitschnitt " + datei +
                  ": keine Spur (die erste Zeile ist nicht zeit_ms,art,name,wert)";
        return false;
      }
      continue;
    }
    if (zeile.empty())
      continue;
    std::array<std::string, 4> feld;
    size_t n = 0;
    for (size_t von = 0; n < feld.size(); ++n) {
      const size_t komma = zeile.find(',', von);
      feld[n] = zeile.substr(von, komma == std::string::npos ? std::string::npos : komma - von);
      if (komma == std::string::npos) {
        ++n;
        break;
      }
      von = komma + 1;
    }
    char *ende = nullptr;
    const double ms = std::strtod(feld[0].c_str(), &ende);
    long long name = 0, wert = 0;
    // Lines of kinds not played back (faults, axes) may name anything.
    const bool gespielt = feld[1] == "eingang" || feld[1] == "analog" || feld[1] == "spannung" ||
                          feld[1] == "ausgang";
    if (n != 4 || feld[0].empty() || *ende || !std::isfinite(ms) || ms < 0 ||
        (gespielt && (!ganzzahl(feld[2], name) || !ganzzahl(feld[3], wert) || wert < INT32_MIN ||
                      wert > INT32_MAX))) {
      meldung = "Mitschnitt " + datei + ", Zeile " + std::to_string(nummer) +
                ": erwartet zeit_ms,art,name,wert";
      return false;
    }
    const auto us = static_cast<int64_t>(std::llround(ms * 1000));
    const auto w = static_cast<int32_t>(wert);
    if (feld[1] == "ausgang") {
      if (name >= 1 && name <= SIM_AUSGAENGE && zuletzt[static_cast<size_t>(name - 1)] != w) {
        zuletzt[static_cast<size_t>(name - 1)] = w;
        ausgaenge_[static_cast<size_t>(name - 1)].aufgezeichnet.push_back({us, w});
      }
    } else if (gespielt && name >= 0 && name < 32) {
      const lesart art = feld[1] == "eingang" ? eingang : feld[1] == "analog" ? analog : spannung;
      gelesen_[art][static_cast<size_t>(name)].push_back({us, w});
    }
  }
  return true;
}

void wiedergabe::beginnen(int64_t t) {
  if (!begonnen_)
    null_ = t;
  begonnen_ = true;
}

int32_t wiedergabe::wert(lesart art, int nummer, int64_t t, int32_t sonst) const {
  if (nummer < 0 || nummer >= 32)
    return sonst;
  const std::vector<punkt> &liste = gelesen_[art][static_cast<size_t>(nummer)];
  const int64_t us = begonnen_ ? (t - null_) * 1000 : -1;
  return liste.empty() ? sonst : stand(liste, us, liste.front().wert);
}

void wiedergabe::melden(const abweichung &a, const melder &m) {
  ++anzahl_;
  m(a);
}

// Recorded changes whose window closed by `bis_us`: made when the host had
// the value at the window's end (or the run's, `ende_us`), or set it within
// the window.
void wiedergabe::pruefen(size_t ausgang, int64_t bis_us, int64_t ende_us, const melder &m) {
  ausgangsspur &s = ausgaenge_[ausgang];
  const int64_t tol = toleranz_ * 1000;
  for (; s.geprueft < s.aufgezeichnet.size(); ++s.geprueft) {
    const punkt &p = s.aufgezeichnet[s.geprueft];
    if (p.us + tol > bis_us)
      break;
    const int64_t fenster_ende = std::min(p.us + tol, ende_us);
    const int32_t dann = stand(s.gesetzt, fenster_ende, 0);
    if (dann != p.wert && !wechsel_in(s.gesetzt, p.us - tol, fenster_ende, p.wert))
      melden({null_ + p.us / 1000, "Ausgang " + std::to_string(ausgang + 1), p.wert, dann}, m);
  }
}

void wiedergabe::abgleichen(int64_t t, const std::array<int32_t, SIM_AUSGAENGE> &ausgang,
                            const melder &m) {
  const int64_t us = (t - null_) * 1000, tol = toleranz_ * 1000;
  for (size_t i = 0; i < SIM_AUSGAENGE; ++i) {
    ausgangsspur &s = ausgaenge_[i];
    if (ausgang[i] != s.jetzt) {
      s.jetzt = ausgang[i];
      s.gesetzt.push_back({us, ausgang[i]});
      // Set as recorded within the window, or catching up with the recording.
      const int32_t aufgezeichnet = stand(s.aufgezeichnet, us, 0);
      if (aufgezeichnet != ausgang[i] &&
          !wechsel_in(s.aufgezeichnet, us - tol, us + tol, ausgang[i]))
        melden({t, "Ausgang " + std::to_string(i + 1), aufgezeichnet, ausgang[i]}, m);
    }
    pruefen(i, us, INT64_MAX, m);
  }
}

void wiedergabe::beenden(int64_t t, const melder &m) {
  for (size_t i = 0; i < SIM_AUSGAENGE; ++i)
    pruefen(i, INT64_MAX, begonnen_ ? (t - null_) * 1000 : 0, m);
}

namespace {

// An output's value as the window shows it: "aus", or "an (Stufe 7)".
std::string zustand(int32_t wert) {
  return wert == 0 ? "aus" : "an (Stufe " + std::to_string(wert) + ")";
}

} // namespace

std::string wiedergabe::text(const abweichung &a, const beschreibung *m) const {
  // The output's number, from "Ausgang 3".
  const size_t ziffer = a.signal.find_first_of("0123456789");
  const int n = ziffer == std::string::npos ? 0 : std::atoi(a.signal.c_str() + ziffer);
  std::string was;
  if (m)
    for (const lampe &l : m->lampen)
      if (l.ausgang == n)
        was = "Lampe " + l.name;
  // Motor k runs forward with output 2k-1, back with 2k.
  if (was.empty() && n >= 1)
    was = "Motor " + std::to_string((n + 1) / 2) + (n % 2 ? " vor" : " zurück");
  const int64_t ms = std::max<int64_t>(a.zeit - null_, 0);
  char sekunden[32];
  std::snprintf(sekunden, sizeof sekunden, "%lld,%02d s", static_cast<long long>(ms / 1000),
                static_cast<int>(ms % 1000 / 10));
  return a.signal + (was.empty() ? "" : " (" + was + ")") + " war in der Aufnahme bei " + sekunden +
         " " + zustand(a.aufgezeichnet) + ", jetzt " + zustand(a.jetzt);
}

} // namespace modell
