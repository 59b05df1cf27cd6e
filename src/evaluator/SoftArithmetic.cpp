// +, -, *, /, square root, remainder, comparison, rounding to integers and scaling of the
// software extended arithmetic. Every finite result is formed exactly (or with a sticky bit for
// what lies beyond 128 bits) and rounded once by RoundPack.
#include "evaluator/SoftArithmetic.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "evaluator/SoftInternals.h"

namespace funzioni::soft {

using detail::U128;
using detail::Unpacked;
using Kind = detail::Unpacked::Kind;

namespace {

Float80 AddUnpacked(Float80 a, Unpacked ua, Float80 b, Unpacked ub) {
  if (detail::IsNanKind(ua) || detail::IsNanKind(ub)) return detail::PassNan(a, ua, b, ub);
  if (ua.kind == Kind::kInf) {
    if (ub.kind == Kind::kInf && ua.negative != ub.negative) return detail::DefaultNan();
    return detail::Infinity(ua.negative);
  }
  if (ub.kind == Kind::kInf) return detail::Infinity(ub.negative);
  if (ua.kind == Kind::kZero) {
    if (ub.kind == Kind::kZero) return detail::Zero(ua.negative && ub.negative);
    return detail::Pack(ub);
  }
  if (ub.kind == Kind::kZero) return detail::Pack(ua);
  if (ua.exponent < ub.exponent || (ua.exponent == ub.exponent && ua.mantissa < ub.mantissa)) {
    std::swap(ua, ub);
  }
  const U128 big{ua.mantissa, 0};
  const U128 small = detail::ShiftRightJam({ub.mantissa, 0}, ua.exponent - ub.exponent);
  if (ua.negative == ub.negative) {
    bool carry = false;
    U128 sum = detail::Add(big, small, carry);
    if (!carry) return detail::RoundPack(ua.negative, ua.exponent, sum);
    sum = detail::ShiftRightJam(sum, 1);
    sum.hi |= detail::kTopBit;
    return detail::RoundPack(ua.negative, ua.exponent + 1, sum);
  }
  const U128 difference = detail::Subtract(big, small);
  if (detail::IsZero(difference)) return detail::Zero(false);
  const int shift = detail::CountLeadingZeros(difference);
  return detail::RoundPack(ua.negative, ua.exponent - shift, detail::ShiftLeft(difference, shift));
}

// The integer square root of n (n >= 2^126) and whether n - root^2 exceeds root, which tells if
// the true root lies above root + 1/2 (it can never be exactly there).
struct Root {
  std::uint64_t root = 0;
  bool exact = false;
  bool aboveHalf = false;
};

Root IntegerSquareRoot(U128 n) {
  constexpr double kTwo64 = 18446744073709551616.0;
  const double estimate = std::sqrt(static_cast<double>(n.hi) * kTwo64 + static_cast<double>(n.lo));
  std::uint64_t r = estimate >= kTwo64 ? ~0ULL : static_cast<std::uint64_t>(estimate);
  // The estimate is within about 2^12 of the root: one correction step by (n - r^2) / 2r, in
  // doubles (the step is small, so its rounding only leaves the root off by one or two).
  const U128 square = detail::Multiply64(r, r);
  auto toDouble = [&](U128 x) {
    return static_cast<double>(x.hi) * kTwo64 + static_cast<double>(x.lo);
  };
  if (detail::Less(n, square)) {
    r -= static_cast<std::uint64_t>(toDouble(detail::Subtract(square, n)) / (2 * estimate));
  } else {
    const auto step =
        static_cast<std::uint64_t>(toDouble(detail::Subtract(n, square)) / (2 * estimate));
    r = step > ~0ULL - r ? ~0ULL : r + step;
  }
  while (detail::Less(n, detail::Multiply64(r, r))) --r;
  while (r != ~0ULL && !detail::Less(n, detail::Multiply64(r + 1, r + 1))) ++r;
  const U128 rest = detail::Subtract(n, detail::Multiply64(r, r));
  return {r, detail::IsZero(rest), detail::Less(U128{0, r}, rest)};
}

// The magnitude of a finite value's integral part in the given direction, as an unpacked value
// (kind kZero when it is 0).
Unpacked RoundUnpacked(Unpacked u, Rounding rounding) {
  const bool negative = u.negative;
  auto increments = [&](bool aboveHalf, bool atHalf, bool belowHalf, bool oddInteger) {
    const bool inexact = aboveHalf || atHalf || belowHalf;
    switch (rounding) {
      case Rounding::kNearestEven:
        return aboveHalf || (atHalf && oddInteger);
      case Rounding::kNearestAway:
        return aboveHalf || atHalf;
      case Rounding::kTowardZero:
        return false;
      case Rounding::kDown:
        return negative && inexact;
      case Rounding::kUp:
        return !negative && inexact;
    }
    return false;
  };
  if (u.exponent < 0) {
    const bool half = u.exponent == -1;
    const bool aboveHalf = half && u.mantissa > detail::kTopBit;
    const bool atHalf = half && u.mantissa == detail::kTopBit;
    if (!increments(aboveHalf, atHalf, !aboveHalf && !atHalf, false)) {
      return {Kind::kZero, negative, 0, 0};
    }
    return {Kind::kFinite, negative, 0, detail::kTopBit};
  }
  const int fractionBits = 63 - u.exponent;
  const std::uint64_t mask = (1ULL << fractionBits) - 1;
  const std::uint64_t fraction = u.mantissa & mask;
  const std::uint64_t half = 1ULL << (fractionBits - 1);
  std::uint64_t integer = u.mantissa >> fractionBits;
  if (increments(fraction > half, fraction == half, fraction != 0 && fraction < half,
                 (integer & 1) != 0)) {
    ++integer;
  }
  if ((integer >> (u.exponent + 1)) != 0)
    return {Kind::kFinite, negative, u.exponent + 1, detail::kTopBit};
  return {Kind::kFinite, negative, u.exponent, integer << fractionBits};
}

}  // namespace

Float80 Add(Float80 a, Float80 b) {
  return AddUnpacked(a, detail::Unpack(a), b, detail::Unpack(b));
}

Float80 Subtract(Float80 a, Float80 b) {
  Unpacked ub = detail::Unpack(b);
  ub.negative = !ub.negative;
  return AddUnpacked(a, detail::Unpack(a), b, ub);
}

Float80 Multiply(Float80 a, Float80 b) {
  const Unpacked ua = detail::Unpack(a), ub = detail::Unpack(b);
  if (detail::IsNanKind(ua) || detail::IsNanKind(ub)) return detail::PassNan(a, ua, b, ub);
  const bool negative = ua.negative != ub.negative;
  if (ua.kind == Kind::kInf || ub.kind == Kind::kInf) {
    if (ua.kind == Kind::kZero || ub.kind == Kind::kZero) return detail::DefaultNan();
    return detail::Infinity(negative);
  }
  if (ua.kind == Kind::kZero || ub.kind == Kind::kZero) return detail::Zero(negative);
  const U128 product = detail::Multiply64(ua.mantissa, ub.mantissa);
  if ((product.hi & detail::kTopBit) != 0) {
    return detail::RoundPack(negative, ua.exponent + ub.exponent + 1, product);
  }
  return detail::RoundPack(negative, ua.exponent + ub.exponent, detail::ShiftLeft(product, 1));
}

Float80 Divide(Float80 a, Float80 b) {
  const Unpacked ua = detail::Unpack(a), ub = detail::Unpack(b);
  if (detail::IsNanKind(ua) || detail::IsNanKind(ub)) return detail::PassNan(a, ua, b, ub);
  const bool negative = ua.negative != ub.negative;
  if (ua.kind == Kind::kInf) {
    return ub.kind == Kind::kInf ? detail::DefaultNan() : detail::Infinity(negative);
  }
  if (ub.kind == Kind::kInf) return detail::Zero(negative);
  if (ub.kind == Kind::kZero) {
    return ua.kind == Kind::kZero ? detail::DefaultNan() : detail::Infinity(negative);
  }
  if (ua.kind == Kind::kZero) return detail::Zero(negative);
  const detail::Quotient q = detail::DivideMantissas(ua.mantissa, ub.mantissa);
  return detail::RoundPack(negative, ua.exponent - ub.exponent + q.adjust, q.magnitude);
}

Float80 SquareRoot(Float80 a) {
  const Unpacked u = detail::Unpack(a);
  if (detail::IsNanKind(u)) return detail::PassNan(a, u);
  if (u.kind == Kind::kZero) return a;
  if (u.negative) return detail::DefaultNan();
  if (u.kind == Kind::kInf) return a;
  // value = n * 2^(2h) with n in [2^126, 2^128), so that sqrt(n) has exactly 64 bits.
  const bool odd = (u.exponent & 1) != 0;
  const U128 n = odd ? U128{u.mantissa, 0} : U128{u.mantissa >> 1, u.mantissa << 63};
  const int half = (u.exponent - 63 - (odd ? 64 : 63)) / 2;
  const Root root = IntegerSquareRoot(n);
  const std::uint64_t below = root.aboveHalf ? detail::kTopBit | 1 : (root.exact ? 0 : 1);
  return detail::RoundPack(false, half + 63, {root.root, below});
}

Float80 Remainder(Float80 a, Float80 b) {
  const Unpacked ua = detail::Unpack(a), ub = detail::Unpack(b);
  if (detail::IsNanKind(ua) || detail::IsNanKind(ub)) return detail::PassNan(a, ua, b, ub);
  if (ua.kind == Kind::kInf || ub.kind == Kind::kZero) return detail::DefaultNan();
  if (ua.kind == Kind::kZero) return a;
  if (ub.kind == Kind::kInf || ua.exponent < ub.exponent) return detail::Pack(ua);
  // ma * 2^(ea - eb) mod mb, up to 63 bits of the difference at a time.
  std::uint64_t r = ua.mantissa >= ub.mantissa ? ua.mantissa - ub.mantissa : ua.mantissa;
  for (int left = ua.exponent - ub.exponent; left > 0;) {
    const int step = std::min(left, 63);
    detail::Divide128By64(r >> (64 - step), r << step, ub.mantissa, r);
    left -= step;
  }
  if (r == 0) return detail::Zero(ua.negative);
  const int shift = std::countl_zero(r);
  return detail::RoundPack(ua.negative, ub.exponent - shift, {r << shift, 0});
}

Ordering Compare(Float80 a, Float80 b) {
  const Unpacked ua = detail::Unpack(a), ub = detail::Unpack(b);
  if (detail::IsNanKind(ua) || detail::IsNanKind(ub)) return Ordering::kUnordered;
  const bool zeroA = ua.kind == Kind::kZero, zeroB = ub.kind == Kind::kZero;
  if (zeroA && zeroB) return Ordering::kEqual;
  if (ua.negative != ub.negative) {
    if (zeroA) return ub.negative ? Ordering::kGreater : Ordering::kLess;
    if (zeroB) return ua.negative ? Ordering::kLess : Ordering::kGreater;
    return ua.negative ? Ordering::kLess : Ordering::kGreater;
  }
  // The same sign: order the magnitudes, zero < finite < infinity.
  auto rank = [](const Unpacked& u) {
    return u.kind == Kind::kZero ? 0 : u.kind == Kind::kInf ? 2 : 1;
  };
  int order = rank(ua) - rank(ub);
  if (order == 0 && ua.kind == Kind::kFinite) {
    if (ua.exponent != ub.exponent) {
      order = ua.exponent < ub.exponent ? -1 : 1;
    } else if (ua.mantissa != ub.mantissa) {
      order = ua.mantissa < ub.mantissa ? -1 : 1;
    }
  }
  if (ua.negative) order = -order;
  if (order == 0) return Ordering::kEqual;
  return order < 0 ? Ordering::kLess : Ordering::kGreater;
}

Float80 RoundToIntegral(Float80 a, Rounding rounding) {
  const Unpacked u = detail::Unpack(a);
  if (detail::IsNanKind(u)) return detail::PassNan(a, u);
  if (u.kind != Kind::kFinite) return a;
  if (u.exponent >= 63) return detail::Pack(u);
  const Unpacked rounded = RoundUnpacked(u, rounding);
  if (rounded.kind == Kind::kZero) return detail::Zero(u.negative);
  return detail::Pack(rounded);
}

Float80 Scale(Float80 a, int exponent) {
  const Unpacked u = detail::Unpack(a);
  if (detail::IsNanKind(u)) return detail::PassNan(a, u);
  if (u.kind != Kind::kFinite) return a;
  // Beyond +-70000 the result is infinity or zero whatever the mantissa.
  const int scaled = u.exponent + std::clamp(exponent, -70000, 70000);
  return detail::RoundPack(u.negative, scaled, {u.mantissa, 0});
}

}  // namespace funzioni::soft
