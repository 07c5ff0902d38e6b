// Runs one accepted command line against lumbrik.dll (or the simulated box)
// and prints its result.
#pragma once

#include "hosts/gemeinsam/lumbrik_dll.h"
#include "hosts/konsole/escape.h"
#include "hosts/konsole/zeile.h"

#include <cstdint>
#include <optional>
#include <string>

struct sitzung {
  lumbrik_exporte dll;
  // Empty with the vendor's real library.
  std::optional<simulator_steuerung> sim;
  // The loaded umFish40.DLL is the bridge for 64-bit programs.
  bool hinter_bruecke = false;
  // --zustand: the box's state after each command that changed it.
  bool zustand_zeigen = false;
  std::string zustand_gezeigt;
  // The thread that calls lumbrik; escape_nach posts its key there.
  unsigned long haupt_thread = 0;
  escape_wecker wecker;
  // The console input when someone types there: Escape typed during a pause
  // is passed on to lumbrik. Null for scripts and pipes.
  void *konsole_eingabe = nullptr;
  // Log entries already shown by sim_protokoll.
  uint32_t protokoll_gezeigt = 0;
  // Whether vorbereitung has run: before it commands pass handle 0.
  bool vorbereitet = false;
  // Whether a simulated box behind the recorder was looked for.
  bool hinter_gesucht = false;
};

// False when the command could not run; then `fehler` says why (code page
// 1252, without the line number) and nothing was called.
bool ausfuehren(const gelesene_zeile &zeile, sitzung &s, std::string &fehler);
