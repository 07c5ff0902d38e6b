/* Runs the C example with input 2 of the simulated box pressed. */
#include <windows.h>

#define main beispiel_main
#include "hosts/beispiele/c/beispiel.c" /* NOLINT(bugprone-suspicious-include): the example as shown */
#undef main

int main(void) {
  typedef int32_t(__stdcall * setzen_t)(int32_t, int32_t);
  setzen_t setzen =
      (setzen_t)GetProcAddress(GetModuleHandleA("umFish40.DLL"), "sim_eingang_setzen");
  if (setzen == NULL || setzen(2, 1) != 1) {
    puts("umFish40.DLL ohne Steuerung");
    return 2;
  }
  return beispiel_main();
}
