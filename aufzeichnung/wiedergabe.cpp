// A recording played back in the simulated box (see wiedergabe.h).
#include "aufzeichnung/wiedergabe.h"

#include "aufzeichnung/datei.h"
#include "aufzeichnung/spur.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace akte {
namespace {

// The value of a timeline at `us`: the last point at or before it, or `vorher`.
template <class P> int32_t stand(const std::vector<P> &liste, int64_t us, int32_t vorher) {
  const auto n = std::upper_bound(liste.begin(), liste.end(), us,
                                  [](int64_t t, const P &p) { return t < p.us; });
  return n == liste.begin() ? vorher : std::prev(n)->wert;
}

} // namespace

void wiedergabe::reihe::anhaengen(int64_t us, int32_t wert) {
  punkte.push_back({us, wert});
  nach_wert[wert].push_back(us);
}

int32_t wiedergabe::reihe::stand(int64_t us, int32_t vorher) const {
  return akte::stand(punkte, us, vorher);
}

bool wiedergabe::reihe::wechsel_in(int64_t von, int64_t bis, int32_t wert) const {
  const auto w = nach_wert.find(wert);
  if (w == nach_wert.end())
    return false;
  const auto p = std::lower_bound(w->second.begin(), w->second.end(), von);
  return p != w->second.end() && *p <= bis;
}

bool wiedergabe::reihe::irgendein_wechsel(size_t ab, int64_t von, int64_t bis) const {
  const auto p = std::lower_bound(punkte.begin() + static_cast<std::ptrdiff_t>(ab), punkte.end(),
                                  von, [](const punkt &q, int64_t t) { return q.us < t; });
  return p != punkte.end() && p->us <= bis;
}

bool wiedergabe::laden(const std::string &datei, std::string &meldung) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(datei_oeffnen(datei, "rb"), std::fclose);
  if (!f || ist_ordner(datei)) {
    meldung = "Mitschnitt " + datei + ": die Spur lässt sich nicht lesen";
    return false;
  }
  leser leser(f.get(), datei);
  eintrag e;
  std::array<int32_t, SIM_AUSGAENGE> zuletzt{};
  size_t punkte = 0;
  while (leser.naechster(e)) {
    const auto w = static_cast<int32_t>(e.wert);
    const auto nummer = static_cast<size_t>(e.nummer);
    if (e.a == art::ausgang) {
      if (e.nummer < 1 || e.nummer > SIM_AUSGAENGE || zuletzt[nummer - 1] == w)
        continue;
      zuletzt[nummer - 1] = w;
      ausgaenge_[nummer - 1].aufgezeichnet.anhaengen(e.us, w);
    } else if (e.a == art::eingang || e.a == art::analog || e.a == art::spannung) {
      gelesen_[static_cast<size_t>(e.a)][nummer].push_back({e.us, w});
    } else {
      continue;
    }
    if (++punkte > punkte_max) {
      meldung = "Mitschnitt " + datei + ": mehr als " + std::to_string(punkte_max) +
                " Wechsel und Lesungen; so lange Aufnahmen spielt die Wiedergabe nicht ab";
      return false;
    }
  }
  meldung = leser.fehler();
  return meldung.empty();
}

int32_t wiedergabe::wert(art a, int nummer, int64_t t, int32_t sonst) const {
  if (nummer < 0 || nummer >= 32)
    return sonst;
  const std::vector<punkt> &liste = gelesen_[static_cast<size_t>(a)][static_cast<size_t>(nummer)];
  const int64_t us = begonnen() ? null_.seit(t) * 1000 : -1;
  return liste.empty() ? sonst : stand(liste, us, liste.front().wert);
}

void wiedergabe::vormerken(abweichung a) {
  ++anzahl_;
  vorgemerkt_.push_back(std::move(a));
}

void wiedergabe::weitergeben(int64_t bis_zeit, const melder &m) {
  if (vorgemerkt_.empty())
    return;
  std::stable_sort(vorgemerkt_.begin(), vorgemerkt_.end());
  const auto ende = std::upper_bound(vorgemerkt_.begin(), vorgemerkt_.end(), bis_zeit,
                                     [](int64_t t, const abweichung &a) { return t < a.zeit; });
  for (auto a = vorgemerkt_.begin(); a != ende; ++a)
    m(*a);
  vorgemerkt_.erase(vorgemerkt_.begin(), ende);
}

// Recorded changes whose window closed by `bis_us`: made when the host had
// the value at the window's end (or the run's, `ende_us`), or set it within
// the window.
void wiedergabe::pruefen(size_t ausgang, int64_t bis_us, int64_t ende_us) {
  ausgangsspur &s = ausgaenge_[ausgang];
  const int64_t tol = fenster_us();
  for (; s.geprueft < s.aufgezeichnet.punkte.size(); ++s.geprueft) {
    const punkt &p = s.aufgezeichnet.punkte[s.geprueft];
    if (p.us + tol > bis_us)
      break;
    const int64_t fenster_ende = std::min(p.us + tol, ende_us);
    const int32_t dann = s.gesetzt.stand(fenster_ende, 0);
    if (dann != p.wert && !s.gesetzt.wechsel_in(p.us - tol, fenster_ende, p.wert))
      vormerken({null() + p.us / 1000, "Ausgang " + std::to_string(ausgang + 1), p.wert, dann});
  }
}

void wiedergabe::abgleichen(int64_t t, const std::array<int32_t, SIM_AUSGAENGE> &ausgang,
                            const melder &m) {
  const int64_t us = null_.seit(t) * 1000, tol = fenster_us();
  for (size_t i = 0; i < SIM_AUSGAENGE; ++i) {
    ausgangsspur &s = ausgaenge_[i];
    if (ausgang[i] != s.jetzt) {
      s.jetzt = ausgang[i];
      s.gesetzt.anhaengen(us, ausgang[i]);
      // Set as recorded within the window, or catching up with the
      // recording; near a recorded change not yet judged, judged with it.
      const int32_t aufgezeichnet = s.aufgezeichnet.stand(us, 0);
      if (aufgezeichnet != ausgang[i] &&
          !s.aufgezeichnet.wechsel_in(us - tol, us + tol, ausgang[i]) &&
          !s.aufgezeichnet.irgendein_wechsel(s.geprueft, us - tol, us + tol))
        vormerken({t, "Ausgang " + std::to_string(i + 1), aufgezeichnet, ausgang[i]});
    }
    pruefen(i, us, INT64_MAX);
  }
  // A window still open may yet give one from after t - tolerance.
  weitergeben(null() + (us - tol) / 1000 - 1, m);
}

void wiedergabe::beenden(int64_t t, const melder &m) {
  for (size_t i = 0; i < SIM_AUSGAENGE; ++i)
    pruefen(i, INT64_MAX, null_.seit(t) * 1000);
  weitergeben(INT64_MAX, m);
}

} // namespace akte
