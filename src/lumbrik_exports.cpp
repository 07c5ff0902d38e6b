// The exported functions of lumbrik.dll: stdcall, named by lumbrik.def.
// Built for Windows only, where no C library function stands in their way.
#include "include/lumbrik.h"

#include "lumbrik.h"

extern "C" {

unsigned char LUMBRIK_CALL gib_fehler(void) {
  return lumbrik::gib_fehler();
}
void LUMBRIK_CALL vorbereitung(int32_t wert) {
  lumbrik::vorbereitung(wert);
}
void LUMBRIK_CALL einschalten(intptr_t ausgaenge) {
  lumbrik::einschalten(ausgaenge);
}
void LUMBRIK_CALL ausschalten(intptr_t ausgaenge) {
  lumbrik::ausschalten(ausgaenge);
}
void LUMBRIK_CALL allesaus(void) {
  lumbrik::allesaus();
}
void LUMBRIK_CALL motor(int32_t nummer, int32_t wert) {
  lumbrik::motor(nummer, wert);
}
int32_t LUMBRIK_CALL ausgangzustand(void) {
  return lumbrik::ausgangzustand();
}
unsigned char LUMBRIK_CALL schalter(intptr_t eingaenge) {
  return lumbrik::schalter(eingaenge);
}
int32_t LUMBRIK_CALL sensor(int32_t eingang) {
  return lumbrik::sensor(eingang);
}
int32_t LUMBRIK_CALL poti(int32_t eingang) {
  return lumbrik::poti(eingang);
}
void LUMBRIK_CALL pause(double zehntelsekunden) {
  lumbrik::pause(zehntelsekunden);
}
void LUMBRIK_CALL lpt(int32_t wert) {
  lumbrik::lpt(wert);
}
void LUMBRIK_CALL t_proz1(int32_t stufe) {
  lumbrik::t_proz1(stufe);
}
int32_t LUMBRIK_CALL t_funk1(int32_t nummer) {
  return lumbrik::t_funk1(nummer);
}
}
