// The sine, cosine and inverse trigonometric functions of the software extended arithmetic.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

#include "evaluator/SoftFunctions.h"
#include "evaluator/SoftTables.h"
#include "evaluator/WideFloat.h"

namespace funzioni::soft {
namespace {

using tables::kHalfPi;
using tables::kInverseFactorial;
using tables::kTwoOverPiBits;

bool IsNanOrInfinity(Float80 a) {
  return (a.signExponent & kFloat80ExponentMask) == kFloat80ExponentMask;
}
bool IsNanValue(Float80 a) {
  return IsNanOrInfinity(a) && (a.mantissa << 1) != 0;
}

// atan(y/x) for y, x >= 0, not both zero, in [0, pi/2]: atan(y/x) = atan(c) + atan(t) with
// c = j/64 near y/x and t = (y - c x) / (x + c y), so that one division is enough.
WideFloat ArcTangentOfRatio(WideFloat y, WideFloat x) {
  const bool swapped = CompareMagnitudes(y, x) > 0;
  if (swapped) std::swap(y, x);
  y.negative = false;
  x.negative = false;
  const double leading = static_cast<double>(y.m[0] >> 11) / static_cast<double>(x.m[0] >> 11);
  const auto shift = static_cast<int>(std::max<std::int64_t>(y.exponent - x.exponent, -200));
  const auto j =
      static_cast<int>(std::clamp<long>(std::lround(std::ldexp(leading, shift) * 64), 0, 64));
  const WideFloat c = Scaled(WideFromInteger(j), -6);
  const WideFloat t =
      WideDivide(WideSubtract(y, WideMultiply(c, x)), WideAdd(x, WideMultiply(c, y)));
  const WideFloat t2 = WideMultiply(t, t);
  constexpr int kTerms = 12;  // |t| <= 1/128: t^25/25 is below 2^-179
  WideFloat sum = Negated(tables::kInverseOdd[kTerms - 1]);
  for (int k = kTerms - 2; k >= 0; --k) {
    const WideFloat& term = tables::kInverseOdd[static_cast<std::size_t>(k)];
    sum = WideAdd(WideMultiply(sum, t2), k % 2 == 0 ? term : Negated(term));
  }
  const WideFloat angle =
      WideAdd(tables::kAtanOfSixtyFourths[static_cast<std::size_t>(j)], WideMultiply(t, sum));
  return swapped ? WideSubtract(kHalfPi, angle) : angle;
}

// sqrt(1 - w^2) for 0 <= w <= 1, as sqrt((1 - w)(1 + w)) so that it keeps its precision near 1.
WideFloat Cofunction(const WideFloat& w) {
  const WideFloat one = WideFromInteger(1);
  return WideSquareRoot(WideMultiply(WideSubtract(one, w), WideAdd(one, w)));
}

// x is angle + quadrant * pi/2 (modulo 2 pi), |angle| <= pi/4.
struct Reduced {
  WideFloat angle;
  int quadrant = 0;
};

// 64 bits of 2/pi from the bit of weight 2^-first on (bits of weight 2^0 and above are zero).
std::uint64_t TwoOverPiFrom(int first) {
  if (first + 63 < 1) return 0;
  const int position = first - 1;
  if (position < 0) return kTwoOverPiBits[0] >> -position;
  const auto word = static_cast<std::size_t>(position / 64);
  const int bit = position % 64;
  std::uint64_t value = kTwoOverPiBits[word] << bit;
  if (bit != 0 && word + 1 < kTwoOverPiBits.size()) value |= kTwoOverPiBits[word + 1] >> (64 - bit);
  return value;
}

// Payne and Hanek's reduction: |x| = mantissa * 2^e, and |x| * 2/pi modulo 4 needs only the bits
// of 2/pi from weight 2^(1-e) on; 320 of them leave more than 190 good bits in the fraction
// even for the finite arguments closest to a multiple of pi/2.
Reduced ReduceQuadrant(Float80 a) {
  const int biased = a.signExponent & kFloat80ExponentMask;
  WideFloat x = WideFromFloat80(a);
  x.negative = false;
  if (biased < kFloat80Bias - 1) return {x, 0};  // |x| < 1/2
  const int first = biased - kFloat80Bias - 63 - 1;
  constexpr int kWords = 5;
  std::array<std::uint64_t, kWords + 1> product{};  // least significant word first
  std::uint64_t carry = 0;
  for (int k = 0; k < kWords; ++k) {
    const Product128 term = MultiplyWords(a.mantissa, TwoOverPiFrom(first + 64 * (kWords - 1 - k)));
    const std::uint64_t low = term.low + carry;
    carry = term.high + (low < carry ? 1 : 0);
    product[static_cast<std::size_t>(k)] = low;
  }
  product[kWords] = carry;
  // product * 2^-318 modulo 4: bits 318 and 319 are the quadrant, the 318 below the fraction.
  int quadrant = static_cast<int>(product[4] >> 62);
  std::array<std::uint64_t, kWords> fraction{product[4] & ((std::uint64_t{1} << 62) - 1),
                                             product[3], product[2], product[1], product[0]};
  const bool negative = ((fraction[0] >> 61) & 1) != 0;
  if (negative) {  // fraction >= 1/2: take fraction - 1
    ++quadrant;
    std::uint64_t borrow = 1;
    for (int i = kWords - 1; i >= 0; --i) {
      const auto index = static_cast<std::size_t>(i);
      fraction[index] = ~fraction[index] + borrow;
      borrow = (borrow != 0 && fraction[index] == 0) ? 1 : 0;
    }
    fraction[0] &= (std::uint64_t{1} << 62) - 1;
  }
  int zeros = 0;
  std::size_t lead = 0;
  while (lead < kWords && fraction[lead] == 0) {
    zeros += 64;
    ++lead;
  }
  if (lead + 2 >= kWords) return {WideFloat{}, quadrant & 3};  // cannot happen for finite x
  const int bits = std::countl_zero(fraction[lead]);
  zeros += bits;
  std::array<std::uint64_t, 3> top{};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::uint64_t next = lead + i + 1 < kWords ? fraction[lead + i + 1] : 0;
    top[i] = bits == 0 ? fraction[lead + i] : (fraction[lead + i] << bits) | (next >> (64 - bits));
  }
  const WideFloat turns{negative, 1 - zeros, top};  // in quarter turns
  return {WideMultiply(turns, kHalfPi), quadrant & 3};
}

// The series for |r| <= pi/4, to the terms in r^37 and r^38 (the first left out below 2^-166).
WideFloat SineSeries(const WideFloat& r) {
  const WideFloat r2 = WideMultiply(r, r);
  WideFloat sum = kInverseFactorial[37];
  for (int k = 17; k >= 0; --k) {
    const WideFloat& term = kInverseFactorial[static_cast<std::size_t>(2 * k + 1)];
    sum = WideAdd(WideMultiply(sum, r2), k % 2 == 0 ? term : Negated(term));
  }
  return WideMultiply(r, sum);
}

WideFloat CosineSeries(const WideFloat& r) {
  const WideFloat r2 = WideMultiply(r, r);
  WideFloat sum = Negated(kInverseFactorial[38]);
  for (int k = 18; k >= 0; --k) {
    const WideFloat& term = kInverseFactorial[static_cast<std::size_t>(2 * k)];
    sum = WideAdd(WideMultiply(sum, r2), k % 2 == 0 ? term : Negated(term));
  }
  return sum;
}

// sin(x + quadrant * pi/2) from the reduced angle.
WideFloat SineInQuadrant(const Reduced& reduced) {
  switch (reduced.quadrant) {
    case 0:
      return SineSeries(reduced.angle);
    case 1:
      return CosineSeries(reduced.angle);
    case 2:
      return Negated(SineSeries(reduced.angle));
    default:
      return Negated(CosineSeries(reduced.angle));
  }
}

}  // namespace

