// The zero of a run's clock, for the simulated box, its replay and the
// recorder of the real box alike. lumbrik's vorbereitung opens the box and
// then waits for a person to close its notice box: the run's zero is the
// host's first switch or read after the open, and until then the run's
// clock stands still. A timeline that ran meanwhile would fault a program
// for how long someone took to read. Times in the owner's unit.
#pragma once

#include <cstdint>

namespace akte {

class nullpunkt {
public:
  // The box first seen (its open); later sightings keep the first.
  void gesehen(int64_t t) {
    if (!gesehen_) {
      erst_ = t;
      gesehen_ = true;
    }
  }
  // A host's switch or read: the first one is the zero.
  void vom_host(int64_t t) {
    if (gesetzt_)
      return;
    gesehen(t);
    null_ = t;
    gesetzt_ = true;
  }
  bool gesetzt() const { return gesetzt_; }
  int64_t null() const { return null_; }
  // Time since the zero; 0 before it.
  int64_t seit(int64_t t) const { return gesetzt_ ? t - null_ : 0; }
  // How long the clock stood, from first sight to the zero.
  int64_t gestanden() const { return gesetzt_ ? null_ - erst_ : 0; }
  // The run's clock: first sight until the zero, then on from there.
  int64_t stehende_uhr(int64_t t) const { return erst_ + seit(t); }

private:
  int64_t erst_ = 0, null_ = 0;
  bool gesehen_ = false, gesetzt_ = false;
};

} // namespace akte
