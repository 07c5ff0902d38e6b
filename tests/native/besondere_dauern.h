// Durations of every kind a host may pass to pause: not a number, infinities,
// zeros, subnormals, limits where rounding decides, the largest doubles.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>

constexpr double aus_bits(uint64_t bits) {
  return std::bit_cast<double>(bits);
}

inline const double besondere_dauern[] = {
    std::numeric_limits<double>::quiet_NaN(),
    -std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::signaling_NaN(),
    aus_bits(0xFFF0000000000001u), // signalling, negative
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    0.0,
    -0.0,
    std::numeric_limits<double>::denorm_min(),
    -std::numeric_limits<double>::denorm_min(),
    aus_bits(0x000FFFFFFFFFFFFFu), // largest subnormal
    std::numeric_limits<double>::min(),
    1e-300,
    0.001,
    0.1,
    0.29,
    0x1.d70a3d70a3d70p-3, // times 100 lies exactly halfway below 23: rounds to even, 23
    0.5,
    1,
    10,
    42949672.94,
    42949672.95,
    1e307,
    std::numeric_limits<double>::max(),
    -std::numeric_limits<double>::max(),
};
