#include "evaluator/NumberReading.h"

#include "evaluator/DecimalScan.h"

#include <locale.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace funzioni {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr int kMaxExactDigits = 19;  // any 19-digit whole number fits in the 64-bit mantissa
constexpr long long kExponentCap = 1'000'000'000'000'000LL;

// Reads eight digits at once when the next eight characters are all digits: the numbers that the
// engine writes have up to 18 of them.
bool ReadEightDigits(const char* p, const char* end, std::uint64_t& value) {
  if (end - p < 8) return false;
  std::uint64_t chunk;
  std::memcpy(&chunk, p, sizeof chunk);
  // Each byte in "0".."9": its high half is 3, and still 3 after adding 6.
  constexpr std::uint64_t kHighHalves = 0xF0F0F0F0F0F0F0F0ULL;
  const std::uint64_t high =
      (chunk & kHighHalves) | (((chunk + 0x0606060606060606ULL) & kHighHalves) >> 4);
  if (high != 0x3333333333333333ULL) return false;
  // Pairs, then quadruples, then all eight (first character in the lowest byte).
  chunk = ((chunk & 0x0F0F0F0F0F0F0F0FULL) * 2561) >> 8;
  chunk = ((chunk & 0x00FF00FF00FF00FFULL) * 6553601) >> 16;
  value = ((chunk & 0x0000FFFF0000FFFFULL) * 42949672960001ULL) >> 32;
  return true;
}

#if FUNZIONI_SOFT_EXTENDED

// Digits with at most one point, times 10^exponent, correctly rounded.
Extended ReadLongDecimal(std::string_view mantissa, long long exponent) {
  std::string digits;
  digits.reserve(mantissa.size());
  for (const char c : mantissa) {
    if (c == '.') {
      exponent -= static_cast<long long>(mantissa.size() - digits.size() - 1);
    } else {
      digits += c;
    }
  }
  if (digits.empty()) return 0;
  return Extended::FromBits(soft::FromDecimal(digits, exponent, false));
}

#else

// The C library's reader is exact for every input but follows the process locale, which a
// toolkit may set to one with a decimal comma; read in the "C" locale instead.
locale_t ClassicLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

Extended ReadLongDecimal(std::string_view mantissa, long long exponent) {
  std::string plain(mantissa);
  plain += 'e';
  plain += std::to_string(exponent);
  return strtold_l(plain.c_str(), nullptr, ClassicLocale());
}

#endif

struct ExponentScan {
  long long value = 0;
  const char* stop = nullptr;  // just past the exponent, or where it would have begun
};

// The exponent after a mantissa that starts at `p`: "E", "e", "D" or "d", an optional sign and
// at least one digit (without a digit the letter is not part of the number). Its magnitude stops
// growing at a cap far beyond any finite result, so that it cannot overflow.
ExponentScan ScanExponent(const char* p, const char* end) {
  ExponentScan exponent{0, p};
  if (p == end || (*p != 'E' && *p != 'e' && *p != 'D' && *p != 'd')) return exponent;
  const char* q = p + 1;
  bool negative = false;
  if (q < end && (*q == '+' || *q == '-')) {
    negative = *q == '-';
    ++q;
  }
  if (q == end || !IsDigit(*q)) return exponent;
  for (; q < end && IsDigit(*q); ++q) {
    if (exponent.value < kExponentCap) exponent.value = exponent.value * 10 + (*q - '0');
  }
  if (negative) exponent.value = -exponent.value;
  exponent.stop = q;
  return exponent;
}

}  // namespace

