#include "ausfuehren.h"

#include "aufruf_text.h"
#include "ein_ausgabe.h"
#include "escape.h"
#include "zeichensatz.h"
#include "zeile.h"

#include <chrono>
#include <optional>
#include <vector>

namespace {

void ergebnis(int32_t wert) {
  zeile_ausgeben(verbinden({"= ", std::to_string(wert)}));
}

void wahrheit(unsigned char wert) {
  zeile_ausgeben(wert ? "= wahr" : "= falsch");
}

// Said where a command was accepted but did nothing, or was refused: marked
// so that no one takes it for a result.
void hinweis(std::string_view text) {
  zeile_ausgeben(verbinden({"Hinweis: ", text}));
}

constexpr char bis_zur_stelle[] = "): lumbrik.dll h" OE "rt an der ersten Stelle auf, die nicht "
                                  "passt; was davor stand, gilt";

// A text handed over with roh that is not a well formed list: what
// lumbrik.dll makes of it.
void roh_erklaeren(const argument &a) {
  std::string grund;
  if (!a.roh || liste_pruefen(a.liste, grund))
    return;
  if (a.liste.empty() || a.liste.front() != '[')
    hinweis(verbinden({"\"", a.liste,
                       "\" beginnt nicht mit [: f" UE "r lumbrik.dll ist das keine "
                       "Liste, es tut nichts"}));
  else
    hinweis(verbinden({"\"", a.liste, "\" ist keine wohlgeformte Liste (", grund, bis_zur_stelle}));
}

// A plain number goes as it is; a list as the address of a writable,
// zero-terminated copy of its text, which lives as long as `kopie`.
intptr_t nummer_oder_liste(const argument &a, std::vector<char> &kopie) {
  if (a.liste.empty())
    return a.zahl;
  kopie.assign(a.liste.begin(), a.liste.end());
  kopie.push_back('\0');
  return reinterpret_cast<intptr_t>(kopie.data());
}

void pause_messen(const sitzung &s, double zehntel) {
  std::optional<escape_weiterleitung> escape;
  if (s.konsole_eingabe != nullptr)
    escape.emplace(s.konsole_eingabe, s.haupt_thread);
  const auto start = std::chrono::steady_clock::now();
  {
    const escape_pause waehrend(s.haupt_thread);
    s.dll.pause(zehntel);
  }
  escape.reset();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  const std::string hundertstel = std::to_string(ms % 1000 / 10);
  zeile_ausgeben(verbinden({"(gewartet: ", std::to_string(ms / 1000), ",",
                            hundertstel.size() < 2 ? "0" : "", hundertstel, " s)"}));
}

// A simulator setting: the box answers 0 for a number it does not have.
bool setzen(decltype(&::sim_eingang_setzen) setzer, const gelesene_zeile &z, const char *was,
            const char *bereich, std::string &fehler) {
  if (setzer(z.argumente[0].zahl, z.argumente[1].zahl))
    return true;
  fehler = verbinden({was, " ", std::to_string(z.argumente[0].zahl),
                      " gibt es am simulierten Interface nicht (", bereich, ")"});
  return false;
}

void protokoll_zeigen(sitzung &s) {
  const simulator_steuerung &sim = *s.sim;
  const uint32_t anzahl = sim.protokoll_anzahl();
  // After a reset the count starts again from 0.
  uint32_t ab = s.protokoll_gezeigt <= anzahl ? s.protokoll_gezeigt : 0;
  if (anzahl - ab > SIM_PROTOKOLL_PLATZ)
    ab = anzahl - SIM_PROTOKOLL_PLATZ;
  if (ab == anzahl)
    zeile_ausgeben("  (keine Aufrufe)");
  for (uint32_t i = ab; i < anzahl; ++i) {
    sim_aufruf a{};
    if (!sim.protokoll_eintrag(i, &a))
      continue;
    zeile_ausgeben(verbinden({"  ", aufruf_zeile(a)}));
  }
  s.protokoll_gezeigt = anzahl;
}

bool sim_befehl(const gelesene_zeile &z, sitzung &s, std::string &fehler) {
  if (!s.sim) {
    fehler = verbinden({z.befehl->name, " geht nur mit dem simulierten Interface; geladen ist "
                                        "ein anderes umFish40.DLL"});
    return false;
  }
  const simulator_steuerung &sim = *s.sim;
  switch (z.befehl->art) {
  case befehl_art::sim_eingang:
    return setzen(sim.eingang_setzen, z, "Eingang", "1 bis 8", fehler);
  case befehl_art::sim_analog:
    if (!setzen(sim.analog_setzen, z, "Analogeingang", "1 oder 2", fehler))
      return false;
    if (z.argumente[1].zahl < 0 || z.argumente[1].zahl > 1023)
      hinweis("ein echter Analogeingang liefert 0 bis 1023; gesetzt ist der Wert trotzdem");
    return true;
  case befehl_art::sim_spannung:
    return setzen(sim.spannung_setzen, z, "Spannung", "1 oder 2", fehler);
  case befehl_art::sim_oeffnen_fehlschlagen:
    sim.oeffnen_fehlschlagen(z.argumente[0].zahl);
    if (z.argumente[0].zahl != 0 && z.argumente[0].zahl != 1)
      hinweis("erwartet ist 0 oder 1; jeder Wert au" SZ "er 0 gilt als 1");
    return true;
  case befehl_art::sim_zuruecksetzen:
    sim.zuruecksetzen();
    s.protokoll_gezeigt = 0;
    return true;
  case befehl_art::sim_protokoll:
    protokoll_zeigen(s);
    return true;
  default:
    return false;
  }
}

bool lumbrik_befehl(const gelesene_zeile &z, sitzung &s, std::string &fehler) {
  const lumbrik_exporte &dll = s.dll;
  const argument &a = z.argumente.empty() ? argument{} : z.argumente[0];
  std::vector<char> kopie;
  switch (z.befehl->art) {
  case befehl_art::vorbereitung:
    dll.vorbereitung(a.zahl);
    s.vorbereitet = true;
    return true;
  case befehl_art::lpt:
    dll.lpt(a.zahl);
    return true;
  case befehl_art::einschalten:
    dll.einschalten(nummer_oder_liste(a, kopie));
    roh_erklaeren(a);
    return true;
  case befehl_art::ausschalten:
    dll.ausschalten(nummer_oder_liste(a, kopie));
    roh_erklaeren(a);
    return true;
  case befehl_art::allesaus:
    dll.allesaus();
    return true;
  case befehl_art::motor:
    dll.motor(a.zahl, z.argumente[1].zahl);
    return true;
  case befehl_art::t_proz1:
    dll.t_proz1(a.zahl);
    if (a.zahl < 1 || a.zahl > 7)
      hinweis("t_proz1 nimmt nur 1 bis 7: die Stufe bleibt, wie sie war");
    return true;
  case befehl_art::ausgangzustand:
    ergebnis(dll.ausgangzustand());
    return true;
  case befehl_art::schalter:
    wahrheit(dll.schalter(nummer_oder_liste(a, kopie)));
    roh_erklaeren(a);
    return true;
  case befehl_art::sensor:
    ergebnis(dll.sensor(a.zahl));
    return true;
  case befehl_art::poti:
    ergebnis(dll.poti(a.zahl));
    return true;
  case befehl_art::t_funk1:
    ergebnis(dll.t_funk1(a.zahl));
    if (a.zahl != 1 && a.zahl != 2)
      hinweis("t_funk1 kennt nur die Spannungen 1 und 2: gelesen wurde nichts");
    return true;
  case befehl_art::pause:
    pause_messen(s, a.dezimal);
    return true;
  case befehl_art::gib_fehler:
    wahrheit(dll.gib_fehler());
    return true;
  case befehl_art::escape_nach:
    if (a.zahl < 0) {
      fehler = "escape_nach braucht eine Zahl ab 0";
      return false;
    }
    escape_senden_nach(a.zahl, s.haupt_thread);
    return true;
  case befehl_art::hilfe:
    if (a.wort.empty())
      zeile_ausgeben(hilfe_text());
    else
      zeile_ausgeben(hilfe_text(*befehl_finden(a.wort)));
    return true;
  default:
    fehler = verbinden({z.befehl->name, " kann hier nicht ausgef" UE "hrt werden"});
    return false;
  }
}

// The commands that make a vendor call whatever their number.
bool geht_ans_interface(const gelesene_zeile &z) {
  switch (z.befehl->art) {
  case befehl_art::einschalten:
  case befehl_art::ausschalten:
  case befehl_art::allesaus:
  case befehl_art::motor:
  case befehl_art::ausgangzustand:
  case befehl_art::schalter:
  case befehl_art::sensor:
  case befehl_art::poti:
    return true;
  case befehl_art::t_funk1:
    return z.argumente[0].zahl == 1 || z.argumente[0].zahl == 2;
  default:
    return false;
  }
}

// What the interface refused: with the simulated box its log tells, with
// the vendor's library only that there was no vorbereitung yet.
void abweisungen_nennen(const gelesene_zeile &z, const sitzung &s, uint32_t vorher) {
  if (z.befehl->gruppe != befehl_gruppe::lumbrik)
    return;
  if (!s.vorbereitet && geht_ans_interface(z)) {
    hinweis("noch kein vorbereitung: der Befehl ging mit dem Handle 0x00000000 an das Interface");
    return;
  }
  if (!s.sim)
    return;
  const uint32_t nachher = s.sim->protokoll_anzahl();
  for (uint32_t i = vorher; i < nachher; ++i) {
    sim_aufruf a{};
    if (s.sim->protokoll_eintrag(i, &a) && a.ergebnis == -1 && a.funktion != sim_rbOpenInterfaceUSB)
      hinweis(verbinden({"das simulierte Interface weist ", aufruf_zeile(a),
                         " ab: unbekannter Handle oder eine Nummer, die es nicht hat"}));
  }
}

} // namespace

bool ausfuehren(const gelesene_zeile &z, sitzung &s, std::string &fehler) {
  const uint32_t vorher = s.sim ? s.sim->protokoll_anzahl() : 0;
  const bool gelaufen = z.befehl->gruppe == befehl_gruppe::simulator ? sim_befehl(z, s, fehler)
                                                                     : lumbrik_befehl(z, s, fehler);
  if (gelaufen)
    abweisungen_nennen(z, s, vorher);
  if (gelaufen && s.zustand_zeigen && s.sim && z.befehl->art != befehl_art::hilfe) {
    sim_zustand zustand{};
    s.sim->zustand_lesen(&zustand);
    // Only changes are worth a reader's attention.
    std::string text = zustand_text(zustand);
    if (text != s.zustand_gezeigt)
      zeile_ausgeben(text);
    s.zustand_gezeigt = std::move(text);
  }
  return gelaufen;
}
