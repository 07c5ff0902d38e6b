// The record of a headless run: every change streamed to a trace (CSV) as it
// happens, so memory stays bounded however long the run, and at the end a
// report (JSON) and a timing diagram (SVG) beside it.
#pragma once

#include "aufzeichnung/bericht.h"
#include "aufzeichnung/spur.h"
#include "aufzeichnung/zeitdiagramm.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace akte {

// What the model engine knows of a run at its end.
struct modell_ende {
  akte::teile teile; // the model's name, its parts and its rules' texts
  std::string titel;
  uint64_t fehler_anzahl = 0;
  std::vector<bericht::fehler_eintrag> fehler; // the first ones
};

class aufzeichnung {
public:
  // For a report at `bericht` (say lauf.json) the trace is lauf.csv and the
  // diagram lauf.svg; a report named like one of them (lauf.csv, lauf.svg)
  // gets the other a name of its own, and `meldung` says so. Report and
  // trace are held from now on: a second run with the same names is refused.
  // False (with `meldung`) when nothing can be recorded.
  bool oeffnen(const std::string &bericht, std::string &meldung);
  // A report of a new name: `stamm` (a folder's path and the time the run
  // began, ".../mitschnitte/2026-12-11_09-41-07") and .json, or with _2, _3
  // and so on when a report, trace or diagram of that name is there or
  // another run takes it first. False (with `meldung`) when none can be had.
  bool oeffnen_neu(const std::string &stamm, std::string &meldung);
  ~aufzeichnung();
  aufzeichnung() = default;
  aufzeichnung(const aufzeichnung &) = delete;
  aufzeichnung &operator=(const aufzeichnung &) = delete;

  // A change at `zeit` ms, into the trace now (a fault of a model's rule is
  // one of kind `fehler`, named by the rule) and into the report's counts.
  void aenderung(int64_t zeit, art a, std::string_view name, double wert);
  // A fault no rule of the model found (where a replay departs from its
  // recording): into the trace now, into the report's list and count at the end.
  void fehler_melden(int64_t zeit, const std::string &regel, const std::string &text);

  // Another model takes the run over (chosen in the window): the diagram
  // then names its lanes by number, as no one model's parts fit them all.
  void modell_wechselt() { modelle_ += 1; }

  // Closes the trace and writes the report and the diagram. `m` is what the
  // model that ran knows, `meldung` why none did (or empty). Returns what
  // went wrong, or an empty text.
  std::string abschliessen(const modell_ende &m, int64_t laufzeit_ms, const std::string &meldung);
  // The same for a run no model took part in (a recording of the real box).
  std::string abschliessen(int64_t laufzeit_ms, const std::string &meldung) {
    return abschliessen(modell_ende{}, laufzeit_ms, meldung);
  }

  // Lines in the trace's form written by the caller (a recording of the real
  // box, with its times to the microsecond), then everything flushed to disk.
  // False when the trace could not be written: the first failure ends the
  // trace there (a full disk would leave half a line, and later lines
  // after a gap would lie), and the report's `meldung` says so from then on.
  bool schreiben(std::string_view zeilen);
  // The first thing that could not be written, or "".
  const std::string &schreibfehler() const { return schreibfehler_; }
  void anzahl_setzen(art a, uint64_t n) { anzahl_[static_cast<size_t>(a)] = n; }
  // Further members of the report.
  void vor_null(int64_t ms) { vor_null_ms_ = ms; }
  void mitschnitt(bericht::mitschnitt_angaben m) { mitschnitt_ = std::move(m); }
  // From now on the report is not held open but replaced whole each time
  // it is written (through a new file beside it), as the recorder renews
  // it while a run goes.
  void bericht_freigeben();
  // The report as it stands, without a diagram; what went wrong, or "".
  std::string zwischenbericht(int64_t laufzeit_ms, const std::string &meldung);
  // A replay: the recording it was compared with, whose zero fell at
  // `null_ms` on the run's timeline; into the report and behind the diagram's outputs.
  void aufnahme(std::string spur, int64_t null_ms) { aufnahme_ = {std::move(spur), null_ms}; }
  // The TOML reader's own words for a refused model file.
  void parser_meldung(std::string text) { parser_meldung_ = std::move(text); }

  uint64_t anzahl(art a) const { return anzahl_[static_cast<size_t>(a)]; }
  const std::string &spur() const { return spur_; }

private:
  bericht bauen(const modell_ende &m, int64_t laufzeit_ms, const std::string &meldung) const;

  std::FILE *datei_ = nullptr, *bericht_datei_ = nullptr;
  std::string bericht_, spur_, diagramm_, zeile_;
  std::optional<int64_t> vor_null_ms_;
  std::optional<bericht::mitschnitt_angaben> mitschnitt_;
  std::optional<bericht::aufnahme_angaben> aufnahme_;
  std::string beginn_; // local time the report was opened, ISO 8601
  std::string parser_meldung_;
  std::string schreibfehler_;
  // By the model's kinds, as the report counts them.
  std::array<uint64_t, modellarten> anzahl_{};
  int modelle_ = 1;
  std::vector<bericht::fehler_eintrag> weitere_fehler_;
  uint64_t weitere_anzahl_ = 0;
  char puffer_[1 << 16];
};

} // namespace akte
