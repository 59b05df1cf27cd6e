// The software extended type: the x87's 80-bit format worked out in integer arithmetic, so that
// it gives the same bits on every processor. Construction from integers and doubles is exact
// (and constexpr, for constants); every operation rounds once, to nearest with ties to even.
#pragma once

#include <bit>
#include <concepts>
#include <cstdint>

#include "evaluator/Float80.h"
#include "evaluator/SoftArithmetic.h"
#include "evaluator/SoftFunctions.h"

namespace funzioni {

namespace soft {

constexpr Float80 ExactFromUint64(std::uint64_t value, bool negative) {
  const std::uint16_t sign = negative ? kFloat80SignBit : 0;
  if (value == 0) return {0, sign};
  const int shift = std::countl_zero(value);
  return {value << shift, static_cast<std::uint16_t>(sign | (kFloat80Bias + 63 - shift))};
}

constexpr Float80 ExactFromDouble(double value) {
  const auto bits = __builtin_bit_cast(std::uint64_t, value);
  const bool negative = (bits >> 63) != 0;
  const std::uint16_t sign = negative ? kFloat80SignBit : 0;
  const auto field = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & 0xFFFFFFFFFFFFFULL;
  if (field == 0x7FF) {
    // Infinity keeps a zero fraction; a NaN stays quiet.
    const std::uint64_t nanBits = fraction == 0 ? 0 : (fraction << 11) | (1ULL << 62);
    return {(1ULL << 63) | nanBits, static_cast<std::uint16_t>(sign | kFloat80ExponentMask)};
  }
  if (field == 0) {
    if (fraction == 0) return {0, sign};
    // A subnormal double is a normal extended number.
    const int shift = std::countl_zero(fraction);
    return {fraction << shift,
            static_cast<std::uint16_t>(sign | (kFloat80Bias - 1022 - 52 + 63 - shift))};
  }
  return {(1ULL << 63) | (fraction << 11),
          static_cast<std::uint16_t>(sign | (field - 1023 + kFloat80Bias))};
}

}  // namespace soft

class SoftExtended {
 public:
  constexpr SoftExtended() = default;
  template <std::integral Integer>
  constexpr SoftExtended(Integer value)  // NOLINT: converts implicitly, as the hardware type does
      : bits_(value < 0 ? soft::ExactFromUint64(0 - static_cast<std::uint64_t>(value), true)
                        : soft::ExactFromUint64(static_cast<std::uint64_t>(value), false)) {}
  constexpr SoftExtended(double value) : bits_(soft::ExactFromDouble(value)) {}      // NOLINT
  constexpr SoftExtended(float value) : SoftExtended(static_cast<double>(value)) {}  // NOLINT
  // A long double literal means something else on each processor: constants are built from
  // their bits (ext::FromParts) instead.
  SoftExtended(long double) = delete;

  static constexpr SoftExtended FromBits(soft::Float80 bits) {
    SoftExtended a;
    a.bits_ = bits;
    return a;
  }
  constexpr soft::Float80 Bits() const { return bits_; }

  explicit operator float() const { return soft::ToFloat(bits_); }
  explicit operator double() const { return soft::ToDouble(bits_); }
  template <std::signed_integral Integer>
  explicit operator Integer() const {
    return static_cast<Integer>(soft::ToInt64(bits_));
  }
  template <std::unsigned_integral Integer>
  explicit operator Integer() const {
    return static_cast<Integer>(soft::ToUint64(bits_));
  }

  friend SoftExtended operator+(SoftExtended a, SoftExtended b) {
    return FromBits(soft::Add(a.bits_, b.bits_));
  }
  friend SoftExtended operator-(SoftExtended a, SoftExtended b) {
    return FromBits(soft::Subtract(a.bits_, b.bits_));
  }
  friend SoftExtended operator*(SoftExtended a, SoftExtended b) {
    return FromBits(soft::Multiply(a.bits_, b.bits_));
  }
  friend SoftExtended operator/(SoftExtended a, SoftExtended b) {
    return FromBits(soft::Divide(a.bits_, b.bits_));
  }
  friend SoftExtended operator-(SoftExtended a) { return FromBits(soft::Negate(a.bits_)); }
  friend SoftExtended operator+(SoftExtended a) { return a; }
  SoftExtended& operator+=(SoftExtended b) { return *this = *this + b; }
  SoftExtended& operator-=(SoftExtended b) { return *this = *this - b; }
  SoftExtended& operator*=(SoftExtended b) { return *this = *this * b; }
  SoftExtended& operator/=(SoftExtended b) { return *this = *this / b; }
  SoftExtended& operator++() { return *this = *this + 1; }
  SoftExtended& operator--() { return *this = *this - 1; }

