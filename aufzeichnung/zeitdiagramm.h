// The timing diagram: a trace (CSV of zeit_ms,art,name,wert) drawn as SVG,
// one lane per output, motor, input, analog value and axis, faults marked in
// red. Memory stays bounded: each lane keeps at most one column per pixel.
//
// With the parts of the model that ran, lanes are named by them ("warnlampe
// (A3)"), a lamp is drawn as a lamp and only the motors its axes use as
// motors; lanes that never change and belong to no part are folded into one
// line.
#pragma once

#include "aufzeichnung/bericht.h"
#include "aufzeichnung/spur.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace akte {

// What the model that ran says of the lanes, told by the simulator.
struct teile {
  std::string modell; // its name
  struct teil {
    art a;      // ausgang, motor, eingang or analog
    int nummer; // from 1
    std::string name;
    bool lampe = false; // an output that lights a lamp
  };
  // A later one names its signal over an earlier one.
  std::vector<teil> signale;
  // Each rule's name and text, for faults the report does not describe.
  std::vector<std::pair<std::string, std::string>> regeln;
};

// Reads the trace twice (time range, then the lanes). False, with a message,
// when it cannot be read or written. `m` may be null: lanes then go by number.
// The run's report `lauf`, where there is one, gives the title line (model,
// start, length, faults), the faults' texts and, for a replay, the recording
// drawn faintly behind the outputs; without it the title names the trace
// and counts its faults.
bool zeitdiagramm(const std::string &spur, const std::string &svg, std::string &meldung,
                  const teile *m = nullptr, const bericht *lauf = nullptr);

} // namespace akte
