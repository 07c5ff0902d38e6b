// The timing diagram: a trace (CSV of zeit_ms,art,name,wert) drawn as SVG,
// one lane per output, motor, input, analog value and axis, faults marked in
// red. Memory stays bounded: each lane keeps at most one column per pixel.
#pragma once

#include <string>

namespace modell {

// Reads the trace twice (time range, then the lanes). False, with a message,
// when it cannot be read or written.
bool zeitdiagramm(const std::string &spur, const std::string &svg, std::string &meldung);

} // namespace modell
