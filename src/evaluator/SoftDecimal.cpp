// Decimal numbers to the software extended format, correctly rounded for any number of digits.
// Up to 19 digits with a power of ten up to 10^+-27 the value is formed in 128 bits (digits times
// 5^k, or digits over 5^k with a sticky remainder); otherwise with big integers.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "evaluator/SoftArithmetic.h"
#include "evaluator/SoftInternals.h"

namespace funzioni::soft {

using detail::U128;

namespace {

// Past this many significant digits the rest only matters as "something nonzero follows": no
// halfway point between two extended numbers needs more (the longest, at the smallest
// subnormals, has about 11515).
constexpr std::size_t kMaxDigits = 11600;
// Decimal exponents (of the leading digit, plus one) beyond which the result is infinity or 0.
constexpr std::int64_t kOverflowLead = 4933;
constexpr std::int64_t kUnderflowLead = -4951;
constexpr int kSmallPowerLimit = 27;  // 5^27 < 2^63

std::uint64_t PowerOfFive(int k) {
  std::uint64_t p = 1;
  for (int i = 0; i < k; ++i) p *= 5;
  return p;
}

// Little-endian 32-bit limbs, no leading zero limbs.
using BigInt = std::vector<std::uint32_t>;

void MultiplyAdd(BigInt& x, std::uint32_t factor, std::uint32_t addend) {
  std::uint64_t carry = addend;
  for (std::uint32_t& limb : x) {
    const std::uint64_t t = static_cast<std::uint64_t>(limb) * factor + carry;
    limb = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  if (carry != 0) x.push_back(static_cast<std::uint32_t>(carry));
}

BigInt FromDigits(std::string_view digits) {
  BigInt x;
  x.reserve(digits.size() / 9 + 2);
  std::size_t i = 0;
  while (i < digits.size()) {
    const std::size_t chunk = std::min<std::size_t>(9, digits.size() - i);
    std::uint32_t value = 0, scale = 1;
    for (std::size_t j = 0; j < chunk; ++j) {
      value = value * 10 + static_cast<std::uint32_t>(digits[i + j] - '0');
      scale *= 10;
    }
    MultiplyAdd(x, scale, value);
    i += chunk;
  }
  return x;
}

void MultiplyByPowerOfFive(BigInt& x, std::int64_t k) {
  constexpr std::uint32_t kFive13 = 1220703125;  // 5^13
  for (; k >= 13; k -= 13) MultiplyAdd(x, kFive13, 0);
  if (k > 0) MultiplyAdd(x, static_cast<std::uint32_t>(PowerOfFive(static_cast<int>(k))), 0);
}

std::int64_t BitLength(const BigInt& x) {
  if (x.empty()) return 0;
  return static_cast<std::int64_t>(x.size()) * 32 - std::countl_zero(x.back());
}

BigInt ShiftedLeft(const BigInt& x, std::int64_t bits) {
  const auto limbs = static_cast<std::size_t>(bits / 32);
  const int rest = static_cast<int>(bits % 32);
  BigInt y(limbs, 0);
  y.reserve(limbs + x.size() + 1);
  std::uint32_t carry = 0;
  for (const std::uint32_t limb : x) {
    y.push_back(rest == 0 ? limb : (limb << rest) | carry);
    carry = rest == 0 ? 0 : limb >> (32 - rest);
  }
  if (carry != 0) y.push_back(carry);
  return y;
}

void ShiftRightOne(BigInt& x) {
  for (std::size_t i = 0; i < x.size(); ++i) {
    const std::uint32_t next = i + 1 < x.size() ? x[i + 1] : 0;
    x[i] = (x[i] >> 1) | (next << 31);
  }
  while (!x.empty() && x.back() == 0) x.pop_back();
}

bool LessThan(const BigInt& a, const BigInt& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i];
  }
  return false;
}

// a -= b for a >= b.
void SubtractFrom(BigInt& a, const BigInt& b) {
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::int64_t t = static_cast<std::int64_t>(a[i]) - borrow - (i < b.size() ? b[i] : 0);
    borrow = t < 0 ? 1 : 0;
    a[i] = static_cast<std::uint32_t>(t + (borrow << 32));
  }
  while (!a.empty() && a.back() == 0) a.pop_back();
}

