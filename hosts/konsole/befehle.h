// The console's commands: the fourteen of lumbrik.dll, those for the
// simulated box, and the console's own. Each with its arguments and one line
// of help.
#pragma once

#include <span>
#include <string>
#include <string_view>

enum class befehl_art {
  einschalten,
  ausschalten,
  motor,
  t_proz1,
  schalter,
  sensor,
  poti,
  t_funk1,
  ausgangzustand,
  allesaus,
  pause,
  gib_fehler,
  vorbereitung,
  lpt,
  sim_eingang,
  sim_analog,
  sim_spannung,
  sim_oeffnen_fehlschlagen,
  sim_zuruecksetzen,
  sim_protokoll,
  escape_nach,
  hilfe,
  ende
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

enum class befehl_gruppe { lumbrik, simulator, konsole };

struct befehl_beschreibung {
  std::string_view name;
  befehl_art art;
  befehl_gruppe gruppe;
  // Arguments beyond `pflicht` up to `hoechstens` are optional and default to 0.
  int pflicht;
  int hoechstens;
  argument_art arten[2];
  // The arguments and the explanation as `hilfe` shows them, code page 1252.
  std::string_view argumente;
  std::string_view erklaerung;
};

std::span<const befehl_beschreibung> alle_befehle();

// One line per command, grouped, without a final line end (code page 1252).
std::string hilfe_text();

// One command explained: how it is called, what it does and where it
// comes from (code page 1252, without a final line end).
std::string hilfe_text(const befehl_beschreibung &b);

// The command of that name, or nullptr.
const befehl_beschreibung *befehl_finden(std::string_view name);
