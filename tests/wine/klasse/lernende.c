/* The learners' programs of the class check's test, one per -DFALL_...: each
 * drives the model "schranke" (or fails to) as a learner's program might. */
#include "lumbrik.h"

#include <windows.h>

#if defined(FALL_RICHTIG) || defined(FALL_ABWEICHUNG) || defined(FALL_KNOPF)
/* The model's sample: up, wait for the car, down, never into a stop. */
static void schranke(void) {
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
}
#endif

#ifdef FALL_DLL
/* From a DLL of the learner's own that is not in the submission. */
__declspec(dllimport) void hilfe(void);
#endif

#ifdef FALL_KNOPF
/* A window that waits for its Start button, as a learner's form would. */
static LRESULT CALLBACK fenster(HWND f, UINT nachricht, WPARAM w, LPARAM l) {
  if (nachricht == WM_COMMAND && LOWORD(w) == 1) {
    vorbereitung(0);
    schranke();
    DestroyWindow(f);
    return 0;
  }
  if (nachricht == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(f, nachricht, w, l);
}
#endif

int main(void) {
#ifdef FALL_KNOPF
  WNDCLASSA k = {0};
  k.lpfnWndProc = fenster;
  k.hInstance = GetModuleHandleA(NULL);
  k.lpszClassName = "schranke";
  RegisterClassA(&k);
  HWND f = CreateWindowA("schranke", "Schranke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                         NULL, NULL, k.hInstance, NULL);
  CreateWindowA("BUTTON", "&Start", WS_CHILD | WS_VISIBLE, 10, 10, 100, 30, f, (HMENU)1,
                k.hInstance, NULL);
  MSG m;
  while (GetMessageA(&m, NULL, 0, 0) > 0)
    DispatchMessageA(&m);
  return 0;
#endif
#ifdef FALL_DLL
  hilfe();
#endif
#ifndef FALL_NIE
  vorbereitung(0);
#endif
#if defined(FALL_RICHTIG) || defined(FALL_ABWEICHUNG)
  schranke();
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
