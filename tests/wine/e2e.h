// Support of the end-to-end tests: the real lumbrik.dll, loaded the way a
// host loads it, next to the simulated umFish40.DLL, under Wine.
#pragma once

#include "hosts/gemeinsam/lumbrik_dll.h"
#include "hosts/gemeinsam/meldungen.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

// Loads lumbrik.dll once per process (each test runs in a process of its own).
const lumbrik_exporte &dll();
const simulator_steuerung &sim();

// Address of an export by name, or by ordinal.
FARPROC export_nach_name(const char *name);
FARPROC export_nach_ordinal(int ordinal);

struct vendor_aufruf {
  int32_t funktion;
  std::vector<int32_t> argumente;
  bool operator==(const vendor_aufruf &) const = default;
};
void PrintTo(const vendor_aufruf &a, std::ostream *os);

// The vendor calls the simulated box has received so far, from call `ab` on.
std::vector<vendor_aufruf> vendor_aufrufe(uint32_t ab = 0);

// Catches every message box of the test's thread and keeps what it read.
class mit_boxen : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  std::vector<meldungsbox> boxen;
};

// Handle values of the simulated box.
constexpr int32_t erster_handle = static_cast<int32_t>(SIM_ERSTES_HANDLE);
