/*
 * Control interface of the simulated interface box (our own umFish40.DLL).
 *
 * The simulator exports the eight vendor functions that lumbrik calls and,
 * besides them, these functions for tests and hosts: set inputs, analog values
 * and voltages, make opening fail, read the outputs and the call log.
 *
 * The simulated box: outputs 1-8, motors 1-4 (motor n drives outputs 2n-1 and
 * 2n), digital inputs 1-8, analog inputs 1-2 (AX, AY), voltages 1-2.
 */
#ifndef SIM_STEUERUNG_H
#define SIM_STEUERUNG_H

#include <stdint.h>

#include "basis/box_groessen.h"
#include "src/umFish40_funktionen.h"

#ifdef _WIN32
#define SIM_CALL __stdcall
#else
#define SIM_CALL
#endif

/* Handle of the first successful open; each further open counts up by one. */
#define SIM_ERSTES_HANDLE 0x4C4B0001u
/* What a failed open returns. */
#define SIM_OEFFNEN_FEHLER 0xE0000001u
/* Most recent calls kept in the log. */
#define SIM_PROTOKOLL_PLATZ 4096

#ifdef __cplusplus
extern "C" {
#endif

/* Vendor functions, as numbered in the call log: sim_rbOpenInterfaceUSB is 1. */
#define SIM_FUNKTIONSNUMMER(name, ergebnis, parameter, argumente, bytes) sim_##name,
enum sim_funktion { sim_keine_funktion, UMFISH40_FUNKTIONEN(SIM_FUNKTIONSNUMMER) };
#undef SIM_FUNKTIONSNUMMER

/* One vendor call as received: unused arguments are 0. */
struct sim_aufruf {
  int32_t funktion;
  int32_t anzahl_argumente;
  int32_t argumente[4];
  int32_t ergebnis;
};

/* Everything the box shows, read in one go. */
struct sim_zustand {
  int32_t ausgang_an[SIM_AUSGAENGE];
  int32_t ausgang_stufe[SIM_AUSGAENGE];
  /* Direction of each motor from its two outputs: 1, -1 or 0. */
  int32_t motor_richtung[SIM_MOTOREN];
  int32_t eingang[SIM_EINGAENGE];
  int32_t analog[SIM_ANALOGE];
  int32_t spannung[SIM_SPANNUNGEN];
  /* Number of successful opens; the last handle is the first plus this minus one. */
  uint32_t geoeffnet;
  /* Counts every change, so a viewer knows when to redraw. */
  uint32_t aenderungen;
};

/* A fault of the model's run: when, which rule (or "mitschnitt" for a
   replay), and what it means; both texts UTF-8, valid while the DLL is loaded. */
struct sim_fehler {
  int64_t zeit_ms;
  const char *regel_utf8;
  const char *text_utf8;
};

/*
 * The control functions, written out once: the simulator's .def and the
 * hosts' table of them are expanded from this list. Each is exported as
 * sim_<name>.
 *   X(name, result, (parameters), (arguments), argument bytes)
 */
/* clang-format off */
#define SIM_STEUERUNG(X) \
  /* Back to the start: everything off, inputs 0, log empty, opening succeeds. */ \
  X(zuruecksetzen, void, (void), (), 0) \
  /* While `ja` is not 0, rbOpenInterfaceUSB fails with SIM_OEFFNEN_FEHLER. */ \
  X(oeffnen_fehlschlagen, void, (int32_t ja), (ja), 4) \
  /* Raw values the vendor functions then report; 1 if the number exists. */ \
  X(eingang_setzen, int32_t, (int32_t nummer, int32_t wert), (nummer, wert), 8) \
  X(analog_setzen, int32_t, (int32_t nummer, int32_t wert), (nummer, wert), 8) \
  X(spannung_setzen, int32_t, (int32_t nummer, int32_t wert), (nummer, wert), 8) \
  /* A snapshot of the whole box. */ \
  X(zustand_lesen, void, (struct sim_zustand *zustand), (zustand), 4) \
  /* Calls received since the last reset (the log keeps the latest ones). */ \
  X(protokoll_anzahl, uint32_t, (void), (), 0) \
  /* Call number `index` (from 0); 0 when it is not (or no longer) in the log. */ \
  X(protokoll_eintrag, int32_t, (uint32_t index, struct sim_aufruf *aufruf), (index, aufruf), 8) \
  /* The vendor name of a function number, or "?" (ASCII). */ \
  X(funktionsname, const char *, (int32_t funktion), (funktion), 4) \
  /* The model chosen by LUMBRIK_MODELL ("" when none runs), and why a chosen \
     one could not be loaded ("" when it could); both known after the first open. \
     Both are UTF-8, as model files are, not the box's code page 1252. */ \
  X(modell_name_utf8, const char *, (void), (), 0) \
  X(modell_meldung_utf8, const char *, (void), (), 0) \
  /* Why the report LUMBRIK_BERICHT asks for cannot be written ("" when it \
     can or none was asked for), UTF-8; known after the first open. */ \
  X(bericht_meldung_utf8, const char *, (void), (), 0) \
  /* Faults the model's rules recorded since it started (0 without a model). */ \
  X(modell_fehler, uint32_t, (void), (), 0) \
  /* Fault number `index` (from 0) in time order, of the first ones kept; \
     0 when there is none such. */ \
  X(modell_fehler_eintrag, int32_t, (uint32_t index, struct sim_fehler *fehler), (index, fehler), 8)
/* clang-format on */

#define SIM_DEKLARATION(name, ergebnis, parameter, argumente, bytes)                               \
  ergebnis SIM_CALL sim_##name parameter;
SIM_STEUERUNG(SIM_DEKLARATION)
#undef SIM_DEKLARATION

#ifdef __cplusplus
}
#endif

#endif
