#include "src/wartezeit.h"

#include <cstring>

namespace {

constexpr uint64_t bruch_bits = (uint64_t{1} << 52) - 1;
constexpr uint64_t verborgenes_bit = uint64_t{1} << 52;
constexpr int exponent_null = 1075; // bias plus the 52 fraction bits
constexpr uint64_t zaehler_ende = 0xFFFFFFFFu;

int bitlaenge(uint64_t x) {
  int n = 0;
  for (; x != 0; x >>= 1)
    ++n;
  return n;
}

} // namespace

wartezeit wartezeit_aus(double zehntelsekunden) {
  uint64_t bits = 0;
  std::memcpy(&bits, &zehntelsekunden, sizeof bits);
  const bool negativ = (bits >> 63) != 0;
  const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  const uint64_t bruch = bits & bruch_bits;

  if (exponent == 0x7FF) // infinity or not a number
    return bruch == 0 && !negativ ? wartezeit{wartezeit::endlos, 0}
                                  : wartezeit{wartezeit::keine, 0};
  if (negativ || (exponent == 0 && bruch == 0))
    return {wartezeit::keine, 0};

  // The value is m * 2^e exactly; the limit in milliseconds is 100 * m * 2^e
  // rounded to 53 significant bits, ties to even, as the multiplication would.
  const uint64_t m = exponent == 0 ? bruch : (bruch | verborgenes_bit);
  int e = (exponent == 0 ? 1 : exponent) - exponent_null;
  uint64_t p = 100 * m; // below 2^60
  const int ueberschuss = bitlaenge(p) - 53;
  if (ueberschuss > 0) {
    const uint64_t rest = p & ((uint64_t{1} << ueberschuss) - 1);
    const uint64_t halb = uint64_t{1} << (ueberschuss - 1);
    p >>= ueberschuss;
    e += ueberschuss;
    if (rest > halb || (rest == halb && (p & 1) != 0))
      ++p; // a carry to 2^53 is still exact
  }
  // (Results below the smallest normal double would round more coarsely,
  // but they lie far below one millisecond, where only the floor counts.)

  // The whole milliseconds of the limit; the pause ends once the elapsed time
  // exceeds the limit, that is at its floor plus one.
  // With e >= 0 the limit is at least 2^52 (p has its full 53 bits then).
  uint64_t ganz = zaehler_ende;
  if (e < 0)
    ganz = e > -64 ? p >> -e : 0;
  if (ganz >= zaehler_ende)
    return {wartezeit::endlos, 0};
  return {wartezeit::begrenzt, static_cast<uint32_t>(ganz + 1)};
}
