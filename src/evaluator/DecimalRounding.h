// Exact rounding of a binary floating-point value to a number of significant decimal digits.
#pragma once

#include "evaluator/Extended.h"

#include <cstdint>

namespace funzioni::detail {

// value = digits * 10^exponent, with exactly `count` digits (10^(count-1) <= digits < 10^count).
struct DecimalDigits {
  std::uint64_t digits = 0;
  int exponent = 0;
};

// Rounds the exact value of a finite, positive extended value to `count` (1..18) significant
// digits, ties to the even digit.
DecimalDigits RoundToDecimal(Extended value, int count);
// The same for a finite, positive float, read from its bits.
DecimalDigits RoundToDecimal(float value, int count);

// The same rounding by the general method alone (wide integers for every value): slower, and
// the reference that the quicker ways of RoundToDecimal are checked against.
DecimalDigits RoundToDecimalWide(Extended value, int count);

}  // namespace funzioni::detail
