// The exponentials, the logarithms and the power of the software extended arithmetic.
#include "evaluator/SoftFunctions.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

#include "evaluator/SoftTables.h"
#include "evaluator/WideFloat.h"

namespace funzioni::soft {
namespace {

using tables::kInverseFactorial;
using tables::kInverseOdd;
using tables::kLn2;

bool IsNanOrInfinity(Float80 a) {
  return (a.signExponent & kFloat80ExponentMask) == kFloat80ExponentMask;
}
bool IsNanValue(Float80 a) {
  return IsNanOrInfinity(a) && (a.mantissa << 1) != 0;
}
bool IsNegativeValue(Float80 a) {
  return (a.signExponent & kFloat80SignBit) != 0;
}
bool IsZeroValue(Float80 a) {
  return a.mantissa == 0 && !IsNanOrInfinity(a);
}
Float80 AbsoluteValue(Float80 a) {
  return {a.mantissa, static_cast<std::uint16_t>(a.signExponent & kFloat80ExponentMask)};
}
int BiasedExponent(Float80 a) {
  return a.signExponent & kFloat80ExponentMask;
}
Float80 SignedZero(bool negative) {
  return {0, static_cast<std::uint16_t>(negative ? kFloat80SignBit : 0)};
}
Float80 SignedInfinity(bool negative) {
  return {kPositiveInfinity.mantissa,
          static_cast<std::uint16_t>(kFloat80ExponentMask | (negative ? kFloat80SignBit : 0))};
}

// e^r for |r| <= 0.5: the series at r/2^8 to the term in r^13 (the first left out below
// 2^-166), squared back eight times.
WideFloat ExpReduced(const WideFloat& r) {
  constexpr int kHalvings = 8;
  const WideFloat s = Scaled(r, -kHalvings);
  WideFloat sum = kInverseFactorial[13];
  for (int n = 12; n >= 0; --n) sum = WideAdd(WideMultiply(sum, s), kInverseFactorial[n]);
  for (int i = 0; i < kHalvings; ++i) sum = WideMultiply(sum, sum);
  return sum;
}

// 2^x for |x| < 2^15.
WideFloat Exp2Wide(const WideFloat& x) {
  const std::int64_t whole = std::llround(ApproximateScaled(x, 0));
  const WideFloat fraction = WideSubtract(x, WideFromInteger(whole));
  return Scaled(ExpReduced(WideMultiply(fraction, kLn2)), whole);
}

// A finite positive number as 2^twoPower * mantissa, with log(mantissa) (mantissa in
// [sqrt(1/2), sqrt(2)), so that no cancellation is left for the callers).
struct LogParts {
  std::int64_t twoPower = 0;
  WideFloat logOfMantissa;
};

LogParts LogOfPositive(Float80 a) {
  WideFloat x = WideFromFloat80(a);
  std::int64_t twoPower = x.exponent;
  x.exponent = 0;
  if (x.m[0] >= 0xB504F333F9DE6484ULL) {  // sqrt(2)
    ++twoPower;
    x.exponent = -1;
  }
  // x = (1/r) (1 + t) with r from the table, about 128/j, and |t| < 2^-7.
  const auto row =
      static_cast<std::size_t>(std::lround(ApproximateScaled(x, -7)) - tables::kLogFirstIndex);
  const WideFloat one = WideFromInteger(1);
  const WideFloat scaled = Scaled(WideMultiply(x, WideFromInteger(tables::kLogReducer[row])), -16);
  const WideFloat t = WideSubtract(scaled, one);
  // log(1 + t) = 2 atanh(s), s = t / (2 + t), |s| < 2^-8.4: the series to s^19.
  const WideFloat s = WideDivide(t, WideAdd(WideFromInteger(2), t));
  const WideFloat s2 = WideMultiply(s, s);
  WideFloat sum = kInverseOdd[9];
  for (int k = 8; k >= 0; --k) sum = WideAdd(WideMultiply(sum, s2), kInverseOdd[k]);
  const WideFloat logOnePlusT = Scaled(WideMultiply(s, sum), 1);
  return {twoPower, WideAdd(tables::kLogOfInverse[row], logOnePlusT)};
}

WideFloat Log2OfPositive(Float80 a) {
  const LogParts parts = LogOfPositive(a);
  return WideAdd(WideFromInteger(parts.twoPower),
                 WideMultiply(parts.logOfMantissa, tables::kLog2E));
}

WideFloat NaturalLogOfPositive(Float80 a) {
  const LogParts parts = LogOfPositive(a);
  return WideAdd(WideMultiply(WideFromInteger(parts.twoPower), kLn2), parts.logOfMantissa);
}

// What the logarithms give for NaN, zero, negative numbers and infinity.
std::optional<Float80> LogSpecialCase(Float80 a) {
  if (IsNanValue(a)) return Quieted(a);
  if (IsZeroValue(a)) return SignedInfinity(true);
  if (IsNegativeValue(a)) return kDefaultNan;
  if (IsNanOrInfinity(a)) return a;
  return std::nullopt;
}

enum class Parity { kNotInteger, kEven, kOdd };

// Of a finite number.
Parity IntegerParity(Float80 y) {
  if (y.mantissa == 0) return Parity::kEven;
  const int exponent = BiasedExponent(y) - kFloat80Bias;
  if (exponent < 0) return Parity::kNotInteger;
  if (exponent >= 64) return Parity::kEven;
  const int fractionBits = 63 - exponent;
  if (fractionBits > 0 && (y.mantissa << (exponent + 1)) != 0) return Parity::kNotInteger;
  return ((y.mantissa >> fractionBits) & 1) != 0 ? Parity::kOdd : Parity::kEven;
}

// |x|^n by squaring: exact whenever the exact power has at most 192 significant bits, so that
// results exactly halfway between two neighbours round as they should.
WideFloat IntegerPower(Float80 x, std::uint64_t n) {
  WideFloat base = WideFromFloat80(x);
  base.negative = false;
  WideFloat result = WideFromInteger(1);
  while (n != 0) {
    if ((n & 1) != 0) result = WideMultiply(result, base);
    n >>= 1;
    if (n != 0) base = WideMultiply(base, base);
  }
  return result;
}

// The cases of pow that the main path does not handle: zero exponent, unit base, NaN, zero and
// infinite operands.
std::optional<Float80> PowSpecialCase(Float80 x, Float80 y, Parity parity) {
  const bool yNegative = IsNegativeValue(y);
  if (IsZeroValue(y) || x == kOne) {
    return kOne;
  }
  if (IsNanValue(x) || IsNanValue(y)) {
    return Quieted(IsNanValue(x) ? x : y);
  }
  const bool oddNegative = IsNegativeValue(x) && parity == Parity::kOdd;
  if (IsZeroValue(x)) {
    return yNegative ? SignedInfinity(oddNegative) : SignedZero(oddNegative);
  }
  if (IsNanOrInfinity(y)) {
    const int order = CompareMagnitudes(WideFromFloat80(x), WideFromInteger(1));
    if (order == 0) return kOne;  // (-1)^(+-inf)
    return (order > 0) != yNegative ? SignedInfinity(false) : SignedZero(false);
  }
  if (IsNanOrInfinity(x)) {
    return yNegative ? SignedZero(oddNegative) : SignedInfinity(oddNegative);
  }
  if (IsNegativeValue(x) && parity == Parity::kNotInteger) {
    return kDefaultNan;
  }
  return std::nullopt;
}

// For y = p/2 with p odd and positive: |x|^y can be exactly halfway between two neighbours
// (x = a^2 with a^p of 65 bits), where an approximation may fall on either side. When
// `approximation` is that close to a halfway value h, h is the result if h^2 == |x|^p exactly.
WideFloat ExactHalfway(Float80 x, Float80 y, const WideFloat& approximation) {
  const int power = BiasedExponent(y) - kFloat80Bias + 1;  // of 2y
  if (IsNegativeValue(y) || power < 0 || power >= 20) return approximation;
  const int fractionBits = 63 - power;
  if ((y.mantissa << (power + 1)) != 0) return approximation;  // 2y not an integer
  const std::uint64_t p = y.mantissa >> fractionBits;
  // Far from halfway by more than the approximation's error (below 2^-150 relative).
  const std::uint64_t half = 0x8000000000000000ULL;
  const bool nearHalf =
      (approximation.m[1] == half && approximation.m[2] < (1ULL << 42)) ||
      (approximation.m[1] == half - 1 && approximation.m[2] > ~std::uint64_t{0} - (1ULL << 42));
  if (!nearHalf || approximation.exponent + kFloat80Bias < 1) return approximation;
  // x^p has at most p times the significant bits of x: exact in 192 bits below that bound.
  const int bits = 64 - std::countr_zero(x.mantissa) - std::countl_zero(x.mantissa);
  if (static_cast<std::uint64_t>(bits) * p > 192) return approximation;
  const WideFloat halfway{false, approximation.exponent, {approximation.m[0], half, 0}};
  const WideFloat square = WideMultiply(halfway, halfway);
  const WideFloat exact = IntegerPower(x, p);
  return CompareMagnitudes(square, exact) == 0 ? halfway : approximation;
}

}  // namespace

Float80 Exp(Float80 a) {
  if (IsNanValue(a)) return Quieted(a);
  const bool negative = IsNegativeValue(a);
  if (BiasedExponent(a) >= kFloat80Bias + 14)
    return negative ? SignedZero(false) : SignedInfinity(false);
  const WideFloat x = WideFromFloat80(a);
  const std::int64_t whole = std::llround(ApproximateScaled(x, 0) * 1.4426950408889634);
  const WideFloat r = WideSubtract(x, WideMultiply(WideFromInteger(whole), kLn2));
  return RoundToFloat80(Scaled(ExpReduced(r), whole));
}

Float80 Exp2(Float80 a) {
  if (IsNanValue(a)) return Quieted(a);
  const bool negative = IsNegativeValue(a);
  if (BiasedExponent(a) >= kFloat80Bias + 15)
    return negative ? SignedZero(false) : SignedInfinity(false);
  return RoundToFloat80(Exp2Wide(WideFromFloat80(a)));
}

Float80 Log(Float80 a) {
  if (const auto special = LogSpecialCase(a)) return *special;
  return RoundToFloat80(NaturalLogOfPositive(a));
}

Float80 Log2(Float80 a) {
  if (const auto special = LogSpecialCase(a)) return *special;
  return RoundToFloat80(Log2OfPositive(a));
}

Float80 Log10(Float80 a) {
  if (const auto special = LogSpecialCase(a)) return *special;
  return RoundToFloat80(WideMultiply(NaturalLogOfPositive(a), tables::kLog10E));
}

Float80 Pow(Float80 base, Float80 exponent) {
  const Parity parity = IsNanOrInfinity(exponent) ? Parity::kEven : IntegerParity(exponent);
  if (const auto special = PowSpecialCase(base, exponent, parity)) return *special;
  const bool negativeResult = IsNegativeValue(base) && parity == Parity::kOdd;
  const bool exponentNegative = IsNegativeValue(exponent);
  const int exponentPower = BiasedExponent(exponent) - kFloat80Bias;
  WideFloat magnitude;
  // Below 2^20 the squarings' error stays far below the final rounding; a larger integer power
  // that is exactly representable has a power of two as base, which the logarithm gets exactly.
  if (parity != Parity::kNotInteger && exponentPower < 20) {
    const std::uint64_t n = exponent.mantissa >> (63 - exponentPower);
    magnitude = IntegerPower(base, n);
    if (exponentNegative) magnitude = WideReciprocal(magnitude);
  } else {
    const WideFloat power =
        WideMultiply(WideFromFloat80(exponent), Log2OfPositive(AbsoluteValue(base)));
    if (!IsZero(power) && power.exponent >= 15) {
      return power.negative ? SignedZero(negativeResult) : SignedInfinity(negativeResult);
    }
    magnitude = ExactHalfway(base, exponent, Exp2Wide(power));
  }
  magnitude.negative = negativeResult;
  return RoundToFloat80(magnitude);
}

}  // namespace funzioni::soft
