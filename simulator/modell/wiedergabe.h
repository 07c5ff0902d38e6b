// A recording of a run on the real interface (the recorder's trace) played
// back in the simulated box: its inputs, analog values and voltages follow
// the recording on its timeline from its zero, and the outputs the
// host sets now are compared with those recorded.
#pragma once

#include "simulator/box_groessen.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace modell {

struct beschreibung;

class wiedergabe {
public:
  // How far (ms) an output may be set before or after its recorded time.
  static constexpr int64_t toleranz_vorgabe = 100;

  // Reads a recording's trace; false, with a message naming the file and
  // line, when it cannot be read.
  bool laden(const std::string &datei, std::string &meldung);
  void toleranz_setzen(int64_t ms) { toleranz_ = ms; }
  int64_t toleranz() const { return toleranz_; }

  // The recording's zero falls on the host's first switch or read after
  // its first open (lumbrik's vorbereitung waits for a person to close its
  // notice box after the open); `t` is that call's time on the run's
  // timeline, which every other time here counts on too.
  void beginnen(int64_t t);
  bool begonnen() const { return begonnen_; }

  enum lesart { eingang, analog, spannung, lesarten };
  // What a read of input `nummer` answers at time t: the value recorded
  // last before t; before its first recorded read (and before the
  // recording's zero) the value that read saw. Numbers the recording never read keep `sonst`.
  int32_t wert(lesart art, int nummer, int64_t t, int32_t sonst) const;

  // A divergence: when, which output ("Ausgang 3"), recorded value, value now.
  struct abweichung {
    int64_t zeit;
    std::string signal;
    int32_t aufgezeichnet, jetzt;
  };
  using melder = std::function<void(const abweichung &)>;

  // The host's outputs at time t, once begun (level while on, 0 off): a change the
  // recording has not within the tolerance is a divergence at once; a
  // recorded change whose window closed before t without the host making
  // it is one at its recorded time.
  void abgleichen(int64_t t, const std::array<int32_t, SIM_AUSGAENGE> &ausgang, const melder &m);
  // The run ended at t: every recorded change not made is a divergence.
  void beenden(int64_t t, const melder &m);
  uint64_t anzahl() const { return anzahl_; }
  // Where the recording's zero fell on the run's timeline (ms).
  int64_t null() const { return null_; }

  // A divergence as a teacher checks it against the recording: "Ausgang 3
  // (Motor 2 vor) war in der Aufnahme bei 1,20 s an (Stufe 7), jetzt aus".
  // With the model `m` (or null) an output that lights a lamp is named by it.
  std::string text(const abweichung &a, const beschreibung *m) const;

private:
  struct punkt {
    int64_t us;
    int32_t wert;
  };
  struct ausgangsspur {
    std::vector<punkt> aufgezeichnet; // the recorded changes, in time order
    size_t geprueft = 0;              // those before have been checked
    std::vector<punkt> gesetzt;       // the host's changes
    int32_t jetzt = 0;
  };

  void pruefen(size_t ausgang, int64_t bis_us, int64_t ende_us, const melder &m);
  void melden(const abweichung &a, const melder &m);

  std::array<std::array<std::vector<punkt>, 32>, lesarten> gelesen_;
  std::array<ausgangsspur, SIM_AUSGAENGE> ausgaenge_;
  int64_t toleranz_ = toleranz_vorgabe;
  int64_t null_ = 0;
  bool begonnen_ = false;
  uint64_t anzahl_ = 0;
};

} // namespace modell
