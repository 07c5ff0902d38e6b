// An umFish40.DLL with the eight vendor functions and nothing else, as the
// real library has: the console must tell that its simulator commands and
// --zustand are not available, and run lumbrik's commands all the same.
#include "src/umFish40.h"

extern "C" {

uint32_t WINAPI rbOpenInterfaceUSB(int32_t, int32_t) {
  return 1;
}
int32_t WINAPI rbSetLampEx(uint32_t, int32_t, int32_t, int32_t) {
  return 0;
}
int32_t WINAPI rbSetMotors(uint32_t, int32_t) {
  return 0;
}
int32_t WINAPI rbSetMotorEx(uint32_t, int32_t, int32_t, int32_t) {
  return 0;
}
int32_t WINAPI rbGetMotors(uint32_t) {
  return 42;
}
int32_t WINAPI rbGetInput(uint32_t, int32_t) {
  return 0;
}
int32_t WINAPI rbGetAnalog(uint32_t, int32_t eingang) {
  return 100 + eingang;
}
int32_t WINAPI rbGetVoltage(uint32_t, int32_t) {
  return 0;
}
}
