// A recording of a run on the real interface (the recorder's trace) played
// back in the simulated box: its inputs, analog values and voltages follow
// the recording on its timeline from its zero, and the outputs the
// host sets now are compared with those recorded.
#pragma once

#include "aufzeichnung/nullpunkt.h"
#include "aufzeichnung/spur.h"
#include "basis/box_groessen.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace akte {

class wiedergabe {
public:
  // How far (ms) an output may be set before or after its recorded time.
  static constexpr int64_t toleranz_vorgabe = 100;

  // Reads a recording's trace; false, with a message naming the file and
  // line, when it cannot be read.
  bool laden(const std::string &datei, std::string &meldung);
  void toleranz_setzen(int64_t ms) { toleranz_ = ms; }
  int64_t toleranz() const { return toleranz_; }

  // The recording's zero falls on the run's (see nullpunkt.h); `t` is the
  // time of a host's switch or read on the run's timeline, which every
  // other time here counts on too: the first one is the zero.
  void beginnen(int64_t t) { null_.vom_host(t); }
  bool begonnen() const { return null_.gesetzt(); }

  // What a read of `nummer` (of kind eingang, analog or spannung) answers at
  // time t: the value recorded last before t; before its first recorded
  // read (and before the recording's zero) the value that read saw.
  // Numbers the recording never read keep `sonst`.
  int32_t wert(art a, int nummer, int64_t t, int32_t sonst) const;

  // A divergence: when, which output ("Ausgang 3"), recorded value, value now.
  struct abweichung {
    int64_t zeit;
    std::string signal;
    int32_t aufgezeichnet, jetzt;
    bool operator<(const abweichung &b) const { return zeit < b.zeit; }
  };
  using melder = std::function<void(const abweichung &)>;

  // The host's outputs at time t, once begun (level while on, 0 off). A
  // change near a recorded change of the output (within the tolerance) is
  // judged with it, when its window closes: one divergence, at the recorded
  // time, when the host did not have the recorded value by then. A change
  // with none near is one at once. `m` hears them in time order, each once.
  void abgleichen(int64_t t, const std::array<int32_t, SIM_AUSGAENGE> &ausgang, const melder &m);
  // The run is judged at t: every window still open closes now, every
  // recorded change not made is a divergence. Before any count is given.
  void beenden(int64_t t, const melder &m);
  uint64_t anzahl() const { return anzahl_; }
  // Where the recording's zero fell on the run's timeline (ms).
  int64_t null() const { return null_.null(); }

  // At most this many recorded changes and reads are held.
  static constexpr size_t punkte_max = 2000000;

private:
  struct punkt {
    int64_t us;
    int32_t wert;
  };
  // Changes in time order, with the times of each value apart: whether a
  // value was taken within a window is then a search, however wide it is.
  struct reihe {
    std::vector<punkt> punkte;
    std::map<int32_t, std::vector<int64_t>> nach_wert;
    void anhaengen(int64_t us, int32_t wert);
    int32_t stand(int64_t us, int32_t vorher) const;
    bool wechsel_in(int64_t von, int64_t bis, int32_t wert) const;
    // Whether any change lies within [von, bis] at or after index `ab`.
    bool irgendein_wechsel(size_t ab, int64_t von, int64_t bis) const;
  };
  struct ausgangsspur {
    reihe aufgezeichnet; // the recorded changes
    size_t geprueft = 0; // those before have been judged
    reihe gesetzt;       // the host's changes
    int32_t jetzt = 0;
  };

  // The window around a time: the tolerance, and the millisecond the host's
  // clock cannot split.
  int64_t fenster_us() const { return toleranz_ * 1000 + 999; }
  void pruefen(size_t ausgang, int64_t bis_us, int64_t ende_us);
  void vormerken(abweichung a);
  // Hands on, in time order, those no later judgement can precede.
  void weitergeben(int64_t bis_zeit, const melder &m);

  std::array<std::array<std::vector<punkt>, 32>, arten> gelesen_;
  std::array<ausgangsspur, SIM_AUSGAENGE> ausgaenge_;
  std::vector<abweichung> vorgemerkt_;
  int64_t toleranz_ = toleranz_vorgabe;
  nullpunkt null_;
  uint64_t anzahl_ = 0;
};

} // namespace akte
