// The console's commands: the fourteen of lumbrik.dll, those for the
// simulated box, and the console's own. Each with its arguments and one line
// of help.
#pragma once

#include "hosts/konsole/zeichensatz.h"

#include <span>
#include <string>
#include <string_view>

// Every command, one line each: X(name, where it comes from, whether it calls
// the interface, its argument form, its arguments and its explanation as hilfe
// shows them (code page 1252)). The enum, the table, the lookup and the
// dispatch are expanded from this list.
// clang-format off
#define KONSOLE_BEFEHLE(X) \
  X(vorbereitung,             lumbrik,   keiner,       zahl_wahlweise,    "[WERT]",      OE "ffnet das Interface und zeigt die Startmeldung") \
  X(einschalten,              lumbrik,   immer,        nummer_oder_liste, "N|[LISTE]",   "schaltet Ausgang N (oder die der Liste) ein") \
  X(ausschalten,              lumbrik,   immer,        nummer_oder_liste, "N|[LISTE]",   "schaltet Ausgang N (oder die der Liste) aus") \
  X(motor,                    lumbrik,   immer,        zwei_zahlen,       "NUMMER WERT", "Motor an: WERT 1 oder -1 ist die Richtung, 0 h" AE "lt an") \
  X(t_proz1,                  lumbrik,   keiner,       eine_zahl,         "STUFE",       "Stufe 1 bis 7 f" UE "r Ausg" AE "nge und Motoren") \
  X(allesaus,                 lumbrik,   immer,        keins,             "",            "schaltet alle Motoren aus") \
  X(ausgangzustand,           lumbrik,   immer,        keins,             "",            "die Ausg" AE "nge, wie das Interface sie meldet") \
  X(schalter,                 lumbrik,   immer,        nummer_oder_liste, "N|[LISTE]",   "wahr, wenn Eingang N (oder einer der Liste) aktiv ist") \
  X(sensor,                   lumbrik,   immer,        eine_zahl,         "N",           "Wert des Analogeingangs N") \
  X(poti,                     lumbrik,   immer,        eine_zahl,         "N",           "dasselbe wie sensor") \
  X(t_funk1,                  lumbrik,   bei_1_oder_2, eine_zahl,         "N",           "Spannung 1 oder 2 (sonst 0)") \
  X(pause,                    lumbrik,   keiner,       dezimalzahl,       "ZEHNTEL",     "wartet Zehntelsekunden (z. B. 2.5); Escape bricht ab") \
  X(gib_fehler,               lumbrik,   keiner,       keins,             "",            "wahr, wenn seit dem letzten Mal Escape eine Pause beendet hat") \
  X(lpt,                      lumbrik,   keiner,       zahl_wahlweise,    "[WERT]",      "wird angenommen und tut nichts") \
  X(sim_eingang,              simulator, keiner,       zwei_zahlen,       "N WERT",      "Eingang N (1 bis 8) auf WERT; " UE "ber 0 hei" SZ "t aktiv") \
  X(sim_analog,               simulator, keiner,       zwei_zahlen,       "N WERT",      "Analogeingang N (1 = AX, 2 = AY) auf WERT") \
  X(sim_spannung,             simulator, keiner,       zwei_zahlen,       "N WERT",      "Spannung N (1 oder 2) auf WERT") \
  X(sim_oeffnen_fehlschlagen, simulator, keiner,       eine_zahl,         "0|1",         "1: das " OE_GROSS "ffnen schl" AE "gt fehl, 0: es gelingt wieder") \
  X(sim_zuruecksetzen,        simulator, keiner,       keins,             "",            "alles aus, alle Werte 0, Protokoll leer") \
  X(sim_protokoll,            simulator, keiner,       keins,             "",            "die Aufrufe an umFish40.DLL seit dem letzten Mal") \
  X(escape_nach,              konsole,   keiner,       eine_zahl,         "ZEHNTEL",     "dr" UE "ckt nach so vielen Zehntelsekunden Escape") \
  X(hilfe,                    konsole,   keiner,       wort_wahlweise,    "[BEFEHL]",    "zeigt diese Liste, oder was BEFEHL tut") \
  X(ende,                     konsole,   keiner,       keins,             "",            "beendet die Konsole")
// clang-format on

enum class befehl_art {
#define BEFEHL_ART(name, ...) name,
  KONSOLE_BEFEHLE(BEFEHL_ART)
#undef BEFEHL_ART
};

enum class befehl_gruppe { lumbrik, simulator, konsole };

// Whether the command calls the interface (with the handle it has), so that
// before vorbereitung it would go with handle 0.
enum class interface_aufruf {
  keiner,
  immer,
  // Only for the numbers the box has (t_funk1 reads voltages 1 and 2).
  bei_1_oder_2
};

enum class argument_art {
  // A signed 32-bit decimal number.
  zahl,
  // A number from -32767 to 32768, or a list text such as [1 2 3].
  zahl_oder_liste,
  // A decimal number such as 2.5.
  dezimal,
  // A word, such as a command's name.
  wort
};

// The arguments a command takes: how many it needs, how many at most (the
// others default to 0), and of what kind.
struct argument_form {
  int pflicht;
  int hoechstens;
  argument_art arten[2];
};

// The forms the list above names.
namespace argument_formen {
using enum argument_art;
constexpr argument_form keins{0, 0, {zahl, zahl}};
constexpr argument_form zahl_wahlweise{0, 1, {zahl, zahl}};
constexpr argument_form eine_zahl{1, 1, {zahl, zahl}};
constexpr argument_form zwei_zahlen{2, 2, {zahl, zahl}};
constexpr argument_form nummer_oder_liste{1, 1, {zahl_oder_liste, zahl}};
constexpr argument_form dezimalzahl{1, 1, {dezimal, zahl}};
constexpr argument_form wort_wahlweise{0, 1, {wort, zahl}};
} // namespace argument_formen

struct befehl_beschreibung {
  std::string_view name;
  befehl_art art;
  befehl_gruppe gruppe;
  interface_aufruf aufruf;
  argument_form form;
  // The arguments and the explanation as `hilfe` shows them, code page 1252.
  std::string_view argumente;
  std::string_view erklaerung;
};

std::span<const befehl_beschreibung> alle_befehle();

// All commands, grouped, one line each (a long one continues on the next),
// no line longer than 79 characters; without a final line end.
std::string hilfe_text();

// One command explained: how it is called, what it does and where it
// comes from (without a final line end).
std::string hilfe_text(const befehl_beschreibung &b);

// The command of that name, or nullptr.
const befehl_beschreibung *befehl_finden(std::string_view name);

// What to say about a name that is no command: with the command it most
// likely meant, if one is close enough.
std::string unbekannter_befehl(std::string_view name);
