// A stand-in vendor library of the tests' own: each result mixes every
// argument with a mark of its function, so a wrong, lost or swapped argument
// shows, and it answers what the simulator never does (a negative handle,
// numbers near the limits). Built without rbGetVoltage (OHNE_SPANNUNG) it
// is a vendor library that lacks one of the eight.
#include "src/umFish40.h"

#include <initializer_list>

namespace {

int32_t mischen(uint32_t marke, uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0) {
  uint32_t h = marke;
  for (uint32_t x : {a, b, c, d})
    h = (h ^ x) * 16777619u;
  return static_cast<int32_t>(h);
}

} // namespace

extern "C" {

// A handle with its top bit set: negative as a signed number.
uint32_t WINAPI rbOpenInterfaceUSB(int32_t a, int32_t b) {
  return 0x80000000u |
         static_cast<uint32_t>(mischen(1, static_cast<uint32_t>(a), static_cast<uint32_t>(b)));
}

int32_t WINAPI rbSetLampEx(uint32_t handle, int32_t ausgang, int32_t an, int32_t stufe) {
  return mischen(2, handle, static_cast<uint32_t>(ausgang), static_cast<uint32_t>(an),
                 static_cast<uint32_t>(stufe));
}

int32_t WINAPI rbSetMotors(uint32_t handle, int32_t maske) {
  return mischen(3, handle, static_cast<uint32_t>(maske));
}

int32_t WINAPI rbSetMotorEx(uint32_t handle, int32_t motor, int32_t wert, int32_t stufe) {
  return mischen(4, handle, static_cast<uint32_t>(motor), static_cast<uint32_t>(wert),
                 static_cast<uint32_t>(stufe));
}

int32_t WINAPI rbGetMotors(uint32_t handle) {
  return mischen(5, handle);
}

int32_t WINAPI rbGetInput(uint32_t handle, int32_t eingang) {
  return mischen(6, handle, static_cast<uint32_t>(eingang));
}

int32_t WINAPI rbGetAnalog(uint32_t handle, int32_t eingang) {
  return mischen(7, handle, static_cast<uint32_t>(eingang));
}

#ifndef OHNE_SPANNUNG
int32_t WINAPI rbGetVoltage(uint32_t handle, int32_t nummer) {
  return mischen(8, handle, static_cast<uint32_t>(nummer));
}
#endif
}
