// The record of a simulated run: the record library's, hearing the model
// engine's changes as they happen and told at the end what the model knows.
#pragma once

#include "aufzeichnung/aufzeichnung.h"
#include "simulator/modell/lauf.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace modell {

// What the diagram takes of a model: its parts on the box's signals and its
// rules' texts.
akte::teile teile_von(const beschreibung &m);

class aufzeichnung final : public akte::aufzeichnung, public beobachter {
public:
  void aenderung(int64_t zeit, signalart art, std::string_view name, double wert) override {
    akte::aufzeichnung::aenderung(zeit, static_cast<akte::art>(art), name, wert);
  }
  void fehler(int64_t zeit, const regel &r) override {
    akte::aufzeichnung::aenderung(zeit, akte::art::fehler, r.name, 1);
  }
  using akte::aufzeichnung::anzahl;
  uint64_t anzahl(signalart art) const { return anzahl(static_cast<akte::art>(art)); }

  // At the end, with the model that ran in `l`.
  using akte::aufzeichnung::abschliessen;
  std::string abschliessen(const lauf &l, int64_t laufzeit_ms, const std::string &meldung);
};

} // namespace modell
