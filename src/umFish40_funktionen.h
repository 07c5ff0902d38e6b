/*
 * The eight functions of the vendor library umFish40.DLL that lumbrik calls,
 * written out once, in the order the simulator numbers them in its call log.
 * Every argument and result is a 32-bit integer; the handle comes first.
 *
 *   X(name, result, (parameters), (arguments), argument bytes)
 *
 * One entry per line: cmake/listen.cmake reads name and bytes from it. Plain
 * C, so that C hosts of the simulator can include it too.
 */
#ifndef UMFISH40_FUNKTIONEN_H
#define UMFISH40_FUNKTIONEN_H

/* clang-format off */
#define UMFISH40_FUNKTIONEN(X) \
  X(rbOpenInterfaceUSB, uint32_t, (int32_t a, int32_t b), (a, b), 8) \
  X(rbSetLampEx, int32_t, (uint32_t handle, int32_t ausgang, int32_t an, int32_t stufe), (handle, ausgang, an, stufe), 16) \
  X(rbSetMotors, int32_t, (uint32_t handle, int32_t maske), (handle, maske), 8) \
  X(rbSetMotorEx, int32_t, (uint32_t handle, int32_t motor, int32_t wert, int32_t stufe), (handle, motor, wert, stufe), 16) \
  X(rbGetMotors, int32_t, (uint32_t handle), (handle), 4) \
  X(rbGetInput, int32_t, (uint32_t handle, int32_t eingang), (handle, eingang), 8) \
  X(rbGetAnalog, int32_t, (uint32_t handle, int32_t eingang), (handle, eingang), 8) \
  X(rbGetVoltage, int32_t, (uint32_t handle, int32_t nummer), (handle, nummer), 8)
/* clang-format on */

#endif
