/*
 * lumbrik.h - the fourteen functions of lumbrik.dll, for host programs.
 *
 * Every function is __stdcall with an undecorated export name; each is also
 * exported by the ordinal given in its comment. Integers are 32 bits wide.
 * A truth value comes back as one byte: 1 for true, 0 for false.
 *
 * einschalten, ausschalten and schalter take a number from -32767 to 32768,
 * or else the address of a list text such as "[1 2 3]" (a bracket, numbers
 * separated by single spaces, a bracket). Usable from C and C++.
 *
 * For host authors (details in docs/befehle.md):
 * - The 32-bit lumbrik.dll loads only into a 32-bit process (a 64-bit one
 *   gets error 193); a 64-bit process needs the 64-bit lumbrik.dll. Either
 *   needs an umFish40.DLL of its own width beside the host's .exe.
 * - Call everything from one thread. Commands before vorbereitung pass
 *   handle 0 to umFish40.DLL.
 * - Nothing is switched off when the host ends: call allesaus (and
 *   ausschalten for lamps) before exiting.
 * - Link with liblumbrik.dll.a (MinGW) or lumbrik.lib (Microsoft ABI).
 * The 64-bit lumbrik.dll has the same exports: there __stdcall is the one
 * calling convention of 64-bit Windows, and the number-or-list argument
 * (intptr_t) is 64 bits wide.
 */
#ifndef LUMBRIK_H
#define LUMBRIK_H

#include <stdint.h>

/* einschalten, ausschalten and schalter take values from LUMBRIK_KLEINSTE_ZAHL
 * to LUMBRIK_GROESSTE_ZAHL as numbers; any other value is a list address. */
#define LUMBRIK_KLEINSTE_ZAHL (-32767)
#define LUMBRIK_GROESSTE_ZAHL 32768

/* The functions live in a Windows DLL; elsewhere only the constants above
 * are declared (and a POSIX pause() would clash). */
#ifdef _WIN32

#define LUMBRIK_CALL __stdcall

#ifdef __cplusplus
extern "C" {
#endif

/* 1: whether a pause was cut short by Escape since the last call; clears it. */
unsigned char LUMBRIK_CALL gib_fehler(void);
/* 2: opens the interface and shows the start-up box; the argument is ignored. */
void LUMBRIK_CALL vorbereitung(int32_t wert);
/* 3: switches on the output(s) at the current power level. */
void LUMBRIK_CALL einschalten(intptr_t ausgaenge);
/* 4: switches off the output(s). */
void LUMBRIK_CALL ausschalten(intptr_t ausgaenge);
/* 5: switches all motors off. Motors and lamps share outputs: in the
 * simulated box this switches every output off, lamps included. */
void LUMBRIK_CALL allesaus(void);
/* 6: drives motor `nummer` with `wert` at the current power level. */
void LUMBRIK_CALL motor(int32_t nummer, int32_t wert);
/* 7: the output state as the interface reports it (with real hardware, the
 * vendor library's value). The simulated box: output n is bit n-1, set while
 * the output is on; -1 before vorbereitung. */
int32_t LUMBRIK_CALL ausgangzustand(void);
/* 8: whether the input, or any input of a list, is active. */
unsigned char LUMBRIK_CALL schalter(intptr_t eingaenge);
/* 9: the value of an analog input. */
int32_t LUMBRIK_CALL sensor(int32_t eingang);
/* 10: the same as sensor. */
int32_t LUMBRIK_CALL poti(int32_t eingang);
/* 11: waits this many tenths of a second; Escape cuts it short and calls
 * allesaus. Other keyboard messages of the thread that arrive meanwhile are
 * consumed. Uses no floating-point instruction, and masks every exception
 * while it calls into Windows, so unmasked floating-point exceptions do not
 * trap; the host's floating-point state is restored exactly. */
void LUMBRIK_CALL pause(double zehntelsekunden);
/* 12: accepted and ignored. */
void LUMBRIK_CALL lpt(int32_t wert);
/* 13: sets the power level (1 to 7) for outputs and motors; others ignored. */
void LUMBRIK_CALL t_proz1(int32_t stufe);
/* 14: voltage 1 or 2; any other number gives 0. */
int32_t LUMBRIK_CALL t_funk1(int32_t nummer);

#ifdef __cplusplus
}
#endif

#endif /* _WIN32 */

#endif
