// A pause's limit worked out from the duration's bits (src/wartezeit),
// against the plain floating-point reading of the duration.
#include "tests/native/besondere_dauern.h"
#include "src/wartezeit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// The limit as the plain floating-point reading of it gives: the pause ends
// once the elapsed milliseconds exceed duration * 100.
wartezeit wie_gerechnet(double dauer) {
  if (!(dauer > 0))
    return {wartezeit::keine, 0};
  const double grenze = dauer * 100;
  if (grenze >= 4294967295.0)
    return {wartezeit::endlos, 0};
  return {wartezeit::begrenzt, static_cast<uint32_t>(std::floor(grenze)) + 1};
}

TEST(wartezeit, gleicht_der_rechnung_mit_gleitkomma) {
  std::vector<double> dauern(std::begin(besondere_dauern), std::end(besondere_dauern));
  // Values around every whole millisecond limit where rounding decides.
  for (double ms : {1.0, 29.0, 100.0, 4294967294.0, 4294967295.0}) {
    double d = ms / 100;
    for (int i = 0; i < 8; ++i)
      d = std::nextafter(d, 0.0);
    for (int i = 0; i < 16; ++i, d = std::nextafter(d, 1e9))
      dauern.push_back(d);
  }
  std::mt19937_64 zufall(4711);
  for (int i = 0; i < 200000; ++i) {
    dauern.push_back(aus_bits(zufall()));
    // Durations a host would use: up to a few days, with odd fractions.
    dauern.push_back(
        std::ldexp(static_cast<double>(zufall() >> 11), -static_cast<int>(zufall() % 64)));
  }
  for (double d : dauern) {
    const wartezeit soll = wie_gerechnet(d);
    const wartezeit ist = wartezeit_aus(d);
    ASSERT_EQ(ist.art, soll.art) << std::hexfloat << d;
    ASSERT_EQ(ist.schwelle, soll.schwelle) << std::hexfloat << d;
  }
}

} // namespace
