// The report of a run (JSON) as one value, written in one place: by the
// simulator at a run's end, by the recorder while the run goes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace akte {

// Faults a report lists at most, the first ones; its count has them all.
constexpr size_t fehler_platz = 1000;

struct bericht {
  std::string modell, titel;
  // Local time the run began, ISO 8601 ("2026-12-11T09:41:07").
  std::string beginn;
  // Why no model ran, or what went wrong with the recording; empty when all is well.
  std::string meldung;
  // The TOML reader's own words when it refused the model file, for those who want them.
  std::string parser_meldung;
  int64_t laufzeit_ms = 0;
  uint64_t fehler_anzahl = 0;
  struct fehler_eintrag {
    int64_t zeit_ms;
    std::string regel, text;
  };
  // The first faults, in time order (the count has them all).
  std::vector<fehler_eintrag> fehler;
  // Lines of the trace by kind, in the order of the model's signals.
  std::array<std::pair<const char *, uint64_t>, 6> anzahl{};
  // From the host's open to the clock's zero (a simulated run).
  std::optional<int64_t> vor_null_ms;
  // What the recorder of the real box saw.
  struct mitschnitt_angaben {
    std::string hersteller;
    uint32_t oeffnen = 0;
    int64_t vor_null_ms = 0;
    std::vector<std::pair<std::string, uint64_t>> aufrufe, gleich;
    uint64_t ohne_offene_schnittstelle = 0, spannung = 0, ausgangzustand = 0;
  };
  std::optional<mitschnitt_angaben> mitschnitt;
  // A replay: the recording compared with, and where its zero fell on the
  // run's timeline (ms).
  struct aufnahme_angaben {
    std::string spur;
    int64_t null_ms = 0;
  };
  std::optional<aufnahme_angaben> aufnahme;
  std::string spur;
  std::optional<std::string> zeitdiagramm;
};

std::string json(const bericht &b);
// A report read back, as the console behind the bridge, the class check and
// the drawing tool read it: the parts they use, the faults that have a time
// in time order. Empty when the text is not a whole report: cut short, or
// (with `ganz`) without what every report has, its model, message, fault
// count and length. Without `ganz` what is missing is left as it is, as for
// a report of an older or newer simulator.
std::optional<bericht> bericht_lesen(std::string_view text, bool ganz = true);
// The report beside a trace (lauf.json beside lauf.csv), when it is the
// report of that trace, for drawing the trace afterwards; empty when there
// is none or it cannot be read.
std::optional<bericht> bericht_neben(const std::string &spur);
// A JSON string of UTF-8 text, control characters escaped.
std::string json_text(std::string_view s);

// Replaces the file at `pfad` whole, through a new file beside it: a reader
// (or a process killed meanwhile) sees the old report or the new one, never
// half of one. False with `meldung` when it cannot.
bool ersetzen(const std::string &pfad, const std::string &text, std::string &meldung);

} // namespace akte
