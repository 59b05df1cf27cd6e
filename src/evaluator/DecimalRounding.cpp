#include "evaluator/DecimalRounding.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>

#include "evaluator/BigUnsigned.h"
#include "evaluator/BitCast.h"
#include "evaluator/DecimalScaling.h"
#include "evaluator/PowersOfTen.h"

namespace funzioni::detail {

namespace {

// 0.30102999566398119521 (log10 of 2), to 64 bits.
constexpr Extended kLog10Of2 = ext::FromParts(0x9A209A84FBCFF798, -65);

// The x87 extended format: 64-bit mantissa with explicit leading bit, 15-bit biased exponent.
struct BinaryParts {
  std::uint64_t mantissa;
  int exponent;  // value = mantissa * 2^exponent
};

BinaryParts Decompose(Extended value) {
  const soft::Float80 bits = ext::Bits(value);
  const std::uint64_t mantissa = bits.mantissa;
  const int biased = bits.signExponent & soft::kFloat80ExponentMask;
  const int exponent = (biased == 0 ? 1 : biased) - soft::kFloat80Bias - 63;
  const int zeros = std::countr_zero(mantissa);
  return {mantissa >> zeros, exponent + zeros};
}

Extended PowerOfFive(int exponent) {
  // Below 2^63: converted as a signed number, exactly.
  if (exponent < static_cast<int>(kPowersOfFive.size())) {
    return static_cast<Extended>(
        static_cast<std::int64_t>(kPowersOfFive[static_cast<std::size_t>(exponent)]));
  }
  return ext::Pow(5, exponent);
}

// 2^exponent for a normal extended exponent, built directly (cheaper than ldexp).
Extended PowerOfTwo(int exponent) {
  if (exponent < -16382 || exponent > 16383) return ext::Ldexp(1, exponent);
  return ext::FromBits({1ULL << 63, static_cast<std::uint16_t>(exponent + soft::kFloat80Bias)});
}

// An estimate of mantissa * 2^exponent / 10^scale, within a fraction of a unit near 10^18.
Extended ApproximateQuotient(const BinaryParts& parts, int scale) {
  Extended q = static_cast<Extended>(parts.mantissa);
  q = scale <= 0 ? q * PowerOfFive(-scale) : q / PowerOfFive(scale);
  return q * PowerOfTwo(parts.exponent - scale);
}

// Compares 2*value with t * 10^scale exactly, as twice (value) = A and 10^scale = B (both scaled
// by the same power of two so that both are whole numbers).
class ScaledComparison {
 public:
  ScaledComparison(const BinaryParts& parts, int scale) {
    const int twoA = parts.exponent + 1;
    const int twoB = scale;
    const int common = twoA < twoB ? twoA : twoB;
    a_.Assign(parts.mantissa);
    if (scale < 0) a_.MultiplyByPowerOfFive(-scale);
    a_.ShiftLeft(twoA - common);
    b_.Assign(1);
    if (scale > 0) b_.MultiplyByPowerOfFive(scale);
    b_.ShiftLeft(twoB - common);
  }

  // Sign of 2*value - t * 10^scale.
  int CompareWith(std::uint64_t t) {
    product_.AssignProduct(b_, t);
    return Compare(a_, product_);
  }