// The top 128 bits of x (nonzero), left-aligned, with a sticky bit for the bits below.
U128 TopBits(const BigInt& x) {
  const std::int64_t length = BitLength(x);
  auto bitAt = [&](std::int64_t bit) {
    return ((x[static_cast<std::size_t>(bit / 32)] >> (bit % 32)) & 1) != 0;
  };
  U128 top;
  for (int k = 0; k < 128 && k < length; ++k) {
    if (!bitAt(length - 1 - k)) continue;
    if (k < 64) {
      top.hi |= detail::kTopBit >> k;
    } else {
      top.lo |= detail::kTopBit >> (k - 64);
    }
  }
  for (std::int64_t bit = length - 129; bit >= 0; --bit) {
    if (bitAt(bit)) {
      top.lo |= 1;
      break;
    }
  }
  return top;
}

Float80 FromSmall(std::uint64_t digits, int exponent, bool negative) {
  if (exponent == 0) return negative ? Negate(FromUint64(digits)) : FromUint64(digits);
  const int shift = std::countl_zero(digits);
  if (exponent > 0) {
    const U128 product = detail::Multiply64(digits, PowerOfFive(exponent));
    const int zeros = detail::CountLeadingZeros(product);
    return detail::RoundPack(negative, 127 - zeros + exponent, detail::ShiftLeft(product, zeros));
  }
  const std::uint64_t power = PowerOfFive(-exponent);
  const int powerShift = std::countl_zero(power);
  const detail::Quotient q = detail::DivideMantissas(digits << shift, power << powerShift);
  return detail::RoundPack(negative, q.adjust + powerShift - shift + exponent, q.magnitude);
}

Float80 FromBig(std::string_view digits, std::int64_t exponent, bool negative) {
  BigInt value = FromDigits(digits);
  if (exponent >= 0) {
    MultiplyByPowerOfFive(value, exponent);
    const std::int64_t length = BitLength(value);
    return detail::RoundPack(negative, static_cast<int>(length - 1 + exponent), TopBits(value));
  }
  // digits / 5^k / 2^k: 66 to 68 quotient bits by long division, the remainder as sticky.
  const std::int64_t k = -exponent;
  BigInt power{1};
  MultiplyByPowerOfFive(power, k);
  const std::int64_t s = BitLength(power) - BitLength(value) + 66;
  if (s > 0) value = ShiftedLeft(value, s);
  BigInt divisor = ShiftedLeft(power, (s < 0 ? -s : 0) + 67);
  U128 quotient;
  for (int bit = 67; bit >= 0; --bit) {
    if (!LessThan(value, divisor)) {
      SubtractFrom(value, divisor);
      bool carry = false;
      quotient = detail::Add(quotient, detail::ShiftLeft(U128{0, 1}, bit), carry);
    }
    ShiftRightOne(divisor);
  }
  const int zeros = detail::CountLeadingZeros(quotient);
  U128 magnitude = detail::ShiftLeft(quotient, zeros);
  if (!value.empty()) magnitude.lo |= 1;
  return detail::RoundPack(negative, static_cast<int>(127 - zeros - s - k), magnitude);
}

}  // namespace

Float80 FromDecimal(std::string_view digits, std::int64_t exponent, bool negative) {
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string_view::npos) return detail::Zero(negative);
  digits.remove_prefix(first);
  const std::size_t last = digits.find_last_not_of('0');
  // Far beyond any reachable result: clamping keeps the sums below from overflowing.
  constexpr std::int64_t kFar = std::int64_t{1} << 50;
  exponent = std::clamp<std::int64_t>(exponent, -kFar, kFar);
  exponent += static_cast<std::int64_t>(digits.size() - last - 1);
  digits = digits.substr(0, last + 1);
  const auto count = static_cast<std::int64_t>(digits.size());
  const std::int64_t lead = count + exponent;
  if (lead > kOverflowLead) return detail::Infinity(negative);
  if (lead < kUnderflowLead) return detail::Zero(negative);
  if (digits.size() <= 19 && exponent >= -kSmallPowerLimit && exponent <= kSmallPowerLimit) {
    std::uint64_t value = 0;
    for (const char c : digits) value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return FromSmall(value, static_cast<int>(exponent), negative);
  }
  if (digits.size() <= kMaxDigits) return FromBig(digits, exponent, negative);
  // The digits past the limit end with a nonzero one: a final 1 stands for them.
  std::string kept(digits.substr(0, kMaxDigits));
  kept.push_back('1');
  return FromBig(kept, exponent + count - static_cast<std::int64_t>(kMaxDigits) - 1, negative);
}

}  // namespace funzioni::soft
