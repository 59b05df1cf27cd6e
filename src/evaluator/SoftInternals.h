// Helpers shared by the software extended arithmetic's files: 128-bit integers kept as two 64-bit
// halves (no compiler extension, so every processor runs the same code), the unpacked form of a
// number and the single rounding that every operation ends with.
#pragma once

#include <bit>
#include <cstdint>

#include "evaluator/Float80.h"

namespace funzioni::soft::detail {

inline constexpr std::uint64_t kTopBit = 0x8000000000000000ULL;

struct U128 {
  std::uint64_t hi = 0;
  std::uint64_t lo = 0;
};

inline U128 Multiply64(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t a0 = a & 0xFFFFFFFFULL, a1 = a >> 32;
  const std::uint64_t b0 = b & 0xFFFFFFFFULL, b1 = b >> 32;
  const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const std::uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFULL) + (p10 & 0xFFFFFFFFULL);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xFFFFFFFFULL)};
}

inline bool IsZero(U128 x) {
  return (x.hi | x.lo) == 0;
}

inline bool Less(U128 a, U128 b) {
  return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo;
}

inline U128 Add(U128 a, U128 b, bool& carry) {
  const std::uint64_t lo = a.lo + b.lo;
  const std::uint64_t hiPartial = a.hi + b.hi;
  const std::uint64_t hi = hiPartial + (lo < a.lo ? 1 : 0);
  carry = hiPartial < a.hi || hi < hiPartial;
  return {hi, lo};
}

// a - b, for a >= b.
inline U128 Subtract(U128 a, U128 b) {
  return {a.hi - b.hi - (a.lo < b.lo ? 1 : 0), a.lo - b.lo};
}

inline int CountLeadingZeros(U128 x) {
  return x.hi != 0 ? std::countl_zero(x.hi) : 64 + std::countl_zero(x.lo);
}

// x << n for 0 <= n < 128.
inline U128 ShiftLeft(U128 x, int n) {
  if (n == 0) return x;
  if (n >= 64) return {x.lo << (n - 64), 0};
  return {(x.hi << n) | (x.lo >> (64 - n)), x.lo << n};
}

// x >> n with every bit shifted out ORed into the lowest bit, so that rounding still sees them.
inline U128 ShiftRightJam(U128 x, int n) {
  if (n <= 0) return x;
  if (n < 64) {
    const std::uint64_t lost = x.lo << (64 - n);
    return {x.hi >> n, (x.hi << (64 - n)) | (x.lo >> n) | (lost != 0 ? 1 : 0)};
  }
  if (n == 64) return {0, x.hi | (x.lo != 0 ? 1 : 0)};
  if (n < 128) {
    const std::uint64_t lost = (x.hi << (128 - n)) | x.lo;
    return {0, (x.hi >> (n - 64)) | (lost != 0 ? 1 : 0)};
  }
  return {0, IsZero(x) ? 0U : 1U};
}

// (u1:u0) / v for a normalized v (top bit set) and u1 < v; the remainder goes to `remainder`.
// Two steps of 32-bit digits, so that only 64-bit hardware division is needed.
inline std::uint64_t Divide128By64(std::uint64_t u1, std::uint64_t u0, std::uint64_t v,
                                   std::uint64_t& remainder) {
  constexpr std::uint64_t kBase = 1ULL << 32;
  const std::uint64_t v1 = v >> 32, v0 = v & 0xFFFFFFFFULL;
  const std::uint64_t n1 = u0 >> 32, n0 = u0 & 0xFFFFFFFFULL;
  std::uint64_t q1 = u1 / v1;
  std::uint64_t rhat = u1 - q1 * v1;
  while (q1 >= kBase || q1 * v0 > ((rhat << 32) | n1)) {
    --q1;
    rhat += v1;
    if (rhat >= kBase) break;
  }
  const std::uint64_t u21 = (u1 << 32) + n1 - q1 * v;
  std::uint64_t q0 = u21 / v1;
  rhat = u21 - q0 * v1;
  while (q0 >= kBase || q0 * v0 > ((rhat << 32) | n0)) {
    --q0;
    rhat += v1;
    if (rhat >= kBase) break;
  }
  remainder = (u21 << 32) + n0 - q0 * v;
  return (q1 << 32) + q0;
}

// A number taken apart. For kFinite the value is mantissa * 2^(exponent - 63), with the mantissa
// normalized (top bit set) also for subnormal operands. kInvalid is an encoding that the x87
// rejects (an unnormal, a pseudo-infinity or pseudo-NaN): it gives the default NaN.
struct Unpacked {
  enum class Kind { kZero, kFinite, kInf, kNan, kInvalid };
  Kind kind = Kind::kZero;
  bool negative = false;
  int exponent = 0;
  std::uint64_t mantissa = 0;
};