namespace detail {

DecimalScan ScanDecimal(std::string_view text) {
  DecimalScan scan;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* p = begin;
  while (p < end && (*p == ' ' || *p == '\t' || *p == '\n')) ++p;
  if (p < end && (*p == '+' || *p == '-')) {
    scan.negative = *p == '-';
    ++p;
  }
  scan.mantissaStart = static_cast<std::size_t>(p - begin);
  // Kept in locals while scanning: value = digits * 10^(scale + exponent), before the sticky rest.
  std::uint64_t digits = 0;
  int significant = 0;
  bool sticky = false;
  long long scale = 0;
  const char* const integerStart = p;
  while (p < end && *p == '0') ++p;  // leading zeros carry nothing
  std::uint64_t eight = 0;
  while (significant + 8 <= kMaxExactDigits && ReadEightDigits(p, end, eight)) {
    digits = digits * 100'000'000 + eight;
    significant += 8;
    p += 8;
  }
  for (; p < end && IsDigit(*p); ++p) {
    if (significant < kMaxExactDigits) {
      digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
      ++significant;
    } else {
      ++scale;
      sticky = sticky || *p != '0';
    }
  }
  bool anyDigit = p != integerStart;
  if (p < end && *p == '.') {
    scan.point = true;
    const char* const fractionStart = ++p;
    if (significant == 0) {
      while (p < end && *p == '0') ++p;
      scale -= p - fractionStart;
    }
    while (significant + 8 <= kMaxExactDigits && ReadEightDigits(p, end, eight)) {
      digits = digits * 100'000'000 + eight;
      significant += 8;
      scale -= 8;
      p += 8;
    }
    for (; p < end && IsDigit(*p); ++p) {
      if (significant < kMaxExactDigits) {
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
        ++significant;
        --scale;
      } else {
        sticky = sticky || *p != '0';
      }
    }
    anyDigit = anyDigit || p != fractionStart;
  }
  scan.anyDigit = anyDigit;
  scan.digits = digits;
  scan.significant = significant;
  scan.sticky = sticky;
  if (!anyDigit) return scan;
  scan.mantissaEnd = static_cast<std::size_t>(p - begin);

  const ExponentScan exponent = ScanExponent(p, end);
  scan.exponent = exponent.value;
  scan.power = scale + exponent.value;
  scan.consumed = static_cast<std::size_t>(exponent.stop - begin);
  return scan;
}

Extended ValueOf(const DecimalScan& scan, std::string_view text) {
  if (!scan.anyDigit) return 0;
  Extended value;
  if (scan.digits == 0) {
    value = 0;
  } else if (!scan.sticky && scan.power >= -detail::kLargestExactPower &&
             scan.power <= detail::kLargestExactPower) {
    // Both factors are exact, so the one operation rounds correctly.
    const Extended whole = static_cast<Extended>(scan.digits);
    value = scan.power >= 0 ? whole * detail::kExactPowersOfTen[scan.power]
                            : whole / detail::kExactPowersOfTen[-scan.power];
  } else {
    value = ReadLongDecimal(text.substr(scan.mantissaStart, scan.mantissaEnd - scan.mantissaStart),
                            scan.exponent);
  }
  return scan.negative ? -value : value;
}

}  // namespace detail

Extended ReadNumber(std::string_view text) {
  return detail::ValueOf(detail::ScanDecimal(text), text);
}

Extended ReadNumber(std::string_view text, std::size_t& consumed) {
  const detail::DecimalScan scan = detail::ScanDecimal(text);
  consumed = scan.consumed;
  return detail::ValueOf(scan, text);
}

std::optional<float> ReadArgumentNumber(std::string_view text, ArgumentSyntax syntax) {
  if (syntax == ArgumentSyntax::Plain) {
    // The plain syntax is the reader's without what it takes beyond that.
    if (text.empty() || text.front() == ' ' || text.front() == '\t' || text.front() == '\n') {
      return std::nullopt;
    }
    if (text.find_first_of("Dd") != std::string_view::npos) return std::nullopt;
  }
  std::size_t consumed = 0;
  const Extended value = ReadNumber(text, consumed);
  if (consumed == 0 || consumed != text.size()) return std::nullopt;
  return static_cast<float>(value);
}

}  // namespace funzioni
