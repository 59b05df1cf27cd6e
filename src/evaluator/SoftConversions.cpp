// Conversions between the software extended numbers and integers, float and double.
#include <bit>
#include <cstring>

#include "evaluator/SoftArithmetic.h"
#include "evaluator/SoftInternals.h"

namespace funzioni::soft {

using detail::Unpacked;
using Kind = detail::Unpacked::Kind;

namespace {

Float80 FromMagnitude(bool negative, std::uint64_t magnitude) {
  if (magnitude == 0) return detail::Zero(negative);
  const int shift = std::countl_zero(magnitude);
  return {magnitude << shift, static_cast<std::uint16_t>((63 - shift + kFloat80Bias) |
                                                         (negative ? kFloat80SignBit : 0))};
}

// A binary interchange format: `precision` significand bits (the hidden one included).
struct Format {
  int precision;
  int minExponent;
  int maxExponent;
};

// A finite nonzero value rounded once to the format: its bits without the sign.
std::uint64_t RoundToFormat(const Unpacked& u, Format format) {
  const int bias = format.maxExponent;
  const int fractionBits = format.precision - 1;
  const std::uint64_t infinity = static_cast<std::uint64_t>(2 * bias + 1) << fractionBits;
  int exponent = u.exponent;
  if (exponent > format.maxExponent) return infinity;
  // Below the normal range the significand loses one bit per step down (the subnormals).
  const int lost = exponent < format.minExponent ? format.minExponent - exponent : 0;
  if (lost > 0) exponent = format.minExponent;
  const int shift = 64 - format.precision + lost;
  std::uint64_t kept = 0;
  if (shift < 64) {
    kept = u.mantissa >> shift;
    const std::uint64_t rest = u.mantissa & ((1ULL << shift) - 1);
    const std::uint64_t half = 1ULL << (shift - 1);
    if (rest > half || (rest == half && (kept & 1) != 0)) ++kept;
  } else if (shift == 64 && u.mantissa > detail::kTopBit) {
    kept = 1;  // above half of the smallest subnormal
  }
  if (kept >> format.precision) {
    kept >>= 1;
    ++exponent;
  }
  if (exponent > format.maxExponent) return infinity;
  const std::uint64_t hidden = 1ULL << fractionBits;
  if ((kept & hidden) == 0) return kept;  // subnormal or zero
  return (static_cast<std::uint64_t>(exponent + bias) << fractionBits) | (kept - hidden);
}

}  // namespace

Float80 FromInt64(std::int64_t value) {
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  return FromMagnitude(negative, magnitude);
}

Float80 FromUint64(std::uint64_t value) {
  return FromMagnitude(false, value);
}

Float80 FromDouble(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const auto sign = static_cast<std::uint16_t>(negative ? kFloat80SignBit : 0);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((1ULL << 52) - 1);
  if (biased == 0x7FF) {
    if (fraction == 0) return detail::Infinity(negative);
    return {0xC000000000000000ULL | (fraction << 11), static_cast<std::uint16_t>(sign | 0x7FFF)};
  }
  if (biased == 0) {
    if (fraction == 0) return detail::Zero(negative);
    const int shift = std::countl_zero(fraction);
    return {fraction << shift, static_cast<std::uint16_t>(sign | (-1011 - shift + kFloat80Bias))};
  }
  return {detail::kTopBit | (fraction << 11),
          static_cast<std::uint16_t>(sign | (biased - 1023 + kFloat80Bias))};
}

Float80 FromFloat(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 31) != 0;
  const auto sign = static_cast<std::uint16_t>(negative ? kFloat80SignBit : 0);
  const int biased = static_cast<int>((bits >> 23) & 0xFF);
  const std::uint64_t fraction = bits & ((1U << 23) - 1);
  if (biased == 0xFF) {
    if (fraction == 0) return detail::Infinity(negative);
    return {0xC000000000000000ULL | (fraction << 40), static_cast<std::uint16_t>(sign | 0x7FFF)};
  }
  if (biased == 0) {
    if (fraction == 0) return detail::Zero(negative);
    const int shift = std::countl_zero(fraction);
    return {fraction << shift, static_cast<std::uint16_t>(sign | (-86 - shift + kFloat80Bias))};
  }
  return {detail::kTopBit | (fraction << 40),
          static_cast<std::uint16_t>(sign | (biased - 127 + kFloat80Bias))};
}

double ToDouble(Float80 a) {
  const Unpacked u = detail::Unpack(a);
  const std::uint64_t sign = u.negative ? 1ULL << 63 : 0;
  std::uint64_t bits = 0;
  switch (u.kind) {
    case Kind::kZero:
      bits = sign;
      break;
    case Kind::kInf:
      bits = sign | 0x7FF0000000000000ULL;
      break;
    case Kind::kNan:
    case Kind::kInvalid:
      bits = 0xFFF8000000000000ULL | ((a.mantissa & ((1ULL << 62) - 1)) >> 11);
      break;
    case Kind::kFinite:
      bits = sign | RoundToFormat(u, {53, -1022, 1023});
      break;
  }
  double result = 0;
  std::memcpy(&result, &bits, sizeof result);
  return result;
}

float ToFloat(Float80 a) {
  const Unpacked u = detail::Unpack(a);
  const std::uint32_t sign = u.negative ? 1U << 31 : 0;
  std::uint32_t bits = 0;
  switch (u.kind) {
    case Kind::kZero:
      bits = sign;
      break;
    case Kind::kInf:
      bits = sign | 0x7F800000U;
      break;
    case Kind::kNan:
    case Kind::kInvalid:
      bits = 0xFFC00000U | static_cast<std::uint32_t>((a.mantissa & ((1ULL << 62) - 1)) >> 40);
      break;
    case Kind::kFinite:
      bits = sign | static_cast<std::uint32_t>(RoundToFormat(u, {24, -126, 127}));
      break;
  }
  float result = 0;
  std::memcpy(&result, &bits, sizeof result);
  return result;
}

std::int64_t ToInt64(Float80 a) {
  constexpr auto kIndefinite = static_cast<std::int64_t>(detail::kTopBit);
  const Unpacked u = detail::Unpack(a);
  if (u.kind == Kind::kZero) return 0;
  if (u.kind != Kind::kFinite || u.exponent >= 63) return kIndefinite;
  if (u.exponent < 0) return 0;
  const std::uint64_t magnitude = u.mantissa >> (63 - u.exponent);
  return u.negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
}

std::uint64_t ToUint64(Float80 a) {
  const Unpacked u = detail::Unpack(a);
  if (u.kind == Kind::kZero) return 0;
  if (u.kind != Kind::kFinite) return detail::kTopBit;
  if (u.exponent < 0) return 0;
  if (u.negative || u.exponent >= 64) return detail::kTopBit;
  return u.mantissa >> (63 - u.exponent);
}

}  // namespace funzioni::soft
