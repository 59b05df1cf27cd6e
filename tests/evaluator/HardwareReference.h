// The processor's own 80-bit long double, where it has one, as an independent reference for the
// extended type (on x86-64 the default build's `Extended` is that very type; the software one
// must agree with it bit for bit).
#pragma once

#include <cstring>
#include <limits>

#include "evaluator/Extended.h"

namespace funzioni::reference {

inline constexpr bool kHardwareHasExtended =
    std::numeric_limits<long double>::digits == 64 &&
    std::numeric_limits<long double>::max_exponent == 16384;

inline Extended FromHardware(long double value) {
  soft::Float80 bits;
  std::memcpy(&bits.mantissa, &value, sizeof bits.mantissa);
  std::memcpy(&bits.signExponent, reinterpret_cast<const char*>(&value) + 8,
              sizeof bits.signExponent);
  return ext::FromBits(bits);
}

inline long double ToHardware(Extended value) {
  const soft::Float80 bits = ext::Bits(value);
  long double out = 0;
  std::memcpy(&out, &bits.mantissa, sizeof bits.mantissa);
  std::memcpy(reinterpret_cast<char*>(&out) + 8, &bits.signExponent, sizeof bits.signExponent);
  return out;
}

inline bool SameBits(Extended a, Extended b) {
  return ext::Bits(a) == ext::Bits(b);
}

}  // namespace funzioni::reference