 private:
  BigUnsigned a_;
  BigUnsigned b_;
  BigUnsigned product_;
};

// Bit lengths of 5^0 .. 5^54, and 10^0 .. 10^38 (every power of ten below 2^128).
constexpr std::array<int, kWidePowersOfFive.size()> kFiveBits = [] {
  std::array<int, kWidePowersOfFive.size()> bits{};
  for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = BitLength(kWidePowersOfFive[i]);
  return bits;
}();
constexpr std::array<UInt128, 39> kWidePowersOfTen = [] {
  std::array<UInt128, 39> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
  return powers;
}();

// The common case: the value is a whole number N times 10^-s with N below 2^128 (every float
// from about 1e-6 up, and most extended results), so plain 128-bit arithmetic is exact.
bool RoundSmall(const BinaryParts& parts, int count, DecimalDigits& out) {
  const int bits = BitLength(parts.mantissa);
  UInt128 whole;
  int tenExponent;
  if (parts.exponent >= 0) {
    if (bits + parts.exponent > 127) return false;
    whole = static_cast<UInt128>(parts.mantissa) << parts.exponent;
    tenExponent = 0;
  } else {
    const int s = -parts.exponent;
    if (s >= static_cast<int>(kWidePowersOfFive.size()) ||
        bits + kFiveBits[static_cast<std::size_t>(s)] > 127) {
      return false;
    }
    whole = static_cast<UInt128>(parts.mantissa) * kWidePowersOfFive[static_cast<std::size_t>(s)];
    tenExponent = -s;
  }
  // Decimal length from the bit length: floor((bits - 1) * log10 2) + 1 never exceeds it.
  const int wholeBits = BitLength(whole);
  int length = ((wholeBits - 1) * 1233 >> 12) + 1;
  while (length < 39 && whole >= kWidePowersOfTen[static_cast<std::size_t>(length)]) ++length;
  if (length <= count) {
    out.digits = static_cast<std::uint64_t>(
        whole * kWidePowersOfTen[static_cast<std::size_t>(count - length)]);
    out.exponent = tenExponent - (count - length);
    return true;
  }
  const int dropped = length - count;
  // The quotient is below 10^count, which 64 bits hold; 64-bit division is the cheaper.
  const std::uint64_t digits =
      wholeBits <= 64 ? DivideEven(static_cast<std::uint64_t>(whole), kPowersOfTen[dropped])
                      : static_cast<std::uint64_t>(DivideEven(whole, kWidePowersOfTen[dropped]));
  if (digits == kPowersOfTen[count]) {
    out.digits = kPowersOfTen[count - 1];
    out.exponent = tenExponent + dropped + 1;
    return true;
  }
  out.digits = digits;
  out.exponent = tenExponent + dropped;
  return true;
}

// A value below 2^64 with a fractional part: m * 2^-s. Scaled by 10^k it is m * 5^k / 2^(s-k),
// and for k up to 27 the product m * 5^k fits in 128 bits, so the count digits and the exact
// remainder come from one multiplication and a shift. Covers every extended value from about
// 1e-10 up that the engine writes (results of "^" and "!" carry a full 64-bit mantissa).
bool RoundShifted(const BinaryParts& parts, int count, DecimalDigits& out) {
  const int s = -parts.exponent;
  if (s <= 0) return false;
  const int bits = BitLength(parts.mantissa);
  // value lies in [2^(bits-1-s), 2^(bits-s)); this estimate of its decimal exponent is exact or
  // one off, which the search corrects.
  const int leading = ((bits - 1 - s) * 1233) >> 12;
  const int largestK = static_cast<int>(kPowersOfFive.size()) - 1;  // m * 5^k < 2^127
  const std::optional<ScaledFigures<UInt128>> scaled =
      FiguresOf<UInt128>({parts.mantissa, parts.exponent, count, count - 1 - leading, largestK});
  if (!scaled) return false;
  out = {static_cast<std::uint64_t>(scaled->figures), -scaled->k};
  return true;
}

// Any value, with integers as wide as the value needs.
[[gnu::noinline]] DecimalDigits RoundLarge(const BinaryParts& parts, int count) {
  const int bits = 64 - std::countl_zero(parts.mantissa);
  // floor(log10(2^(bits-1+exponent))): the decimal exponent of the value or one less.
  int leading =
      static_cast<int>(ext::Floor(static_cast<Extended>(bits - 1 + parts.exponent) * kLog10Of2));
  const std::uint64_t lowest = kPowersOfTen[count - 1];
  const std::uint64_t limit = kPowersOfTen[count];
  for (;;) {
    const int scale = leading - (count - 1);
    const Extended estimate = ApproximateQuotient(parts, scale);
    // A first guess of the decimal exponent may be one too small: then the quotient has one
    // digit too many, which the exact steps below must not meet (their products would overflow).
    if (estimate >= 2 * static_cast<Extended>(limit)) {
      ++leading;
      continue;
    }
    std::uint64_t digits = estimate <= 0 ? 0 : static_cast<std::uint64_t>(estimate);
    ScaledComparison exact(parts, scale);
    // The estimate is off by at most one; settle the exact floor of value / 10^scale.
    while (digits > 0 && exact.CompareWith(2 * digits) < 0) --digits;
    while (exact.CompareWith(2 * digits + 2) >= 0) ++digits;
    if (digits >= limit) {
      ++leading;
      continue;
    }
    if (digits < lowest) {
      --leading;
      continue;
    }
    const int half = exact.CompareWith(2 * digits + 1);
    if (half > 0 || (half == 0 && (digits & 1) != 0)) ++digits;
    if (digits == limit) return {lowest, scale + 1};
    return {digits, scale};
  }
}

}  // namespace

namespace {

DecimalDigits RoundParts(const BinaryParts& parts, int count) {
  DecimalDigits quick;
  if (RoundShifted(parts, count, quick)) return quick;
  if (RoundSmall(parts, count, quick)) return quick;
  return RoundLarge(parts, count);
}

// A float's parts straight from its bits, without going through the extended format.
BinaryParts DecomposeFloat(float value) {
  const auto bits = BitCast<std::uint32_t>(value);
  const int biased = static_cast<int>((bits >> 23) & 0xFF);
  std::uint64_t mantissa = bits & 0x7FFFFF;
  if (biased != 0) mantissa |= 0x800000;
  const int exponent = (biased == 0 ? 1 : biased) - 127 - 23;
  const int zeros = std::countr_zero(mantissa);
  return {mantissa >> zeros, exponent + zeros};
}

}  // namespace

DecimalDigits RoundToDecimal(Extended value, int count) {
  return RoundParts(Decompose(value), count);
}

DecimalDigits RoundToDecimal(float value, int count) {
  return RoundParts(DecomposeFloat(value), count);
}

DecimalDigits RoundToDecimalWide(Extended value, int count) {
  return RoundLarge(Decompose(value), count);
}

}  // namespace funzioni::detail
