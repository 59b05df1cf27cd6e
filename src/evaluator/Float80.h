// The bits of an extended-precision number, laid out as the x87 stores one in memory, so that the
// software arithmetic and the hardware format can be compared bit for bit.
#pragma once

#include <cstdint>

namespace funzioni::soft {

struct Float80 {
  // The significand with its integer bit explicit (bit 63 set for every normal number; clear for
  // zeros and subnormals, whose exponent field is 0).
  std::uint64_t mantissa = 0;
  // Bit 15 the sign; bits 0..14 the exponent biased by 16383. 0x7FFF: infinity (mantissa
  // 0x8000000000000000) or NaN (any other mantissa with bit 63 set).
  std::uint16_t signExponent = 0;

  friend bool operator==(const Float80&, const Float80&) = default;
};

inline constexpr int kFloat80Bias = 16383;
inline constexpr std::uint16_t kFloat80ExponentMask = 0x7FFF;
inline constexpr std::uint16_t kFloat80SignBit = 0x8000;

}  // namespace funzioni::soft
