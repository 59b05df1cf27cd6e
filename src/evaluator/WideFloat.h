// A binary float with a 192-bit mantissa and a wide exponent, the working precision of the
// software elementary functions. Its operations truncate (each loses at most a couple of units
// in the 192nd bit), so a chain of a few dozen of them keeps well over 180 good bits; the result
// is then rounded once to the 64-bit mantissa by RoundToFloat80.
#pragma once

#include <array>
#include <cstdint>

#include "evaluator/Float80.h"

namespace funzioni::soft {

struct WideFloat {
  bool negative = false;
  // The value is M * 2^(exponent - 191), M the 192-bit integer m[0]:m[1]:m[2] (most significant
  // word first) with bit 191 set; zero when m[0] is 0 (exponent then unused, the sign kept).
  std::int64_t exponent = 0;
  std::array<std::uint64_t, 3> m{};
};

struct Product128 {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
};

inline Product128 MultiplyWords(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
  __extension__ using Unsigned128 = unsigned __int128;
  const Unsigned128 product = static_cast<Unsigned128>(a) * b;
  return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
  const std::uint64_t aLow = a & 0xFFFFFFFFu;
  const std::uint64_t aHigh = a >> 32;
  const std::uint64_t bLow = b & 0xFFFFFFFFu;
  const std::uint64_t bHigh = b >> 32;
  const std::uint64_t lowLow = aLow * bLow;
  const std::uint64_t highLow = aHigh * bLow;
  const std::uint64_t lowHigh = aLow * bHigh;
  const std::uint64_t highHigh = aHigh * bHigh;
  const std::uint64_t middle = (lowLow >> 32) + (highLow & 0xFFFFFFFFu) + (lowHigh & 0xFFFFFFFFu);
  return {highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32),
          (middle << 32) | (lowLow & 0xFFFFFFFFu)};
#endif
}

inline bool IsZero(const WideFloat& a) {
  return a.m[0] == 0;
}
inline WideFloat Negated(WideFloat a) {
  a.negative = !a.negative;
  return a;
}
inline WideFloat Scaled(WideFloat a, std::int64_t powerOfTwo) {
  a.exponent += powerOfTwo;
  return a;
}

// Exact for every finite value (subnormals included); not for NaN or infinity.
WideFloat WideFromFloat80(Float80 a);
WideFloat WideFromInteger(std::int64_t value);

WideFloat WideAdd(const WideFloat& a, const WideFloat& b);
WideFloat WideSubtract(const WideFloat& a, const WideFloat& b);
WideFloat WideMultiply(const WideFloat& a, const WideFloat& b);
// Newton's iterations from a double seed; exact for powers of two. Not for zero.
WideFloat WideReciprocal(const WideFloat& a);
WideFloat WideDivide(const WideFloat& a, const WideFloat& b);
// Of |a|.
WideFloat WideSquareRoot(const WideFloat& a);
// Compares magnitudes: negative, zero or positive as |a| <, ==, > |b|.
int CompareMagnitudes(const WideFloat& a, const WideFloat& b);
// An approximation (about 53 bits) of a * 2^-powerOfTwo, for choosing table rows and seeds; the
// caller keeps the result within double range.
double ApproximateScaled(const WideFloat& a, std::int64_t powerOfTwo);

// Rounded once to the 64-bit mantissa, to nearest with ties to even: gradual underflow through
// the subnormals to a signed zero, overflow to a signed infinity.
Float80 RoundToFloat80(const WideFloat& a);

// The x87's default NaN, and a NaN operand passed on quieted.
inline constexpr Float80 kDefaultNan{0xC000000000000000ULL, 0xFFFF};
inline Float80 Quieted(Float80 nan) {
  nan.mantissa |= 0xC000000000000000ULL;
  return nan;
}
inline constexpr Float80 kPositiveInfinity{0x8000000000000000ULL, 0x7FFF};
inline constexpr Float80 kOne{0x8000000000000000ULL, 0x3FFF};

}  // namespace funzioni::soft
