#include "hosts/konsole/ausfuehren.h"

#include "simulator/aufruf_text.h"
#include "hosts/konsole/ein_ausgabe.h"
#include "hosts/konsole/escape.h"
#include "hosts/konsole/zeichensatz.h"
#include "hosts/konsole/zeile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// What a command's function gets: the line, its first argument (an empty
// one for a command without), the session, and where to say why it could
// not run.
struct auftrag {
  const gelesene_zeile &z;
  const argument &a;
  sitzung &s;
  std::string &fehler;

  const lumbrik_exporte &dll() const { return s.dll; }
  // Only for the simulator's commands, which run only with it.
  const simulator_steuerung &sim() const { return *s.sim; }
  int32_t zweite() const { return z.argumente[1].zahl; }
};

// A simulator setting: the box answers 0 for a number it does not have.
void setzen(decltype(&::sim_eingang_setzen) setzer, const auftrag &t, const char *was,
            const char *bereich) {
  if (!setzer(t.a.zahl, t.zweite()))
    t.fehler = verbinden({was, " ", std::to_string(t.a.zahl),
                          " gibt es am simulierten Interface nicht (", bereich, ")"});
}

// A list goes as the address of a copy that lives while the call runs.
template <typename F> auto mit_nummer_oder_liste(const argument &a, F aufruf) {
  std::vector<char> kopie;
  return aufruf(nummer_oder_liste(a, kopie));
}

// One function per command, named as the command; one that cannot run says
// why in `fehler`. The dispatch below is expanded from the command list, so
// a command without its function does not build.
struct befehl {
  static void vorbereitung(auftrag &t) {
    t.dll().vorbereitung(t.a.zahl);
    t.s.vorbereitet = true;
  }
  static void einschalten(auftrag &t) {
    mit_nummer_oder_liste(t.a, t.dll().einschalten);
    roh_erklaeren(t.a);
  }
  static void ausschalten(auftrag &t) {
    mit_nummer_oder_liste(t.a, t.dll().ausschalten);
    roh_erklaeren(t.a);
  }
  static void motor(auftrag &t) { t.dll().motor(t.a.zahl, t.zweite()); }
  static void t_proz1(auftrag &t) {
    t.dll().t_proz1(t.a.zahl);
    if (t.a.zahl < 1 || t.a.zahl > 7)
      hinweis("t_proz1 nimmt nur 1 bis 7: die Stufe bleibt, wie sie war");
  }
  static void allesaus(auftrag &t) { t.dll().allesaus(); }
  static void ausgangzustand(auftrag &t) { ergebnis(t.dll().ausgangzustand()); }
  static void schalter(auftrag &t) {
    wahrheit(mit_nummer_oder_liste(t.a, t.dll().schalter));
    roh_erklaeren(t.a);
  }
  static void sensor(auftrag &t) { ergebnis(t.dll().sensor(t.a.zahl)); }
  static void poti(auftrag &t) { ergebnis(t.dll().poti(t.a.zahl)); }
  static void t_funk1(auftrag &t) {
    ergebnis(t.dll().t_funk1(t.a.zahl));
    if (t.a.zahl != 1 && t.a.zahl != 2)
      hinweis("t_funk1 kennt nur die Spannungen 1 und 2: gelesen wurde nichts");
  }
  static void pause(auftrag &t) {
    // "pause 1,5" reads like seconds; it waits 0,15 s.
    if (t.a.wort.find_first_of(".,") != std::string::npos && t.a.dezimal > 0 && t.a.dezimal < 10) {
      constexpr const char *zehntel = "pause z" AE "hlt in Zehntelsekunden: pause ";
      constexpr const char *fuer = " s; f" UE "r ";
      hinweis(verbinden({zehntel, t.a.wort, " wartet ", mit_komma(t.a.dezimal / 10), fuer, t.a.wort,
                         " Sekunden: pause ", mit_komma(t.a.dezimal * 10)}));
    }
    pause_messen(t.s, t.a.dezimal);
  }
  static void gib_fehler(auftrag &t) { wahrheit(t.dll().gib_fehler()); }
  static void lpt(auftrag &t) { t.dll().lpt(t.a.zahl); }

  static void sim_eingang(auftrag &t) { setzen(t.sim().eingang_setzen, t, "Eingang", "1 bis 8"); }
  static void sim_analog(auftrag &t) {
    setzen(t.sim().analog_setzen, t, "Analogeingang", "1 oder 2");
    if (t.fehler.empty() && (t.zweite() < 0 || t.zweite() > 1023))
      hinweis("ein echter Analogeingang liefert 0 bis 1023; gesetzt ist der Wert trotzdem");
  }
  static void sim_spannung(auftrag &t) {
    setzen(t.sim().spannung_setzen, t, "Spannung", "1 oder 2");
  }
  static void sim_oeffnen_fehlschlagen(auftrag &t) {
    t.sim().oeffnen_fehlschlagen(t.a.zahl);
    if (t.a.zahl != 0 && t.a.zahl != 1)
      hinweis("erwartet ist 0 oder 1; jeder Wert au" SZ "er 0 gilt als 1");
  }
  static void sim_zuruecksetzen(auftrag &t) {
    t.sim().zuruecksetzen();
    t.s.protokoll_gezeigt = 0;
  }
  static void sim_protokoll(auftrag &t) { protokoll_zeigen(t.s); }

  static void escape_nach(auftrag &t) {
    if (t.a.zahl < 0)
      t.fehler = "escape_nach braucht eine Zahl ab 0";
    else
      t.s.wecker.stellen(t.a.zahl, t.s.haupt_thread);
  }
  static void hilfe(auftrag &t) {
    zeile_ausgeben(t.a.wort.empty() ? hilfe_text() : hilfe_text(*befehl_finden(t.a.wort)));
  }
  // The line loop ends the console before it would come here.
  static void ende(auftrag &) {}
};

// In the list's order, as befehl_art is: indexed by the kind.
constexpr void (*befehle[])(auftrag &) = {
#define BEFEHL_FUNKTION(name, ...) &befehl::name,
    KONSOLE_BEFEHLE(BEFEHL_FUNKTION)
#undef BEFEHL_FUNKTION
};

// Whether the command called the interface, with the handle it had.
bool geht_ans_interface(const gelesene_zeile &z) {
  switch (z.befehl->aufruf) {
  case interface_aufruf::immer:
    return true;
  case interface_aufruf::bei_1_oder_2:
    return z.argumente[0].zahl == 1 || z.argumente[0].zahl == 2;
  case interface_aufruf::keiner:
    break;
  }
  return false;
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
  if (z.befehl->gruppe == befehl_gruppe::simulator && !s.sim) {
    fehler = s.hinter_bruecke
                 ? verbinden({z.befehl->name, " geht nicht durch die Br" UE "cke f" UE
                                              "r 64-Bit-Programme, nur mit dem simulierten "
                                              "Interface neben lumbrik-konsole.exe"})
                 : verbinden({z.befehl->name, " geht nur mit dem simulierten Interface; geladen "
                                              "ist ein anderes umFish40.DLL"});
    return false;
  }
  const uint32_t vorher = s.sim ? s.sim->protokoll_anzahl() : 0;
  const argument ohne{};
  auftrag t{z, z.argumente.empty() ? ohne : z.argumente[0], s, fehler};
  fehler.clear();
  befehle[static_cast<size_t>(z.befehl->art)](t);
  const bool gelaufen = fehler.empty();
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