  friend bool operator==(SoftExtended a, SoftExtended b) {
    return soft::Compare(a.bits_, b.bits_) == soft::Ordering::kEqual;
  }
  friend bool operator<(SoftExtended a, SoftExtended b) {
    return soft::Compare(a.bits_, b.bits_) == soft::Ordering::kLess;
  }
  friend bool operator>(SoftExtended a, SoftExtended b) {
    return soft::Compare(a.bits_, b.bits_) == soft::Ordering::kGreater;
  }
  friend bool operator<=(SoftExtended a, SoftExtended b) {
    const soft::Ordering order = soft::Compare(a.bits_, b.bits_);
    return order == soft::Ordering::kLess || order == soft::Ordering::kEqual;
  }
  friend bool operator>=(SoftExtended a, SoftExtended b) {
    const soft::Ordering order = soft::Compare(a.bits_, b.bits_);
    return order == soft::Ordering::kGreater || order == soft::Ordering::kEqual;
  }

 private:
  soft::Float80 bits_;
};

namespace ext {

using Extended = SoftExtended;

inline Extended Sin(Extended a) {
  return Extended::FromBits(soft::Sin(a.Bits()));
}
inline Extended Cos(Extended a) {
  return Extended::FromBits(soft::Cos(a.Bits()));
}
inline Extended Atan(Extended a) {
  return Extended::FromBits(soft::Atan(a.Bits()));
}
inline Extended Asin(Extended a) {
  return Extended::FromBits(soft::Asin(a.Bits()));
}
inline Extended Acos(Extended a) {
  return Extended::FromBits(soft::Acos(a.Bits()));
}
inline Extended Exp(Extended a) {
  return Extended::FromBits(soft::Exp(a.Bits()));
}
inline Extended Exp2(Extended a) {
  return Extended::FromBits(soft::Exp2(a.Bits()));
}
inline Extended Log(Extended a) {
  return Extended::FromBits(soft::Log(a.Bits()));
}
inline Extended Log2(Extended a) {
  return Extended::FromBits(soft::Log2(a.Bits()));
}
inline Extended Log10(Extended a) {
  return Extended::FromBits(soft::Log10(a.Bits()));
}
inline Extended Pow(Extended base, Extended exponent) {
  return Extended::FromBits(soft::Pow(base.Bits(), exponent.Bits()));
}
inline Extended Sqrt(Extended a) {
  return Extended::FromBits(soft::SquareRoot(a.Bits()));
}
inline Extended Fabs(Extended a) {
  return Extended::FromBits(soft::Absolute(a.Bits()));
}
inline Extended Trunc(Extended a) {
  return Extended::FromBits(soft::RoundToIntegral(a.Bits(), soft::Rounding::kTowardZero));
}
inline Extended Floor(Extended a) {
  return Extended::FromBits(soft::RoundToIntegral(a.Bits(), soft::Rounding::kDown));
}
inline Extended Ceil(Extended a) {
  return Extended::FromBits(soft::RoundToIntegral(a.Bits(), soft::Rounding::kUp));
}
inline Extended Nearbyint(Extended a) {
  return Extended::FromBits(soft::RoundToIntegral(a.Bits(), soft::Rounding::kNearestEven));
}
inline Extended Round(Extended a) {
  return Extended::FromBits(soft::RoundToIntegral(a.Bits(), soft::Rounding::kNearestAway));
}
inline Extended Fmod(Extended a, Extended b) {
  return Extended::FromBits(soft::Remainder(a.Bits(), b.Bits()));
}
inline Extended Ldexp(Extended a, int exponent) {
  return Extended::FromBits(soft::Scale(a.Bits(), exponent));
}
inline bool IsNan(Extended a) {
  return soft::IsNan(a.Bits());
}
inline bool IsInf(Extended a) {
  return soft::IsInf(a.Bits());
}
inline bool IsFinite(Extended a) {
  return (a.Bits().signExponent & soft::kFloat80ExponentMask) != soft::kFloat80ExponentMask;
}
inline constexpr Extended Infinity() {
  return Extended::FromBits({1ULL << 63, soft::kFloat80ExponentMask});
}
inline constexpr Extended QuietNan() {
  return Extended::FromBits({3ULL << 62, soft::kFloat80ExponentMask});
}
inline constexpr soft::Float80 Bits(Extended a) {
  return a.Bits();
}
inline constexpr Extended FromBits(soft::Float80 bits) {
  return Extended::FromBits(bits);
}

// significand * 2^exponent, exact for a normal result.
inline constexpr Extended FromParts(std::uint64_t significand, int exponent) {
  if (significand == 0) return Extended::FromBits({});
  const int shift = std::countl_zero(significand);
  return Extended::FromBits(
      {significand << shift,
       static_cast<std::uint16_t>(soft::kFloat80Bias + 63 - shift + exponent)});
}

}  // namespace ext

}  // namespace funzioni
