/* The learners' programs of the class check's test, one per -DFALL_...: each
 * drives the model "schranke" (or fails to) as a learner's program might. */
#include "lumbrik.h"

#include <windows.h>

int main(void) {
#ifndef FALL_NIE
  vorbereitung(0);
#endif
#if defined(FALL_RICHTIG) || defined(FALL_ABWEICHUNG)
  /* The model's sample: up, wait for the car, down, never into a stop. */
  schalter(1);
  pause(12);
  schalter(3);
#ifndef FALL_ABWEICHUNG
  einschalten(3); /* the warning lamp; the reference run has it */
#endif
  t_proz1(4);
  motor(1, 1);
  pause(27);
  motor(1, 0);
  schalter(2);
  pause(10);
  motor(1, -1);
  pause(25);
  motor(1, 0);
  schalter(1);
  ausschalten(3);
#elif defined(FALL_ANSCHLAG)
  /* Up for far too long: the barrier hits its upper stop. */
  schalter(1);
  einschalten(3);
  motor(1, 1);
  pause(40);
  motor(1, 0);
#elif defined(FALL_ABSTURZ)
  schalter(1);
  *(volatile int *)0 = 1;
#elif defined(FALL_HAENGT)
  schalter(1);
  for (;;)
    Sleep(100);
#endif
  return 0;
}
