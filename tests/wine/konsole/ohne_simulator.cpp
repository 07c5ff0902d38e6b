// An umFish40.DLL with the eight vendor functions and nothing else, as the
// real library has: the console must tell that its simulator commands and
// --zustand are not available, and run lumbrik's commands all the same.
#include "src/umFish40.h"

namespace {

// Every call answers 100 plus the sum of its arguments, so the console's
// output shows that the call and its arguments came through.
template <class... T> int32_t antwort(T... werte) {
  return (100 + ... + static_cast<int32_t>(werte));
}

} // namespace

extern "C" {
#define STELLVERTRETER(name, ergebnis, parameter, argumente, bytes)                                \
  ergebnis WINAPI name parameter {                                                                 \
    return static_cast<ergebnis>(antwort argumente);                                               \
  }
UMFISH40_FUNKTIONEN(STELLVERTRETER)
#undef STELLVERTRETER
}
