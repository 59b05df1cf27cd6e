#include "evaluator/DecimalRounding.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "evaluator/BigUnsigned.h"
#include "evaluator/BitCast.h"
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
  static constexpr Extended kExact[] = {1,
                                        5,
                                        25,
                                        125,
                                        625,
                                        3125,
                                        15625,
                                        78125,
                                        390625,
                                        1953125,
                                        9765625,
                                        48828125,
                                        244140625,
                                        1220703125,
                                        6103515625,
                                        30517578125,
                                        152587890625,
                                        762939453125,
                                        3814697265625,
                                        19073486328125,
                                        95367431640625,
                                        476837158203125,
                                        2384185791015625,
                                        11920928955078125,
                                        59604644775390625,
                                        298023223876953125,
                                        1490116119384765625,
                                        7450580596923828125};
  if (exponent < 28) return kExact[exponent];
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

int BitLength(UInt128 v) {
  const auto high = static_cast<std::uint64_t>(v >> 64);
  if (high != 0) return 128 - std::countl_zero(high);
  return 64 - std::countl_zero(static_cast<std::uint64_t>(v));
}

struct WideTables {
  UInt128 powersOfFive[55];  // 5^0 .. 5^54, all below 2^127
  int fiveBits[55];
  UInt128 powersOfTen[39];  // 10^0 .. 10^38
  WideTables() {
    UInt128 five = 1;
    for (int i = 0; i < 55; ++i, five *= 5) {
      powersOfFive[i] = five;
      fiveBits[i] = BitLength(five);
    }
    UInt128 ten = 1;
    for (int i = 0; i < 39; ++i, ten *= 10) powersOfTen[i] = ten;
  }
};

const WideTables& Wide() {
  static const WideTables tables;
  return tables;
}

// The common case: the value is a whole number N times 10^-s with N below 2^128 (every float
// from about 1e-6 up, and most extended results), so plain 128-bit arithmetic is exact.
bool RoundSmall(const BinaryParts& parts, int count, DecimalDigits& out) {
  const WideTables& wide = Wide();
  const int bits = 64 - std::countl_zero(parts.mantissa);
  UInt128 whole;
  int tenExponent;
  if (parts.exponent >= 0) {
    if (bits + parts.exponent > 127) return false;
    whole = static_cast<UInt128>(parts.mantissa) << parts.exponent;
    tenExponent = 0;
  } else {
    const int s = -parts.exponent;
    if (s >= 55 || bits + wide.fiveBits[s] > 127) return false;
    whole = static_cast<UInt128>(parts.mantissa) * wide.powersOfFive[s];
    tenExponent = -s;
  }
  // Decimal length from the bit length: floor((bits - 1) * log10 2) + 1 never exceeds it.
  const int wholeBits = BitLength(whole);
  int length = ((wholeBits - 1) * 1233 >> 12) + 1;
  while (length < 39 && whole >= wide.powersOfTen[length]) ++length;
  if (length <= count) {
    out.digits = static_cast<std::uint64_t>(whole * wide.powersOfTen[count - length]);
    out.exponent = tenExponent - (count - length);
    return true;
  }
  const int dropped = length - count;
  std::uint64_t digits;
  bool above;
  bool tie;
  if (wholeBits <= 64) {
    const auto narrow = static_cast<std::uint64_t>(whole);
    const std::uint64_t unit = kPowersOfTen[dropped];
    digits = narrow / unit;
    const std::uint64_t rest = narrow - digits * unit;
    above = rest > unit / 2;
    tie = rest == unit / 2;
  } else {
    const UInt128 unit = wide.powersOfTen[dropped];
    digits = static_cast<std::uint64_t>(whole / unit);
    const UInt128 rest = whole - static_cast<UInt128>(digits) * unit;
    above = rest > unit / 2;
    tie = rest == unit / 2;
  }
  if (above || (tie && (digits & 1) != 0)) ++digits;
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
  constexpr int kLargestFivePower = 27;  // 5^27 < 2^63, so m * 5^k < 2^127
  const WideTables& wide = Wide();
  const int s = -parts.exponent;
  if (s <= 0) return false;
  const int bits = 64 - std::countl_zero(parts.mantissa);
  // value lies in [2^(bits-1-s), 2^(bits-s)); this estimate of its decimal exponent is exact or
  // one off, which the loop below corrects.
  const int leading = ((bits - 1 - s) * 1233) >> 12;
  const std::uint64_t lowest = kPowersOfTen[count - 1];
  const std::uint64_t limit = kPowersOfTen[count];
  int k = count - 1 - leading;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (k < 0 || k > kLargestFivePower) return false;
    const UInt128 scaled = static_cast<UInt128>(parts.mantissa) * wide.powersOfFive[k];
    const int shift = s - k;
    if (shift >= 128) return false;
    UInt128 quotient;
    UInt128 rest = 0;
    UInt128 half = 0;
    if (shift <= 0) {
      if (BitLength(scaled) - shift > 127) return false;
      quotient = scaled << -shift;
    } else {
      quotient = scaled >> shift;
      rest = scaled - (quotient << shift);
      half = static_cast<UInt128>(1) << (shift - 1);
    }
    if (quotient >= limit) {
      --k;
      continue;
    }
    if (quotient < lowest) {
      ++k;
      continue;
    }
    auto digits = static_cast<std::uint64_t>(quotient);
    if (rest > half || (shift > 0 && rest == half && (digits & 1) != 0)) ++digits;
    if (digits == limit) {
      out = {lowest, 1 - k};
      return true;
    }
    out = {digits, -k};
    return true;
  }
  return false;
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
