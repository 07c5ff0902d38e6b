// What the record of a simulated run takes from the model (see aufzeichnung.h).
#include "simulator/modell/aufzeichnung.h"

namespace modell {

akte::teile teile_von(const beschreibung &m) {
  akte::teile t;
  t.modell = m.name;
  using akte::art;
  const auto teil = [&](art a, int nummer, const std::string &name, bool lampe = false) {
    t.signale.push_back({a, nummer, name, lampe});
  };
  for (const lampe &l : m.lampen)
    teil(art::ausgang, l.ausgang, l.name, true);
  // Motor k runs its axis up with output 2k-1 (down where it is reversed).
  for (const achse &a : m.achsen) {
    teil(art::ausgang, 2 * a.motor - 1, a.name + (a.umgekehrt ? " \xE2\x88\x92" : " +"));
    teil(art::ausgang, 2 * a.motor, a.name + (a.umgekehrt ? " +" : " \xE2\x88\x92"));
    teil(art::motor, a.motor, a.name);
  }
  for (const schalter &x : m.schalter_liste)
    teil(art::eingang, x.eingang, x.name);
  for (const licht &l : m.lichter)
    teil(art::eingang, l.eingang, l.name);
  for (const taster &x : m.taster_liste)
    teil(art::eingang, x.eingang, x.name);
  for (const poti &p : m.potis)
    teil(art::analog, p.analog, p.name);
  for (const licht &l : m.lichter)
    teil(art::analog, l.analog, l.name);
  for (const regel &r : m.regeln)
    t.regeln.emplace_back(r.name, r.text);
  return t;
}

std::string aufzeichnung::abschliessen(const lauf &l, int64_t laufzeit_ms,
                                       const std::string &meldung) {
  const beschreibung &m = l.modell();
  akte::modell_ende ende{teile_von(m), m.titel, l.fehler_anzahl(), {}};
  for (const fehler_eintrag &e : l.fehlerliste()) {
    const regel &r = m.regeln[static_cast<size_t>(e.regel)];
    ende.fehler.push_back({e.zeit, r.name, r.text});
  }
  return akte::aufzeichnung::abschliessen(ende, laufzeit_ms, meldung);
}

} // namespace modell
