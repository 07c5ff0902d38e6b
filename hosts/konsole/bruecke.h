// The model behind the bridge: a 64-bit console's umFish40.DLL may be the
// bridge, and the simulated box with its model then runs in the 32-bit
// helper, which inherits LUMBRIK_MODELL and LUMBRIK_BERICHT. The console
// cannot ask it for faults; it reads them from the report the simulator
// writes when the helper ends.
#pragma once

#include "aufzeichnung/bericht.h"

#include <windows.h>

#include <optional>
#include <string>

struct bericht_abholung {
  // The report to read (code page 1252, as the console's texts).
  std::string datei;
  // The console's own temporary report: these files go afterwards.
  std::string vorlaeufig;
  // A report of an earlier run at the same path does not count.
  bool vorher_da = false;
  FILETIME vorher{};
};

// Before the first command, when a model is chosen: where its report will
// be; with no LUMBRIK_BERICHT chosen, a temporary file, set as LUMBRIK_BERICHT
// for the helper to inherit. Empty without a model.
std::optional<bericht_abholung> bericht_bestellen();

// After the last command: unloads lumbrik.dll, and with it the bridge, which
// ends the helper so that the report is written; then reads it. Empty, with
// `meldung`, when no report came (the helper loaded the vendor's library)
// or it is not whole.
std::optional<akte::bericht> bericht_abholen(HMODULE lumbrik, const bericht_abholung &a,
                                             std::string &meldung);