inline Unpacked Unpack(Float80 a) {
  const bool negative = (a.signExponent & kFloat80SignBit) != 0;
  const int biased = a.signExponent & kFloat80ExponentMask;
  const std::uint64_t m = a.mantissa;
  using Kind = Unpacked::Kind;
  if (biased == kFloat80ExponentMask) {
    if ((m & kTopBit) == 0) return {Kind::kInvalid, negative, 0, m};
    return {(m << 1) == 0 ? Kind::kInf : Kind::kNan, negative, 0, m};
  }
  if (biased == 0) {
    if (m == 0) return {Kind::kZero, negative, 0, 0};
    const int shift = std::countl_zero(m);
    return {Kind::kFinite, negative, 1 - kFloat80Bias - shift, m << shift};
  }
  if ((m & kTopBit) == 0) return {Kind::kInvalid, negative, 0, m};
  return {Kind::kFinite, negative, biased - kFloat80Bias, m};
}

inline bool IsNanKind(const Unpacked& u) {
  return u.kind == Unpacked::Kind::kNan || u.kind == Unpacked::Kind::kInvalid;
}

inline Float80 DefaultNan() {
  return {0xC000000000000000ULL, 0xFFFF};
}

inline Float80 Infinity(bool negative) {
  return {kTopBit, static_cast<std::uint16_t>(negative ? 0xFFFF : 0x7FFF)};
}

inline Float80 Zero(bool negative) {
  return {0, static_cast<std::uint16_t>(negative ? kFloat80SignBit : 0)};
}

// The NaN that an operation with a NaN operand gives: the NaN quieted, or the default NaN for an
// encoding that the x87 rejects.
inline Float80 PassNan(Float80 a, const Unpacked& u) {
  if (u.kind == Unpacked::Kind::kInvalid) return DefaultNan();
  return {a.mantissa | 0x4000000000000000ULL, a.signExponent};
}

inline Float80 PassNan(Float80 a, const Unpacked& ua, Float80 b, const Unpacked& ub) {
  if (ua.kind == Unpacked::Kind::kInvalid || ub.kind == Unpacked::Kind::kInvalid) {
    return DefaultNan();
  }
  return IsNanKind(ua) ? PassNan(a, ua) : PassNan(b, ub);
}

// The value magnitude * 2^(exponent - 127), magnitude.hi's top bit set, rounded once to 64 bits
// (nearest, ties to even), through the subnormals and with overflow to infinity.
inline Float80 RoundPack(bool negative, int exponent, U128 magnitude) {
  int biased = exponent + kFloat80Bias;
  if (biased >= kFloat80ExponentMask) return Infinity(negative);
  if (biased <= 0) {
    magnitude = ShiftRightJam(magnitude, 1 - biased);
    biased = 0;
  }
  std::uint64_t q = magnitude.hi;
  if (magnitude.lo > kTopBit || (magnitude.lo == kTopBit && (q & 1) != 0)) {
    ++q;
    if (q == 0) {
      q = kTopBit;
      ++biased;
    }
  }
  if (biased == 0 && (q & kTopBit) != 0) biased = 1;
  if (biased >= kFloat80ExponentMask) return Infinity(negative);
  return {q, static_cast<std::uint16_t>(biased | (negative ? kFloat80SignBit : 0))};
}

// An unpacked finite value, packed again (exact unless it lies below the subnormals' reach).
inline Float80 Pack(const Unpacked& u) {
  return RoundPack(u.negative, u.exponent, {u.mantissa, 0});
}

// ma / mb for normalized mantissas: the quotient as magnitude * 2^(adjust - 127) with
// adjust 0 or -1; below the 64 quotient bits only the rounding bit and a sticky bit.
struct Quotient {
  U128 magnitude;
  int adjust = 0;
};

inline Quotient DivideMantissas(std::uint64_t ma, std::uint64_t mb) {
  const bool shifted = ma >= mb;
  const std::uint64_t u1 = shifted ? ma >> 1 : ma;
  const std::uint64_t u0 = shifted ? ma << 63 : 0;
  std::uint64_t remainder = 0;
  const std::uint64_t q = Divide128By64(u1, u0, mb, remainder);
  // Only the rounding bit and the sticky bit matter below q: the remainder against mb / 2.
  const std::uint64_t rest = mb - remainder;
  const std::uint64_t below = remainder > rest    ? kTopBit | 1
                              : remainder == rest ? kTopBit
                              : remainder != 0    ? 1
                                                  : 0;
  return {{q, below}, shifted ? 0 : -1};
}

}  // namespace funzioni::soft::detail
