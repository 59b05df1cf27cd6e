// A 32-bit float taken apart without library calls, for the compiled sampling path.
#pragma once

#include <cstdint>

#include "evaluator/BitCast.h"

namespace funzioni::detail {

// |value| = mantissa * 2^exponent exactly (finite values).
struct FloatParts {
  std::uint64_t mantissa = 0;
  int exponent = 0;
};

inline FloatParts PartsOf(float value) {
  const std::uint32_t bits = BitCast<std::uint32_t>(value) & 0x7FFFFFFFu;
  const auto field = static_cast<int>(bits >> 23);
  if (field == 0) return {bits, -149};
  return {(bits & 0x7FFFFFu) | 0x800000u, field - 150};
}

// The spacing of floats on the side of `f` (finite, not negative) where `toward` lies.
inline float SpacingToward(float f, bool below) {
  const std::uint32_t bits = BitCast<std::uint32_t>(f);
  std::uint32_t field = bits >> 23;
  // Just below a power of two the floats lie twice as close.
  if (below && (bits & 0x7FFFFFu) == 0 && field > 1) --field;
  if (field > 23) return BitCast<float>((field - 23) << 23);
  return BitCast<float>(std::uint32_t{1} << (field == 0 ? 0 : field - 1));
}

// floor(log10(2^n)) for |n| < 2000, by a multiplication and a shift.
inline int FloorLog10OfPowerOfTwo(int n) {
  return (n * 78913) >> 18;
}

}  // namespace funzioni::detail
