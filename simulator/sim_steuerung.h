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

#ifdef _WIN32
#define SIM_CALL __stdcall
#else
#define SIM_CALL
#endif

#define SIM_AUSGAENGE 8
#define SIM_MOTOREN 4
#define SIM_EINGAENGE 8
#define SIM_ANALOGE 2
#define SIM_SPANNUNGEN 2

/* Handle of the first successful open; each further open counts up by one. */
#define SIM_ERSTES_HANDLE 0x4C4B0001u
/* What a failed open returns. */
#define SIM_OEFFNEN_FEHLER 0xE0000001u
/* Most recent calls kept in the log. */
#define SIM_PROTOKOLL_PLATZ 4096

#ifdef __cplusplus
extern "C" {
#endif

/* Vendor functions, as numbered in the call log. */
enum sim_funktion {
  sim_rbOpenInterfaceUSB = 1,
  sim_rbSetLampEx,
  sim_rbSetMotors,
  sim_rbSetMotorEx,
  sim_rbGetMotors,
  sim_rbGetInput,
  sim_rbGetAnalog,
  sim_rbGetVoltage
};

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

/* Back to the start: everything off, inputs 0, log empty, opening succeeds. */
void SIM_CALL sim_zuruecksetzen(void);
/* While `ja` is not 0, rbOpenInterfaceUSB fails with SIM_OEFFNEN_FEHLER. */
void SIM_CALL sim_oeffnen_fehlschlagen(int32_t ja);
/* Raw values the vendor functions then report; 1 if the number exists. */
int32_t SIM_CALL sim_eingang_setzen(int32_t nummer, int32_t wert);
int32_t SIM_CALL sim_analog_setzen(int32_t nummer, int32_t wert);
int32_t SIM_CALL sim_spannung_setzen(int32_t nummer, int32_t wert);
/* A snapshot of the whole box. */
void SIM_CALL sim_zustand_lesen(struct sim_zustand *zustand);
/* Calls received since the last reset (the log keeps the latest ones). */
uint32_t SIM_CALL sim_protokoll_anzahl(void);
/* Call number `index` (from 0); 0 when it is not (or no longer) in the log. */
int32_t SIM_CALL sim_protokoll_eintrag(uint32_t index, struct sim_aufruf *aufruf);
/* The vendor name of a function number, or "?". */
const char *SIM_CALL sim_funktionsname(int32_t funktion);
/* The model chosen by LUMBRIK_MODELL ("" when none runs), and why a chosen
   one could not be loaded ("" when it could); both known after the first open. */
const char *SIM_CALL sim_modell_name(void);
const char *SIM_CALL sim_modell_meldung(void);

#ifdef __cplusplus
}
#endif

#endif
