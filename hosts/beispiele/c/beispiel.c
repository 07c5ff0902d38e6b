/* lumbrik.dll from C or C++, linked through lumbrik.h and the import library
 * (MinGW: liblumbrik.dll.a, Microsoft: lumbrik.lib). The same program
 * builds as a 32-bit one with the package's lumbrik.dll and as a 64-bit one
 * with win64\lumbrik.dll and its import library. */
#include "lumbrik.h"

#include <stdio.h>

int main(void) {
  /* Opens the interface and shows the start-up box until OK is pressed. */
  vorbereitung(0);

  t_proz1(7);
  /* A list is the address of a zero-terminated text; a number goes as it is. */
  einschalten((intptr_t) "[1 3]");
  printf("ausgangzustand: %ld\n", (long)ausgangzustand());
  /* The truth value is one byte: unsigned char, not a 4-byte BOOL. */
  printf("schalter 2: %s\n", schalter(2) ? "an" : "aus");
  printf("sensor 1: %ld\n", (long)sensor(1));

  /* One second; Escape in a window of this thread cuts it short. */
  pause(10.0);
  printf("pause abgebrochen: %s\n", gib_fehler() ? "ja" : "nein");

  ausschalten((intptr_t) "[1 3]");
  allesaus();
  return 0;
}
