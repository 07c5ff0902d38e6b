// Shared set-up of the native tests: fresh doubles, a fresh simulated box and
// the library's variables at their start values before every test.
#pragma once

#include "doubles.h"
#include "lumbrik.h"
#include "sim_steuerung.h"

#include <gtest/gtest.h>

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

class frisch : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
};
