// What the decimal reader finds at the start of a text, before it works out the value.
#pragma once

#include "evaluator/Extended.h"

#include <cstdint>
#include <string_view>

namespace funzioni::detail {

struct DecimalScan {
  bool negative = false;
  bool anyDigit = false;
  std::uint64_t digits = 0;  // the first (at most 19) significant digits
  int significant = 0;       // how many of them
  bool sticky = false;       // a nonzero digit beyond them
  long long power = 0;       // value = digits * 10^power (plus the sticky rest)
  long long exponent = 0;    // the exponent as written
  bool point = false;        // the mantissa has a decimal point
  std::size_t mantissaStart = 0;
  std::size_t mantissaEnd = 0;
  std::size_t consumed = 0;  // characters that belong to the number (0 without digits)
};

DecimalScan ScanDecimal(std::string_view text);

// The scanned number, correctly rounded to the extended format.
Extended ValueOf(const DecimalScan& scan, std::string_view text);

}  // namespace funzioni::detail
