// escape_nach: Escape "pressed" later, for a script. lumbrik's pause watches
// the calling thread's message queue for key-downs, so a key-down with
// VK_ESCAPE posted there is what a real key press would be.
#pragma once

#include <cstdint>

// After `zehntel` tenths of a second, posts WM_KEYDOWN (VK_ESCAPE) to the
// thread `ziel`, which must have a message queue by then.
void escape_senden_nach(int32_t zehntel, unsigned long ziel);
