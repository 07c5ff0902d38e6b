// Test doubles for the Windows operations of plattform.h, for the native build.
// They record message boxes, count global blocks, script the tick counter and
// the thread's keyboard queue; with them comes the readable-memory double
// (lesbar.h).
#pragma once

#include "tests/doubles/lesbar.h"
#include "src/plattform.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace doubles {

struct meldung {
  HWND besitzer;
  std::string text;
  std::string titel;
  UINT art;
};

struct zuteilung {
  UINT flags;
  size_t bytes;
};

struct abfrage {
  HWND fenster;
  UINT erste;
  UINT letzte;
  UINT flags;
};

// Everything back to a fresh start; called before each test.
void zuruecksetzen();

// --- Message boxes ---
const std::vector<meldung> &meldungen();
// Runs while a box is "open", before it is recorded as closed.
void bei_meldung(std::function<void(const meldung &)> beobachter);

// --- Global blocks ---
int lebende_bloecke();
int gesperrte_bloecke();
const std::vector<zuteilung> &zuteilungen();
void zuteilen_scheitert(bool ja);
void sperren_scheitert(bool ja);

// --- Tick counter: starts at `start`, every call advances by `schritt` ---
void ticks(DWORD start, DWORD schritt);
int tick_abfragen();
// Called with each value GetTickCount is about to return.
void bei_tick(std::function<void(DWORD)> beobachter);

// --- Keyboard queue of the thread ---
void nachricht(UINT art, WPARAM parameter);
std::deque<MSG> &warteschlange();
const std::vector<abfrage> &abfragen();
void vk_escape(SHORT wert);

} // namespace doubles
