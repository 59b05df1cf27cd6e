// The arithmetic of the language's operators, one definition for the text engine's stages and
// for a compiled plan: each operation's checks, its message and its value. Operands are the
// 32-bit values the engine reads out of its text; a checked result is either a value or the
// message that ends the evaluation.
#pragma once

#include <cmath>
#include <limits>

#include "evaluator/Extended.h"
#include "evaluator/Functions.h"

namespace funzioni::detail {

namespace message {
inline constexpr const char* kProductOverflow =
    "Arguments too large for multiplication. Will give overflow";
inline constexpr const char* kDivisionByZero = "Division by zero";
inline constexpr const char* kIntegerDivisionByZero = "Integer Division by zero";
inline constexpr const char* kPowerOverflow =
    "Arguments too large for exponentiation. Will give overflow.";
inline constexpr const char* kNegativeRoot =
    "Exponentiation problem: Negative root is not allowed with a non-integer exponent.";
}  // namespace message

// A result rounded to 32 bits, or the message that refuses the operands.
struct Checked {
  float value = 0;
  const char* error = nullptr;
};

// "*": the product of two floats is exact in double (48 bits), so it rounds once to 32 bits as
// the extended product does. LN of a finite 32-bit value is below 89: only an infinite operand
// passes the overflow limit.
inline Checked Product(float a, float b) {
  if ((std::isinf(a) || std::isinf(b)) &&
      Ln(static_cast<Extended>(std::fabs(a))) + Ln(static_cast<Extended>(std::fabs(b))) >
          kOverflowLimit) {
    return {0, message::kProductOverflow};
  }
  return {static_cast<float>(static_cast<double>(a) * static_cast<double>(b))};
}

// "/", in extended.
inline Checked Quotient(float a, float b) {
  if (b == 0) return {0, message::kDivisionByZero};
  return {static_cast<float>(static_cast<Extended>(a) / static_cast<Extended>(b))};
}

// "\": both operands are rounded to whole numbers, ties to even; a divisor that rounds to 0 is
// refused like 0 itself rather than giving an infinite quotient.
inline Checked IntegerQuotient(float a, float b) {
  const Extended dividend = ext::Nearbyint(static_cast<Extended>(a));
  const Extended divisor = ext::Nearbyint(static_cast<Extended>(b));
  if (b == 0 || divisor == 0) return {0, message::kIntegerDivisionByZero};
  return {static_cast<float>(ext::Trunc(dividend / divisor))};
}

// MOD: the remainder of the operands rounded to whole numbers, with the sign of the dividend.
// Whole numbers of 32-bit values and their remainder are exact in double as in extended, and
// the remainder of two floats is a float.
inline Checked Remainder(float a, float b) {
  const double dividend = std::nearbyint(static_cast<double>(a));
  const double divisor = std::nearbyint(static_cast<double>(b));
  if (divisor == 0) return {0, message::kIntegerDivisionByZero};
  return {static_cast<float>(std::fmod(dividend, divisor))};
}

// "+" (and "-" with the second operand negated): the sum rounded to 32 bits as from its extended
// value. In double when the double sum is exact (then both are the exact sum rounded once), in
// extended otherwise.
inline float SumOf(float a, float b) {
  const double sum = static_cast<double>(a) + b;
  const double big = std::fabs(a) >= std::fabs(b) ? a : b;
  const double small = std::fabs(a) >= std::fabs(b) ? b : a;
  if (small - (sum - big) == 0) return static_cast<float>(sum);
  return static_cast<float>(static_cast<Extended>(a) + static_cast<Extended>(b));
}

// "^": the refusals, before any value is worked out. For a finite base LN(base) is below 89, so
// only a large exponent or an infinite base can pass the limit; LN is worked out only then.
// Real is float or double (the plan holds its operands in double): the checks of a 32-bit value
// come out the same in either.
template <class Real>
inline const char* PowerRefusal(Real base, Real exponent) {
  const bool mayOverflow = std::isinf(base) || std::fabs(exponent) > 100;
  if (base > 1 && mayOverflow &&
      ext::Fabs(Ln(static_cast<Extended>(base)) * static_cast<Extended>(exponent)) >
          kOverflowLimit) {
    return message::kPowerOverflow;
  }
  if (base < 0 && std::trunc(exponent) != exponent) return message::kNegativeRoot;
  return nullptr;
}

// The powers that the formula leaves aside: x^0 is 1, and 0^y is 0 for y > 0 and not a number
// for y < 0.
template <class Real>
inline bool IsEdgePower(Real base, Real exponent) {
  return exponent == 0 || base == 0;
}
// The value of such a power, from its exponent alone.
template <class Real>
inline float EdgePower(Real exponent) {
  if (exponent == 0) return 1;
  return exponent > 0 ? 0.0f : std::numeric_limits<float>::quiet_NaN();
}

// "^" once PowerRefusal has let the operands through, in extended: the engine writes this value
// with 18 digits, not rounded to 32 bits.
inline Extended PowerValue(float base, float exponent) {
  if (IsEdgePower(base, exponent)) return EdgePower(exponent);
  return ext::Pow(static_cast<Extended>(base), static_cast<Extended>(exponent));
}

// The argument of function `code` as the function takes it: an angle in degrees is converted to
// radians in extended and rounded back to 32 bits.
inline float FunctionArgument(int code, float argument, bool degrees) {
  if (!degrees || !TakesDegrees(code)) return argument;
  return static_cast<float>(argument * kDegreeToRadian);
}

}  // namespace funzioni::detail
