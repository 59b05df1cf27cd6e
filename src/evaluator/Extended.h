// The engine's extended precision: a 64-bit mantissa and a 15-bit exponent, every operation
// rounded to nearest with ties to even. On x86-64 it is the hardware's long double; elsewhere
// (and wherever FUNZIONI_SOFT_EXTENDED is set) the software type in SoftExtended.h, so that every
// processor gives the same bits. Code that means "extended" uses `Extended` and the functions of
// `ext` below, never long double or the C library's long double functions directly.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

#include "evaluator/Float80.h"

#if FUNZIONI_SOFT_EXTENDED
#include "evaluator/SoftExtended.h"
#else
#include <cmath>
#include <cstdlib>
#endif

namespace funzioni {

#if FUNZIONI_SOFT_EXTENDED

using Extended = SoftExtended;

#else

static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "long double is not the 80-bit format here: configure with FUNZIONI_SOFT_EXTENDED");
using Extended = long double;

namespace ext {

inline Extended Sin(Extended a) {
  return std::sin(a);
}
inline Extended Cos(Extended a) {
  return std::cos(a);
}
inline Extended Atan(Extended a) {
  return std::atan(a);
}
inline Extended Asin(Extended a) {
  return std::asin(a);
}
inline Extended Acos(Extended a) {
  return std::acos(a);
}
inline Extended Exp(Extended a) {
  return std::exp(a);
}
inline Extended Exp2(Extended a) {
  return std::exp2(a);
}
inline Extended Log(Extended a) {
  return std::log(a);
}
inline Extended Log2(Extended a) {
  return std::log2(a);
}
inline Extended Log10(Extended a) {
  return std::log10(a);
}
inline Extended Pow(Extended base, Extended exponent) {
  return std::pow(base, exponent);
}
inline Extended Sqrt(Extended a) {
  return std::sqrt(a);
}
inline Extended Fabs(Extended a) {
  return std::fabs(a);
}
inline Extended Trunc(Extended a) {
  return std::trunc(a);
}
inline Extended Floor(Extended a) {
  return std::floor(a);
}
inline Extended Ceil(Extended a) {
  return std::ceil(a);
}
// To the nearest whole number, ties to even (the program never changes the rounding mode).
inline Extended Nearbyint(Extended a) {
  return std::nearbyint(a);
}
// To the nearest whole number, ties away from zero.
inline Extended Round(Extended a) {
  return std::round(a);
}
inline Extended Fmod(Extended a, Extended b) {
  return std::fmod(a, b);
}
inline Extended Ldexp(Extended a, int exponent) {
  return std::ldexp(a, exponent);
}
inline bool IsNan(Extended a) {
  return std::isnan(a);
}
inline bool IsInf(Extended a) {
  return std::isinf(a);
}
inline bool IsFinite(Extended a) {
  return std::isfinite(a);
}
inline constexpr Extended Infinity() {
  return std::numeric_limits<long double>::infinity();
}
inline constexpr Extended QuietNan() {
  return std::numeric_limits<long double>::quiet_NaN();
}

// The value's bits in the x87's memory layout.
inline soft::Float80 Bits(Extended a) {
  soft::Float80 bits;
  std::memcpy(&bits.mantissa, &a, sizeof bits.mantissa);
  std::memcpy(&bits.signExponent, reinterpret_cast<const char*>(&a) + 8, sizeof bits.signExponent);
  return bits;
}
inline Extended FromBits(soft::Float80 bits) {
  Extended a = 0;
  std::memcpy(&a, &bits.mantissa, sizeof bits.mantissa);
  std::memcpy(reinterpret_cast<char*>(&a) + 8, &bits.signExponent, sizeof bits.signExponent);
  return a;
}

// significand * 2^exponent, exact for a normal result: for constants that a decimal literal would
// give differently on other processors.
inline constexpr Extended FromParts(std::uint64_t significand, int exponent) {
  Extended scale = 1;
  for (; exponent > 0; --exponent) scale *= 2;
  for (; exponent < 0; ++exponent) scale /= 2;
  return static_cast<Extended>(significand) * scale;
}

}  // namespace ext

#endif

}  // namespace funzioni
