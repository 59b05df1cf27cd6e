#include "evaluator/WideFloat.h"

#include <bit>
#include <cmath>

namespace funzioni::soft {
namespace {

// Four words, most significant first: the three of a mantissa and a guard word.
using Words4 = std::array<std::uint64_t, 4>;

// By fewer than 64 bits, the common case, written out.
Words4 ShiftRightBits(const Words4& w, int bits) {
  if (bits == 0) return w;
  const int back = 64 - bits;
  return {w[0] >> bits, (w[1] >> bits) | (w[0] << back), (w[2] >> bits) | (w[1] << back),
          (w[3] >> bits) | (w[2] << back)};
}

Words4 ShiftRight(const Words4& w, int shift) {
  if (shift < 64) return ShiftRightBits(w, shift);
  const int words = shift / 64;
  const int bits = shift % 64;
  Words4 out{};
  for (int i = 3; i >= words; --i) {
    const int source = i - words;
    std::uint64_t value = w[source] >> bits;
    if (bits != 0 && source > 0) value |= w[source - 1] << (64 - bits);
    out[i] = value;
  }
  return out;
}

int LeadingZeros(const Words4& w) {
  int zeros = 0;
  for (const std::uint64_t word : w) {
    if (word != 0) return zeros + std::countl_zero(word);
    zeros += 64;
  }
  return zeros;
}

Words4 ShiftLeft(const Words4& w, int shift) {
  if (shift == 0) return w;
  if (shift < 64) {
    const int back = 64 - shift;
    return {(w[0] << shift) | (w[1] >> back), (w[1] << shift) | (w[2] >> back),
            (w[2] << shift) | (w[3] >> back), w[3] << shift};
  }
  const int words = shift / 64;
  const int bits = shift % 64;
  Words4 out{};
  for (int i = 0; i + words < 4; ++i) {
    const int source = i + words;
    std::uint64_t value = w[source] << bits;
    if (bits != 0 && source < 3) value |= w[source + 1] >> (64 - bits);
    out[i] = value;
  }
  return out;
}

WideFloat FromWords(bool negative, std::int64_t exponent, const Words4& w) {
  return {negative, exponent, {w[0], w[1], w[2]}};
}

WideFloat FromDouble(double value) {
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
  return {value < 0, exponent - 1, {mantissa, 0, 0}};
}

WideFloat AddMagnitudes(const WideFloat& big, const Words4& small) {
  Words4 sum{};
  std::uint64_t carry = 0;
  const Words4 wide{big.m[0], big.m[1], big.m[2], 0};
  for (int i = 3; i >= 0; --i) {
    const std::uint64_t partial = wide[i] + carry;
    const std::uint64_t carryOne = partial < carry ? 1 : 0;
    sum[i] = partial + small[i];
    carry = carryOne + (sum[i] < small[i] ? 1 : 0);
  }
  if (carry == 0) return FromWords(big.negative, big.exponent, sum);
  Words4 shifted = ShiftRightBits(sum, 1);
  shifted[0] |= 0x8000000000000000ULL;
  return FromWords(big.negative, big.exponent + 1, shifted);
}

bool Less(const Words4& a, const Words4& b) {
  for (int i = 0; i < 4; ++i) {
    if (a[i] != b[i]) return a[i] < b[i];
  }
  return false;
}

WideFloat SubtractMagnitudes(const WideFloat& big, const Words4& small) {
  Words4 larger{big.m[0], big.m[1], big.m[2], 0};
  Words4 smaller = small;
  bool negative = big.negative;
  // Only operands of the same exponent can change order (small's top bit is clear otherwise).
  if ((small[0] >> 63) != 0 && Less(larger, smaller)) {
    std::swap(larger, smaller);
    negative = !negative;
  }
  Words4 difference{};
  std::uint64_t borrow = 0;
  for (int i = 3; i >= 0; --i) {
    const std::uint64_t partial = larger[i] - smaller[i];
    const std::uint64_t borrowOne = larger[i] < smaller[i] ? 1 : 0;
    difference[i] = partial - borrow;
    borrow = borrowOne + (partial < borrow ? 1 : 0);
  }
  const int zeros = LeadingZeros(difference);
  if (zeros == 256) return {};
  return FromWords(negative, big.exponent - zeros, ShiftLeft(difference, zeros));
}

}  // namespace

WideFloat WideFromFloat80(Float80 a) {
  const bool negative = (a.signExponent & kFloat80SignBit) != 0;
  if (a.mantissa == 0) return {negative, 0, {0, 0, 0}};
  const int biased = a.signExponent & kFloat80ExponentMask;
  const int zeros = std::countl_zero(a.mantissa);
  const std::int64_t exponent = (biased == 0 ? 1 : biased) - kFloat80Bias - zeros;
  return {negative, exponent, {a.mantissa << zeros, 0, 0}};
}

WideFloat WideFromInteger(std::int64_t value) {
  if (value == 0) return {};
  const std::uint64_t magnitude =
      value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  const int zeros = std::countl_zero(magnitude);
  return {value < 0, 63 - zeros, {magnitude << zeros, 0, 0}};
}

WideFloat WideAdd(const WideFloat& a, const WideFloat& b) {
  if (IsZero(a) && IsZero(b)) return {a.negative && b.negative, 0, {0, 0, 0}};
  if (IsZero(a)) return b;
  if (IsZero(b)) return a;
  const bool aBigger = a.exponent >= b.exponent;
  const WideFloat& big = aBigger ? a : b;
  const WideFloat& small = aBigger ? b : a;
  const std::int64_t shift = big.exponent - small.exponent;
  if (shift > 250) return big;
  const Words4 aligned =
      ShiftRight(Words4{small.m[0], small.m[1], small.m[2], 0}, static_cast<int>(shift));
  if (big.negative == small.negative) return AddMagnitudes(big, aligned);
  return SubtractMagnitudes(big, aligned);
}

WideFloat WideSubtract(const WideFloat& a, const WideFloat& b) {
  return WideAdd(a, Negated(b));
}

WideFloat WideMultiply(const WideFloat& a, const WideFloat& b) {
  const bool negative = a.negative != b.negative;
  if (IsZero(a) || IsZero(b)) return {negative, 0, {0, 0, 0}};
  // Least significant word first while accumulating.
  std::array<std::uint64_t, 6> product{};
  for (int i = 0; i < 3; ++i) {
    std::uint64_t carry = 0;
    for (int j = 0; j < 3; ++j) {
      const Product128 term = MultiplyWords(a.m[2 - i], b.m[2 - j]);
      std::uint64_t low = term.low + product[i + j];
      std::uint64_t high = term.high + (low < term.low ? 1 : 0);
      low += carry;
      high += low < carry ? 1 : 0;
      product[i + j] = low;
      carry = high;
    }
    product[i + 3] = carry;
  }
  const std::int64_t exponent = a.exponent + b.exponent;
  if ((product[5] >> 63) != 0)
    return {negative, exponent + 1, {product[5], product[4], product[3]}};
  return {negative,
          exponent,
          {(product[5] << 1) | (product[4] >> 63), (product[4] << 1) | (product[3] >> 63),
           (product[3] << 1) | (product[2] >> 63)}};
}

WideFloat WideReciprocal(const WideFloat& a) {
  const WideFloat divisor{false, 0, a.m};
  const WideFloat one = WideFromInteger(1);
  WideFloat estimate = FromDouble(1.0 / ApproximateScaled(divisor, 0));
  for (int step = 0; step < 2; ++step) {
    const WideFloat error = WideSubtract(one, WideMultiply(divisor, estimate));
    estimate = WideAdd(estimate, WideMultiply(estimate, error));
  }
  estimate.negative = a.negative;
  estimate.exponent -= a.exponent;
  return estimate;
}

WideFloat WideDivide(const WideFloat& a, const WideFloat& b) {
  return WideMultiply(a, WideReciprocal(b));
}

WideFloat WideSquareRoot(const WideFloat& a) {
  if (IsZero(a)) return {};
  const std::int64_t odd = a.exponent & 1;
  const WideFloat reduced{false, odd, a.m};  // in [1, 4)
  const WideFloat one = WideFromInteger(1);
  WideFloat inverse = FromDouble(1.0 / std::sqrt(ApproximateScaled(reduced, 0)));
  for (int step = 0; step < 2; ++step) {
    const WideFloat error =
        WideSubtract(one, WideMultiply(reduced, WideMultiply(inverse, inverse)));
    inverse = WideAdd(inverse, Scaled(WideMultiply(inverse, error), -1));
  }
  WideFloat root = WideMultiply(reduced, inverse);
  const WideFloat residual = WideSubtract(reduced, WideMultiply(root, root));
  root = WideAdd(root, Scaled(WideMultiply(inverse, residual), -1));
  root.exponent += (a.exponent - odd) / 2;
  return root;
}

int CompareMagnitudes(const WideFloat& a, const WideFloat& b) {
  if (IsZero(a) || IsZero(b)) return (IsZero(a) ? 0 : 1) - (IsZero(b) ? 0 : 1);
  if (a.exponent != b.exponent) return a.exponent < b.exponent ? -1 : 1;
  for (int i = 0; i < 3; ++i) {
    if (a.m[i] != b.m[i]) return a.m[i] < b.m[i] ? -1 : 1;
  }
  return 0;
}

double ApproximateScaled(const WideFloat& a, std::int64_t powerOfTwo) {
  if (IsZero(a)) return 0.0;
  const double magnitude =
      std::ldexp(static_cast<double>(a.m[0] >> 11), static_cast<int>(a.exponent - powerOfTwo - 52));
  return a.negative ? -magnitude : magnitude;
}

Float80 RoundToFloat80(const WideFloat& a) {
  const std::uint16_t sign = a.negative ? kFloat80SignBit : 0;
  if (IsZero(a)) return {0, sign};
  if (a.exponent + kFloat80Bias >= kFloat80ExponentMask) {
    return {kPositiveInfinity.mantissa, static_cast<std::uint16_t>(sign | kFloat80ExponentMask)};
  }
  std::int64_t biased = a.exponent + kFloat80Bias;
  // The 64-bit field is M >> shift: 128 for normal results, more for subnormal ones.
  const int shift = static_cast<int>(biased >= 1 ? 128 : std::min<std::int64_t>(129 - biased, 193));
  const int inWord = shift - 128;  // 0..65: how far m[0] moves right
  std::uint64_t field = inWord < 64 ? a.m[0] >> inWord : 0;
  bool roundBit = false;
  bool sticky = false;
  if (inWord == 0) {
    roundBit = (a.m[1] >> 63) != 0;
    sticky = (a.m[1] << 1) != 0 || a.m[2] != 0;
  } else {
    const int roundPosition = inWord - 1;  // a bit of m[0], or none when beyond it
    roundBit = roundPosition < 64 && ((a.m[0] >> roundPosition) & 1) != 0;
    const std::uint64_t below =
        roundPosition >= 64 ? a.m[0] : a.m[0] & ((std::uint64_t{1} << roundPosition) - 1);
    sticky = below != 0 || a.m[1] != 0 || a.m[2] != 0;
  }
  if (roundBit && (sticky || (field & 1) != 0)) ++field;
  if (biased < 1) {
    // A subnormal that rounds up to 2^63 is the smallest normal number.
    const std::uint16_t exponentField = (field >> 63) != 0 ? 1 : 0;
    return {field, static_cast<std::uint16_t>(sign | exponentField)};
  }
  if (field == 0) {  // carried out of the top
    field = 0x8000000000000000ULL;
    ++biased;
    if (biased >= kFloat80ExponentMask) {
      return {field, static_cast<std::uint16_t>(sign | kFloat80ExponentMask)};
    }
  }
  return {field, static_cast<std::uint16_t>(sign | biased)};
}

}  // namespace funzioni::soft
