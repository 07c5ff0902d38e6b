// The timing diagram: a trace (CSV of zeit_ms,art,name,wert) drawn as SVG,
// one lane per output, motor, input, analog value and axis, faults marked in
// red. Memory stays bounded: each lane keeps at most one column per pixel.
//
// With the model that ran, lanes are named by its parts ("warnlampe (A3)"),
// a lamp is drawn as a lamp and only the motors its axes use as motors;
// lanes that never change and belong to no part are folded into one line.
#pragma once

#include "simulator/modell/modell.h"

#include <string>

namespace modell {

// Reads the trace twice (time range, then the lanes). False, with a message,
// when it cannot be read or written. `m` may be null: lanes then go by number.
bool zeitdiagramm(const std::string &spur, const std::string &svg, std::string &meldung,
                  const beschreibung *m = nullptr);

} // namespace modell
