#include "befehle.h"

#include "zeichensatz.h"

#include <algorithm>
#include <string>

namespace {

using enum befehl_art;
using enum argument_art;
using enum befehl_gruppe;

constexpr befehl_beschreibung tabelle[] = {
    {"vorbereitung",
     vorbereitung,
     lumbrik,
     0,
     1,
     {zahl, zahl},
     "[WERT]",
     OE "ffnet das Interface und zeigt die Startmeldung"},
    {"einschalten",
     einschalten,
     lumbrik,
     1,
     1,
     {zahl_oder_liste, zahl},
     "N|[LISTE]",
     "schaltet Ausgang N (oder die der Liste) ein"},
    {"ausschalten",
     ausschalten,
     lumbrik,
     1,
     1,
     {zahl_oder_liste, zahl},
     "N|[LISTE]",
     "schaltet Ausgang N (oder die der Liste) aus"},
    {"motor",
     motor,
     lumbrik,
     2,
     2,
     {zahl, zahl},
     "NUMMER WERT",
     "Motor an: WERT 1 oder -1 ist die Richtung, 0 h" AE "lt an"},
    {"t_proz1",
     t_proz1,
     lumbrik,
     1,
     1,
     {zahl, zahl},
     "STUFE",
     "Stufe 1 bis 7 f" UE "r Ausg" AE "nge und Motoren"},
    {"allesaus", allesaus, lumbrik, 0, 0, {zahl, zahl}, "", "schaltet alle Motoren aus"},
    {"ausgangzustand",
     ausgangzustand,
     lumbrik,
     0,
     0,
     {zahl, zahl},
     "",
     "die Ausg" AE "nge, wie das Interface sie meldet"},
    {"schalter",
     schalter,
     lumbrik,
     1,
     1,
     {zahl_oder_liste, zahl},
     "N|[LISTE]",
     "wahr, wenn Eingang N (oder einer der Liste) aktiv ist"},
    {"sensor", sensor, lumbrik, 1, 1, {zahl, zahl}, "N", "Wert des Analogeingangs N"},
    {"poti", poti, lumbrik, 1, 1, {zahl, zahl}, "N", "dasselbe wie sensor"},
    {"t_funk1", t_funk1, lumbrik, 1, 1, {zahl, zahl}, "N", "Spannung 1 oder 2 (sonst 0)"},
    {"pause",
     pause,
     lumbrik,
     1,
     1,
     {dezimal, zahl},
     "ZEHNTEL",
     "wartet Zehntelsekunden (z. B. 2.5); Escape bricht ab"},
    {"gib_fehler",
     gib_fehler,
     lumbrik,
     0,
     0,
     {zahl, zahl},
     "",
     "wahr, wenn seit dem letzten Mal Escape eine Pause beendet hat"},
    {"lpt", lpt, lumbrik, 0, 1, {zahl, zahl}, "[WERT]", "wird angenommen und tut nichts"},

    {"sim_eingang",
     sim_eingang,
     simulator,
     2,
     2,
     {zahl, zahl},
     "N WERT",
     "Eingang N (1 bis 8) auf WERT; " UE "ber 0 hei" SZ "t aktiv"},
    {"sim_analog",
     sim_analog,
     simulator,
     2,
     2,
     {zahl, zahl},
     "N WERT",
     "Analogeingang N (1 = AX, 2 = AY) auf WERT"},
    {"sim_spannung",
     sim_spannung,
     simulator,
     2,
     2,
     {zahl, zahl},
     "N WERT",
     "Spannung N (1 oder 2) auf WERT"},
    {"sim_oeffnen_fehlschlagen",
     sim_oeffnen_fehlschlagen,
     simulator,
     1,
     1,
     {zahl, zahl},
     "0|1",
     "1: das " OE_GROSS "ffnen schl" AE "gt fehl, 0: es gelingt wieder"},
    {"sim_zuruecksetzen",
     sim_zuruecksetzen,
     simulator,
     0,
     0,
     {zahl, zahl},
     "",
     "alles aus, alle Werte 0, Protokoll leer"},
    {"sim_protokoll",
     sim_protokoll,
     simulator,
     0,
     0,
     {zahl, zahl},
     "",
     "die Aufrufe an umFish40.DLL seit dem letzten Mal"},

    {"escape_nach",
     escape_nach,
     konsole,
     1,
     1,
     {zahl, zahl},
     "ZEHNTEL",
     "dr" UE "ckt nach so vielen Zehntelsekunden Escape"},
    {"hilfe",
     hilfe,
     konsole,
     0,
     1,
     {wort, zahl},
     "[BEFEHL]",
     "zeigt diese Liste, oder was BEFEHL tut"},
    {"ende", ende, konsole, 0, 0, {zahl, zahl}, "", "beendet die Konsole"},
};

} // namespace

std::span<const befehl_beschreibung> alle_befehle() {
  return tabelle;
}

std::string hilfe_text() {
  size_t breite = 0;
  for (const befehl_beschreibung &b : tabelle)
    breite = std::max(breite, b.name.size() + 1 + b.argumente.size());
  std::string text;
  const befehl_gruppe gruppen[] = {lumbrik, simulator, konsole};
  const char *ueberschriften[] = {"Befehle von lumbrik.dll (Zahlen dezimal, Listen wie [1 2 3]):",
                                  "Nur mit dem simulierten Interface:", "Die Konsole selbst:"};
  for (int g = 0; g < 3; ++g) {
    text += ueberschriften[g];
    text += '\n';
    for (const befehl_beschreibung &b : tabelle) {
      if (b.gruppe != gruppen[g])
        continue;
      std::string aufruf = verbinden({b.name, " ", b.argumente});
      aufruf.resize(breite + 2, ' ');
      text += verbinden({"  ", aufruf, b.erklaerung, "\n"});
    }
  }
  text += "Leere Zeilen und Zeilen mit # am Anfang werden " UE "bersprungen.";
  return text;
}

std::string hilfe_text(const befehl_beschreibung &b) {
  const char *herkunft = b.gruppe == lumbrik     ? "ein Befehl von lumbrik.dll"
                         : b.gruppe == simulator ? "nur mit dem simulierten Interface"
                                                 : "ein Befehl der Konsole";
  std::string text = verbinden({b.name, b.argumente.empty() ? "" : " ", b.argumente, "\n  ",
                                b.erklaerung, "\n  (", herkunft, ")"});
  if (b.arten[0] == zahl_oder_liste)
    text += "\n  N ist eine Zahl von -32767 bis 32768, eine Liste wie [1 2 3] hat Zahlen mit"
            "\n  genau einem Leerzeichen dazwischen. roh \"TEXT\" gibt TEXT unver" AE "ndert an"
            "\n  lumbrik.dll, auch wenn er keine wohlgeformte Liste ist.";
  return text;
}

const befehl_beschreibung *befehl_finden(std::string_view name) {
  for (const befehl_beschreibung &b : tabelle)
    if (b.name == name)
      return &b;
  return nullptr;
}
