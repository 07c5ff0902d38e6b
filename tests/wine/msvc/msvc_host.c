/* A host built for the Microsoft ABI (clang for i686-pc-windows-msvc, linked
 * by lld-link against lumbrik.lib) without any C runtime: it declares the
 * few kernel32 functions it needs and has its own entry point. It checks a
 * few calls against the simulated box; exit code 0 when all is well. */
#include "include/lumbrik.h"
#include "simulator/sim_steuerung.h"

#define WINAPI __stdcall
#define IMPORT __declspec(dllimport)
typedef void *HANDLE;

IMPORT void WINAPI ExitProcess(unsigned int code);
IMPORT HANDLE WINAPI GetModuleHandleA(const char *name);
IMPORT void *WINAPI GetProcAddress(HANDLE modul, const char *name);
IMPORT HANDLE WINAPI GetStdHandle(unsigned long welches);
IMPORT int WINAPI WriteFile(HANDLE datei, const void *daten, unsigned long laenge,
                            unsigned long *geschrieben, void *overlapped);

/* The compiler refers to this symbol whenever floating point is used (pause's
 * argument); the C runtime would define it. */
int _fltused;

static int fehler;

static void schreiben(const char *text) {
  unsigned long laenge = 0, geschrieben = 0;
  while (text[laenge] != '\0')
    ++laenge;
  WriteFile(GetStdHandle((unsigned long)-11), text, laenge, &geschrieben, 0);
}

static void pruefen(int gut, const char *was) {
  schreiben(gut ? "ok: " : "FALSCH: ");
  schreiben(was);
  schreiben("\n");
  if (!gut)
    fehler = 1;
}

static int gleich(const char *a, const char *b) {
  while (*a != '\0' && *a == *b)
    ++a, ++b;
  return *a == *b;
}

void einstieg(void) {
  typedef int32_t(SIM_CALL * eintrag_t)(uint32_t, struct sim_aufruf *);
  eintrag_t eintrag =
      (eintrag_t)GetProcAddress(GetModuleHandleA("umFish40.DLL"), "sim_protokoll_eintrag");
  struct sim_aufruf a;
  /* Writable memory: the DLL must leave the text as it was. */
  char liste[] = "[2 5]";
  /* Linked but not called: its start-up box would wait for a click. */
  void(LUMBRIK_CALL *volatile oeffnen)(int32_t) = vorbereitung;

  if (eintrag == 0) {
    schreiben("umFish40.DLL ohne Steuerung\n");
    ExitProcess(2);
  }
  t_proz1(3);
  einschalten((intptr_t)liste);
  motor(1, -1);
  pruefen(eintrag(0, &a) && a.funktion == sim_rbSetLampEx && a.argumente[1] == 2 &&
              a.argumente[2] == 1 && a.argumente[3] == 3,
          "einschalten [2 5] schaltet zuerst Ausgang 2 mit Stufe 3");
  pruefen(eintrag(1, &a) && a.argumente[1] == 5, "dann Ausgang 5");
  pruefen(eintrag(2, &a) && a.funktion == sim_rbSetMotorEx && a.argumente[1] == 1 &&
              a.argumente[2] == -1,
          "motor 1 -1");
  pruefen(ausgangzustand() == -1, "ausgangzustand vor dem Oeffnen: Fehler der Box");
  pruefen(t_funk1(3) == 0, "t_funk1 3 ist 0");
  pruefen(schalter(1) == 0, "schalter 1 ist falsch");
  pruefen(sensor(1) == -1 && poti(2) == -1, "sensor und poti vor dem Oeffnen: Fehler der Box");
  ausschalten((intptr_t)liste);
  allesaus();
  pruefen(gleich(liste, "[2 5]"), "der Text der Liste ist unveraendert");
  pause(0.0);
  lpt(0);
  pruefen(gib_fehler() == 0, "gib_fehler ist falsch");
  pruefen(oeffnen != 0, "vorbereitung ist gebunden");
  ExitProcess(fehler != 0 ? 1u : 0u);
}
