// The vendor library of the interface box, as lumbrik calls it.
//
// Eight functions, imported by name from umFish40.DLL, stdcall, every argument
// and result a 32-bit integer. The handle is always the first argument.
#pragma once

#include "plattform.h"

#include <cstdint>

// What rbOpenInterfaceUSB returns when no interface could be opened.
constexpr uint32_t oeffnen_fehlgeschlagen = 0xE0000001u;

extern "C" {
uint32_t WINAPI rbOpenInterfaceUSB(int32_t a, int32_t b);
int32_t WINAPI rbSetLampEx(uint32_t handle, int32_t ausgang, int32_t an, int32_t stufe);
int32_t WINAPI rbSetMotors(uint32_t handle, int32_t maske);
int32_t WINAPI rbSetMotorEx(uint32_t handle, int32_t motor, int32_t wert, int32_t stufe);
int32_t WINAPI rbGetMotors(uint32_t handle);
int32_t WINAPI rbGetInput(uint32_t handle, int32_t eingang);
int32_t WINAPI rbGetAnalog(uint32_t handle, int32_t eingang);
int32_t WINAPI rbGetVoltage(uint32_t handle, int32_t nummer);
}
