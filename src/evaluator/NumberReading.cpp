#include "evaluator/NumberReading.h"

#include "evaluator/DecimalScan.h"

#include <locale.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace funzioni {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Powers of ten that a long double holds exactly (5^27 still fits in 64 bits).
constexpr long double kExactPowersOfTen[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                             1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                             1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L,
                                             1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
constexpr int kLargestExactPower = 27;
constexpr int kMaxExactDigits = 19;  // any 19-digit whole number fits in the 64-bit mantissa
constexpr long long kExponentCap = 1'000'000'000'000'000LL;

// The C library's reader is exact for every input but follows the process locale, which a
// toolkit may set to one with a decimal comma; read in the "C" locale instead.
locale_t ClassicLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

namespace detail {

DecimalScan ScanDecimal(std::string_view text) {
  DecimalScan scan;
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    scan.negative = text[i] == '-';
    ++i;
  }
  scan.mantissaStart = i;
  long long scale = 0;  // value = digits * 10^(scale + exponent), before the sticky rest
  for (; i < n && IsDigit(text[i]); ++i) {
    scan.anyDigit = true;
    const int d = text[i] - '0';
    if (scan.significant == 0 && d == 0) continue;
    if (scan.significant < kMaxExactDigits) {
      scan.digits = scan.digits * 10 + static_cast<std::uint64_t>(d);
      ++scan.significant;
    } else {
      ++scale;
      scan.sticky = scan.sticky || d != 0;
    }
  }
  if (i < n && text[i] == '.') {
    for (++i; i < n && IsDigit(text[i]); ++i) {
      scan.anyDigit = true;
      const int d = text[i] - '0';
      if (scan.significant == 0 && d == 0) {
        --scale;
        continue;
      }
      if (scan.significant < kMaxExactDigits) {
        scan.digits = scan.digits * 10 + static_cast<std::uint64_t>(d);
        ++scan.significant;
        --scale;
      } else {
        scan.sticky = scan.sticky || d != 0;
      }
    }
  }
  if (!scan.anyDigit) return scan;
  scan.mantissaEnd = i;

  long long exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    bool exponentNegative = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) {
      exponentNegative = text[j] == '-';
      ++j;
    }
    if (j < n && IsDigit(text[j])) {
      for (; j < n && IsDigit(text[j]); ++j) {
        if (exponent < kExponentCap) exponent = exponent * 10 + (text[j] - '0');
      }
      if (exponentNegative) exponent = -exponent;
      i = j;
    }
  }
  scan.exponent = exponent;
  scan.power = scale + exponent;
  scan.consumed = i;
  return scan;
}

long double ValueOf(const DecimalScan& scan, std::string_view text) {
  if (!scan.anyDigit) return 0.0L;
  long double value;
  if (scan.digits == 0) {
    value = 0.0L;
  } else if (!scan.sticky && scan.power >= -kLargestExactPower &&
             scan.power <= kLargestExactPower) {
    // Both factors are exact, so the one operation rounds correctly.
    const long double whole = static_cast<long double>(scan.digits);
    value = scan.power >= 0 ? whole * kExactPowersOfTen[scan.power]
                            : whole / kExactPowersOfTen[-scan.power];
  } else {
    std::string plain(text.substr(scan.mantissaStart, scan.mantissaEnd - scan.mantissaStart));
    plain += 'e';
    plain += std::to_string(scan.exponent);
    value = strtold_l(plain.c_str(), nullptr, ClassicLocale());
  }
  return scan.negative ? -value : value;
}

}  // namespace detail

long double ReadNumber(std::string_view text) {
  return detail::ValueOf(detail::ScanDecimal(text), text);
}

long double ReadNumber(std::string_view text, std::size_t& consumed) {
  const detail::DecimalScan scan = detail::ScanDecimal(text);
  consumed = scan.consumed;
  return detail::ValueOf(scan, text);
}

}  // namespace funzioni
