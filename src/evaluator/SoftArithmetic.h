// The basic operations of the software extended arithmetic: a 64-bit mantissa and a 15-bit
// exponent, as the x87 keeps them, every result rounded once to nearest with ties to even
// (subnormals included, no flush to zero). NaN results are the x87's default NaN (sign set,
// mantissa 0xC000000000000000) unless a NaN operand is passed on (quieted).
#pragma once

#include <cstdint>
#include <string_view>

#include "evaluator/Float80.h"

namespace funzioni::soft {

Float80 Add(Float80 a, Float80 b);
Float80 Subtract(Float80 a, Float80 b);
Float80 Multiply(Float80 a, Float80 b);
Float80 Divide(Float80 a, Float80 b);
Float80 SquareRoot(Float80 a);
// The remainder a - n*b with n = trunc(a/b), exact, as C's fmod.
Float80 Remainder(Float80 a, Float80 b);

enum class Ordering { kLess, kEqual, kGreater, kUnordered };
// -0 and +0 are equal; any NaN is unordered.
Ordering Compare(Float80 a, Float80 b);

enum class Rounding { kNearestEven, kTowardZero, kDown, kUp, kNearestAway };
// The nearest integral value in the given direction (C's nearbyint, trunc, floor, ceil, round).
Float80 RoundToIntegral(Float80 a, Rounding rounding);

Float80 FromInt64(std::int64_t value);
Float80 FromUint64(std::uint64_t value);
Float80 FromDouble(double value);  // exact
Float80 FromFloat(float value);    // exact
// Rounded once, to nearest with ties to even, with the C conversions' overflow to infinity.
double ToDouble(Float80 a);
float ToFloat(Float80 a);
// Truncated toward zero; out of range or NaN gives INT64_MIN, as the x87's integer store does.
std::int64_t ToInt64(Float80 a);
// Truncated toward zero; a value out of range or NaN gives 0x8000000000000000 (as C's cast on
// x86-64 does for the values the program converts: 0 <= a < 2^64).
std::uint64_t ToUint64(Float80 a);

// a * 2^exponent, rounded once (C's ldexp / scalbn).
Float80 Scale(Float80 a, int exponent);

// The value of a decimal number: `digits` are the decimal digits (at least one, no sign, no
// point) and the number is digits * 10^exponent, rounded once to nearest with ties to even, as
// strtold does (overflow to infinity, underflow through the subnormals to zero).
Float80 FromDecimal(std::string_view digits, std::int64_t exponent, bool negative);

inline bool IsNan(Float80 a) {
  return (a.signExponent & kFloat80ExponentMask) == kFloat80ExponentMask &&
         (a.mantissa << 1) != 0;
}
inline bool IsInf(Float80 a) {
  return (a.signExponent & kFloat80ExponentMask) == kFloat80ExponentMask &&
         (a.mantissa << 1) == 0;
}
inline bool IsNegative(Float80 a) {
  return (a.signExponent & kFloat80SignBit) != 0;
}
inline Float80 Negate(Float80 a) {
  return {a.mantissa, static_cast<std::uint16_t>(a.signExponent ^ kFloat80SignBit)};
}
inline Float80 Absolute(Float80 a) {
  return {a.mantissa, static_cast<std::uint16_t>(a.signExponent & kFloat80ExponentMask)};
}

}  // namespace funzioni::soft
