// The command library: its three process-wide variables and every command.
//
// These are the plain C++ functions; the Windows build exports them under
// their own names, stdcall, through a thin shim (lumbrik_exports.cpp).
#pragma once

#include "include/lumbrik.h"
#include "src/liste.h"

#include <cstdint>

namespace lumbrik {

// Handle of the opened interface, as rbOpenInterfaceUSB returned it.
extern uint32_t schnittstelle;
// Power level for outputs and motors, 1 to 7.
extern int32_t stufe;
// Set to 1 when a pause was cut short by Escape, cleared by gib_fehler.
extern unsigned char fehler;

// --- Opening ---
void vorbereitung(int32_t wert);
void lpt(int32_t wert);

// --- Outputs and motors ---
void einschalten(intptr_t ausgaenge);
void ausschalten(intptr_t ausgaenge);
void allesaus();
void motor(int32_t nummer, int32_t wert);
int32_t ausgangzustand();
void t_proz1(int32_t neue_stufe);

// --- Inputs ---
unsigned char schalter(intptr_t eingaenge);
int32_t sensor(int32_t eingang);
int32_t poti(int32_t eingang);
int32_t t_funk1(int32_t nummer);

// --- Waiting ---
void pause(double zehntelsekunden);
unsigned char gib_fehler();

} // namespace lumbrik
