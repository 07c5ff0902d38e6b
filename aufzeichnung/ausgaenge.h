// What the box's outputs and motors hold after a setting call, by the
// vendor's rules: one value, for the simulated box, the model engine and the
// recorder of the real box alike.
#pragma once

#include "basis/box_groessen.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace akte {

struct ausgaenge {
  std::array<bool, SIM_AUSGAENGE> an{};
  // The level each output last had while on (0 before it was ever on).
  std::array<int32_t, SIM_AUSGAENGE> stufe{};

  // rbSetLampEx, output index 0 to 7: off keeps its level.
  void lampe(int index, bool ein, int32_t s) {
    an[static_cast<size_t>(index)] = ein;
    if (ein)
      stufe[static_cast<size_t>(index)] = s;
  }
  // rbSetMotorEx, motor index 0 to 3: one way with output 2m on, the other
  // with output 2m+1.
  void motor(int index, int32_t richtung, int32_t s) {
    lampe(2 * index, richtung > 0, s);
    lampe(2 * index + 1, richtung < 0, s);
  }
  // rbSetMotors: two bits per motor, lowest first: 1 one way, 2 the other,
  // 0 or 3 stop; the level the motor's first output last had (the highest
  // when it never had one).
  static int32_t richtung(int32_t maske, int index) {
    const uint32_t bits = (static_cast<uint32_t>(maske) >> (2 * index)) & 3u;
    return bits == 1u ? 1 : bits == 2u ? -1 : 0;
  }
  static int32_t motorstufe(int32_t stufe_erster) {
    return stufe_erster > 0 ? stufe_erster : SIM_STUFEN;
  }
  void motoren(int32_t maske) {
    for (int m = 0; m < SIM_MOTOREN; ++m)
      motor(m, richtung(maske, m), motorstufe(stufe[static_cast<size_t>(2 * m)]));
  }

  // As a trace writes them: an output its level while on (at least 1), 0
  // off; a motor plus or minus the level of the output that runs it.
  static int32_t ausgang_wert(bool ein, int32_t s) { return ein ? std::max(s, 1) : 0; }
  static int32_t motor_wert(bool vor, int32_t stufe_vor, bool zurueck, int32_t stufe_zurueck) {
    return vor == zurueck ? 0 : vor ? std::max(stufe_vor, 1) : -std::max(stufe_zurueck, 1);
  }
  int32_t ausgang_wert(size_t i) const { return ausgang_wert(an[i], stufe[i]); }
  int32_t motor_wert(size_t m) const {
    return motor_wert(an[2 * m], stufe[2 * m], an[2 * m + 1], stufe[2 * m + 1]);
  }
};

} // namespace akte