Float80 Sin(Float80 radians) {
  if (IsNanValue(radians)) return Quieted(radians);
  if (IsNanOrInfinity(radians)) return kDefaultNan;
  const WideFloat sine = SineInQuadrant(ReduceQuadrant(radians));
  const bool negative = (radians.signExponent & kFloat80SignBit) != 0;
  return RoundToFloat80(negative ? Negated(sine) : sine);
}

Float80 Cos(Float80 radians) {
  if (IsNanValue(radians)) return Quieted(radians);
  if (IsNanOrInfinity(radians)) return kDefaultNan;
  Reduced reduced = ReduceQuadrant(radians);
  reduced.quadrant = (reduced.quadrant + 1) & 3;  // cos x = sin(x + pi/2)
  return RoundToFloat80(SineInQuadrant(reduced));
}

Float80 Atan(Float80 a) {
  if (IsNanValue(a)) return Quieted(a);
  const bool negative = (a.signExponent & kFloat80SignBit) != 0;
  WideFloat angle =
      IsNanOrInfinity(a) ? kHalfPi : ArcTangentOfRatio(WideFromFloat80(a), WideFromInteger(1));
  angle.negative = negative;
  return RoundToFloat80(angle);
}

Float80 Asin(Float80 a) {
  if (IsNanValue(a)) return Quieted(a);
  const WideFloat w = WideFromFloat80(a);
  if (IsNanOrInfinity(a) || CompareMagnitudes(w, WideFromInteger(1)) > 0) return kDefaultNan;
  WideFloat angle = ArcTangentOfRatio(w, Cofunction(w));
  angle.negative = w.negative;
  return RoundToFloat80(angle);
}

Float80 Acos(Float80 a) {
  if (IsNanValue(a)) return Quieted(a);
  WideFloat w = WideFromFloat80(a);
  if (IsNanOrInfinity(a) || CompareMagnitudes(w, WideFromInteger(1)) > 0) return kDefaultNan;
  const bool negative = w.negative;
  w.negative = false;
  const WideFloat angle = ArcTangentOfRatio(Cofunction(w), w);
  return RoundToFloat80(negative ? WideSubtract(tables::kPi, angle) : angle);
}

}  // namespace funzioni::soft
