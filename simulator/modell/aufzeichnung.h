// The record of a headless run: every change streamed to a trace (CSV) as it
// happens, so memory stays bounded however long the run, and at the end a
// report (JSON) and a timing diagram (SVG) beside it.
#pragma once

#include "aufzeichnung/bericht.h"
#include "aufzeichnung/spur.h"
#include "simulator/modell/lauf.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace modell {

class aufzeichnung final : public beobachter {
public:
  // For a report at `bericht` (say lauf.json) the trace is lauf.csv and the
  // diagram lauf.svg; a report named like one of them (lauf.csv, lauf.svg)
  // gets the other a name of its own, and `meldung` says so. Report and
  // trace are held from now on: a second run with the same names is refused.
  // False (with `meldung`) when nothing can be recorded.
  bool oeffnen(const std::string &bericht, std::string &meldung);
  ~aufzeichnung();
  aufzeichnung() = default;
  aufzeichnung(const aufzeichnung &) = delete;
  aufzeichnung &operator=(const aufzeichnung &) = delete;

  void aenderung(int64_t zeit, signalart art, std::string_view name, double wert) override;
  void fehler(int64_t zeit, const regel &r) override;

  // Another model takes the run over (chosen in the window): the diagram
  // then names its lanes by number, as no one model's parts fit them all.
  void modell_wechselt() { modelle_ += 1; }

  // Closes the trace and writes the report and the diagram. `l` is the model
  // that ran, `meldung` why none did (or empty). Returns what went wrong, or
  // an empty text.
  std::string abschliessen(const lauf &l, int64_t laufzeit_ms, const std::string &meldung);
  // The same for a run no model took part in (a recording of the real box).
  std::string abschliessen(int64_t laufzeit_ms, const std::string &meldung);

  // Lines in the trace's form written by the caller (a recording of the real
  // box, with its times to the microsecond), then everything flushed to disk.
  // `art` counts each one. False when the trace could not be written.
  bool schreiben(std::string_view zeilen);
  void anzahl_setzen(signalart art, uint64_t n) { anzahl_[static_cast<size_t>(art)] = n; }
  // Further members of the report.
  void vor_null(int64_t ms) { vor_null_ms_ = ms; }
  void mitschnitt(akte::bericht::mitschnitt_angaben m) { mitschnitt_ = std::move(m); }
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
  // A fault no rule of the model found (where a replay departs from its
  // recording): into the trace now, into the report's list and count at the end.
  void fehler_melden(int64_t zeit, const std::string &regel, const std::string &text);

  uint64_t anzahl(signalart art) const { return anzahl_[static_cast<size_t>(art)]; }
  const std::string &spur() const { return spur_; }

private:
  akte::bericht bauen(const lauf &l, int64_t laufzeit_ms, const std::string &meldung) const;

  std::FILE *datei_ = nullptr, *bericht_datei_ = nullptr;
  std::string bericht_, spur_, diagramm_, zeile_;
  std::optional<int64_t> vor_null_ms_;
  std::optional<akte::bericht::mitschnitt_angaben> mitschnitt_;
  std::optional<akte::bericht::aufnahme_angaben> aufnahme_;
  std::string beginn_; // local time the report was opened, ISO 8601
  std::string parser_meldung_;
  std::array<uint64_t, signalarten> anzahl_{};
  int modelle_ = 1;
  struct weiterer_fehler {
    int64_t zeit;
    std::string regel, text;
  };
  std::vector<weiterer_fehler> weitere_fehler_;
  uint64_t weitere_anzahl_ = 0;
  char puffer_[1 << 16];
};

// Names of the signal kinds as the trace writes them.
const char *signalname(signalart art);
using akte::csv_feld;

} // namespace modell
