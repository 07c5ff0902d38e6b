// A model: the small machine wired to the simulated box, as a model file
// declares it. Plain data; lesen.cpp fills it, lauf.cpp moves it.
#pragma once

#include "basis/box_groessen.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace modell {

// A time window in milliseconds since the model started: [von, bis).
using zeitfenster = std::pair<int64_t, int64_t>;

// An axis driven by a motor: motor n runs it up with its first output on.
struct achse {
  std::string name;
  int motor = 0;                  // 1-4
  std::optional<double> min, max; // hard stops; none on an endless axis (a belt)
  double start = 0;
  double geschwindigkeit[SIM_STUFEN] = {}; // units per second at power level 1-7
  bool umgekehrt = false;                  // the motor's first output runs it down
  int zeile = 0;
};

// An input that is active while an axis is at or beyond `ab` and at or
// before `bis` (either may be missing).
struct schalter {
  std::string name;
  int eingang = 0; // 1-8
  int achse = 0;   // index into beschreibung::achsen
  std::optional<double> ab, bis;
  int64_t prellen_ms = 0;
  int zeile = 0;
};

// An analog input that follows an axis linearly between two values.
struct poti {
  std::string name;
  int analog = 0; // 1-2
  int achse = 0;
  double wert_bei_min = 0, wert_bei_max = 1023;
  double von = 0, bis = 0; // the axis range the two values belong to
  int zeile = 0;
};

struct lampe {
  std::string name;
  int ausgang = 0; // 1-8
  int zeile = 0;
};

// A light barrier (digital input) or photo sensor (analog input): lit while
// its lamp is on and nothing passes. Things pass at set times, or ride on an
// axis (parts on a belt) past the point `bei`.
struct licht {
  std::string name;
  int eingang = 0; // a light barrier, or
  int analog = 0;  // a photo sensor
  int lampe = -1;  // index into lampen; -1: always lit
  bool aktiv_bei_licht = true;
  int32_t hell = 1000, dunkel = 50;
  std::vector<zeitfenster> zeiten;
  int achse = -1;
  double bei = 0, laenge = 1;
  std::vector<double> teile; // where the parts sit on the axis at position 0
  int zeile = 0;
};

// A button pressed by the model's timeline (and by a person, as before).
struct taster {
  std::string name;
  int eingang = 0;
  std::vector<zeitfenster> gedrueckt;
  int zeile = 0;
};

// A rule the model's author writes; breaking it is a fault.
struct regel {
  enum class art { anschlag, nie_zusammen, nur_mit, folgt };
  std::string name;
  art typ = art::anschlag;
  int achse = -1;             // anschlag
  std::vector<int> ausgaenge; // nie_zusammen: never all on at once
  int ausgang = 0, mit = 0;   // nur_mit: `ausgang` only while `mit` is on
  int wenn_eingang = 0;       // folgt: after this input becomes active ...
  int dann_ausgang = 0;       // ... this output must be on ...
  int64_t binnen_ms = 0;      // ... within this time; for the others: how long it may last
  std::string text;
  int zeile = 0;
};

struct beschreibung {
  std::string name, titel;
  // A recording of a real run whose reads the model's parts stand over
  // (docs/mitschnitt.md), as written in the file; empty for none.
  std::string mitschnitt;
  std::vector<achse> achsen;
  std::vector<schalter> schalter_liste;
  std::vector<poti> potis;
  std::vector<lampe> lampen;
  std::vector<licht> lichter;
  std::vector<taster> taster_liste;
  std::vector<regel> regeln;
};

// Outcome of reading a model file: a whole model, or the message that names
// the file, the line and the problem.
struct ergebnis {
  std::optional<beschreibung> modell;
  std::string meldung;
  // The TOML parser's own words behind `meldung`, for the report.
  std::string parser_text = {};
  // Said once even when the model is read: it was not saved as UTF-8.
  std::string hinweis = {};
};

// The longest model file read; a longer one is refused before it is parsed.
constexpr size_t datei_platz = size_t{1} << 20;

// Reads a model from its text; `datei` names it in messages.
ergebnis lesen(std::string_view text, const std::string &datei);

// The built-in models by name ("schranke", ...), or null.
const char *eingebaut(std::string_view name);
// Their names, comma-separated, for messages.
const char *eingebaute_namen();
// The built-in model a mistyped name most likely meant, if one is near.
std::optional<std::string_view> gemeintes_modell(std::string_view name);

} // namespace modell
