// How long a pause waits, worked out from the duration's bits alone.
//
// A pause ends in the first pass in which the elapsed milliseconds exceed
// the duration (tenths of a second) times 100, rounded to a double as the
// product would be. This gives the same answer without touching the floating
// point unit, so a host that runs with floating-point exceptions unmasked
// cannot trap inside lumbrik, whatever double it passes.
#pragma once

#include <cstdint>

struct wartezeit {
  enum art_t : uint8_t {
    // Not a number, zero or negative: return at once.
    keine,
    // Ends once `schwelle` milliseconds or more have passed.
    begrenzt,
    // The tick difference can never exceed the limit: only Escape ends it.
    endlos,
  };
  art_t art;
  uint32_t schwelle;
};

wartezeit wartezeit_aus(double zehntelsekunden);
