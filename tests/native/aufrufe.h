// The vendor calls the simulated box logged, as the tests compare them.
#pragma once

#include "simulator/sim_steuerung.h"

#include <cstdint>
#include <ostream>
#include <vector>

// One vendor call as the tests compare it.
struct aufruf {
  int32_t funktion;
  std::vector<int32_t> argumente;
  bool operator==(const aufruf &) const = default;
};

void PrintTo(const aufruf &a, std::ostream *os);

// The vendor calls logged by the simulated box since the last reset.
std::vector<aufruf> vendor_aufrufe();
