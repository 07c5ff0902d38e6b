/* A host in plain C that links lumbrik.dll through lumbrik.h and the import
 * library, as a host author would, and checks a few calls against the
 * simulated box. Exit code 0 when all is well. */
#include "include/lumbrik.h"
#include "simulator/sim_steuerung.h"

#include <stdio.h>
#include <windows.h>

static int fehler = 0;

static void pruefen(int gut, const char *was) {
  printf("%s: %s\n", gut ? "ok" : "FALSCH", was);
  if (!gut)
    fehler = 1;
}

int main(void) {
  HMODULE box = GetModuleHandleA("umFish40.DLL");
  typedef int32_t(SIM_CALL * eintrag_t)(uint32_t, struct sim_aufruf *);
  eintrag_t eintrag = (eintrag_t)GetProcAddress(box, "sim_protokoll_eintrag");
  struct sim_aufruf a;

  if (eintrag == NULL) {
    puts("umFish40.DLL ohne Steuerung");
    return 2;
  }

  t_proz1(3);
  /* A string constant: read-only memory, which the DLL only reads. */
  einschalten((intptr_t) "[2 5]");
  motor(1, -1);
  pruefen(eintrag(0, &a) && a.funktion == sim_rbSetLampEx && a.argumente[1] == 2 &&
              a.argumente[2] == 1 && a.argumente[3] == 3,
          "einschalten [2 5] schaltet zuerst Ausgang 2 mit Stufe 3");
  pruefen(eintrag(1, &a) && a.argumente[1] == 5, "dann Ausgang 5");
  pruefen(eintrag(2, &a) && a.funktion == sim_rbSetMotorEx && a.argumente[2] == -1, "motor 1 -1");
  pruefen(ausgangzustand() == -1, "ausgangzustand vor dem Oeffnen: Fehler der Box");
  pruefen(t_funk1(3) == 0, "t_funk1 3 ist 0");
  pruefen(schalter(1) == 0, "schalter 1 ist falsch");
  pause(0);
  lpt(0);
  pruefen(gib_fehler() == 0, "gib_fehler ist falsch");
  return fehler;
}
