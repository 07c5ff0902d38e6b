// Shared set-up of the native tests: fresh doubles, a fresh simulated box and
// the library's variables at their start values before every test.
#pragma once

#include "tests/native/aufrufe.h"
#include "simulator/box.h"
#include "tests/doubles/doubles.h"
#include "src/lumbrik.h"

#include <gtest/gtest.h>

#include <memory>

class frisch : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The box the vendor functions reach in this test.
  std::unique_ptr<box> box_ = std::make_unique<box>();
};
