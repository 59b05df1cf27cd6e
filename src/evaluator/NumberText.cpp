#include "evaluator/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "evaluator/DecimalRounding.h"
#include "evaluator/DecimalScan.h"
#include "evaluator/NumberWriting.h"
#include "evaluator/TypedText.h"

namespace funzioni {

namespace detail {

namespace {

constexpr std::string_view kNegativeInfinityText = "-9.99999999999999999E+998";
static_assert(kNegativeInfinityText.substr(1) == kInfinityText);

// What is written without figures: "0" for zero, negative zero and NaN, and the stand-in for an
// infinite value; empty for any other value.
std::string_view SpecialText(bool zeroOrNan, bool infinite, bool negative) {
  if (zeroOrNan) return "0";
  if (!infinite) return {};
  return negative ? kNegativeInfinityText : kInfinityText;
}

}  // namespace

NumberChars WriteNumber(Extended value, int digits) {
  const std::string_view special =
      SpecialText(ext::IsNan(value) || value == 0, ext::IsInf(value), value < 0);
  if (!special.empty()) return NumberChars(special);
  const DecimalDigits rounded = RoundToDecimal(ext::Fabs(value), digits);
  return LayOut(value < 0, rounded.digits, rounded.exponent, digits);
}

NumberChars WriteNumber(float value, int digits) {
  const std::string_view special =
      SpecialText(std::isnan(value) || value == 0, std::isinf(value), value < 0);
  if (!special.empty()) return NumberChars(special);
  const DecimalDigits rounded = RoundToDecimal(std::fabs(value), digits);
  return LayOut(value < 0, rounded.digits, rounded.exponent, digits);
}

namespace {

constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// Writes value (below 10^count, count <= 9) as exactly `count` figures, leading zeros included,
// two at a time from the right.
void WriteSmallFigures(std::uint32_t value, int count, char* out) {
  char* p = out + count;
  while (count >= 2) {
    const std::uint32_t pair = value % 100;
    value /= 100;
    p -= 2;
    std::memcpy(p, &kDigitPairs[2 * pair], 2);
    count -= 2;
  }
  if (count == 1) *--p = static_cast<char>('0' + value);
}

// The same for any count up to 18, in two halves of 32-bit arithmetic.
void WriteFigures(std::uint64_t value, int count, char* out) {
  constexpr std::uint32_t kHalf = 1'000'000'000;
  if (count <= 9) {
    WriteSmallFigures(static_cast<std::uint32_t>(value), count, out);
    return;
  }
  const auto high = static_cast<std::uint32_t>(value / kHalf);
  WriteSmallFigures(high, count - 9, out);
  WriteSmallFigures(static_cast<std::uint32_t>(value - std::uint64_t{high} * kHalf), 9,
                    out + count - 9);
}

}  // namespace

NumberChars LayOut(bool negative, std::uint64_t digits, int exponent, int count) {
  NumberChars out;
  char* p = out.text_;
  if (negative) *p++ = '-';
  char figures[24];
  WriteFigures(digits, count, figures);
  int used = count;
  while (used > 2 && figures[used - 1] == '0' && figures[used - 2] == '0') used -= 2;
  while (used > 1 && figures[used - 1] == '0') --used;
  const int leading = exponent + count - 1;    // power of ten of the first digit
  const int lowest = exponent + count - used;  // power of ten of the last digit kept
  const int decimals = lowest < 0 ? -lowest : 0;
  const int integerDigits = leading >= 0 ? leading + 1 : 0;

  if (integerDigits <= count && decimals <= count) {
    if (leading >= 0) {
      if (used <= integerDigits) {
        std::memcpy(p, figures, static_cast<std::size_t>(used));
        std::memset(p + used, '0', static_cast<std::size_t>(integerDigits - used));
        p += integerDigits;
      } else {
        std::memcpy(p, figures, static_cast<std::size_t>(integerDigits));
        p += integerDigits;
        *p++ = '.';
        std::memcpy(p, figures + integerDigits, static_cast<std::size_t>(used - integerDigits));
        p += used - integerDigits;
      }
    } else {
      *p++ = '.';
      std::memset(p, '0', static_cast<std::size_t>(-leading - 1));
      p += -leading - 1;
      std::memcpy(p, figures, static_cast<std::size_t>(used));
      p += used;
    }
  } else {
    *p++ = figures[0];
    if (used > 1) {
      *p++ = '.';
      std::memcpy(p, figures + 1, static_cast<std::size_t>(used - 1));
      p += used - 1;
    }
    *p++ = 'E';
    *p++ = leading < 0 ? '-' : '+';
    p = std::to_chars(p, out.text_ + sizeof out.text_, leading < 0 ? -leading : leading).ptr;
  }
  out.size_ = static_cast<int>(p - out.text_);
  return out;
}

bool IsOwnNumberText(std::string_view text) {
  // NumberText writes figures, ".", "E" and signs, a sign only first or after the "E": most
  // texts that are not numbers are told apart here without reading them.
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((c >= '0' && c <= '9') || c == '.' || c == 'E') continue;
    if (c == '-' && i == 0) continue;
    if ((c == '-' || c == '+') && i > 0 && text[i - 1] == 'E') continue;
    return false;
  }
  const DecimalScan scan = ScanDecimal(text);
  if (!scan.anyDigit || scan.consumed != text.size()) return false;
  if (scan.digits == 0) return text == "0";
  if (scan.mantissaEnd == text.size()) {
    // Without an exponent the text can only be NumberText's plain notation: a "-" or nothing
    // before it, no zero in front and no zero or point at the end of a fraction.
    const std::size_t start = scan.mantissaStart;
    if (start != (scan.negative ? 1U : 0U) || text[start] == '0') return false;
    const std::size_t point = text.find('.', start);
    if (point != std::string_view::npos && (text.back() == '0' || text.back() == '.')) {
      return false;
    }
    const std::size_t integerDigits =
        (point == std::string_view::npos ? text.size() : point) - start;
    const std::size_t decimals = point == std::string_view::npos ? 0 : text.size() - point - 1;
    // The value read lies far closer to these digits than half a step in the 18th, so NumberText
    // gives back these very figures, and in plain notation.
    if (!scan.sticky && scan.significant <= kNumberDigits && integerDigits <= kNumberDigits &&
        decimals <= kNumberDigits) {
      return true;
    }
  }
  constexpr long long kSafePower = 4900;  // well inside the normal extended range
  if (!scan.sticky && scan.significant <= kNumberDigits && scan.power >= -kSafePower &&
      scan.power <= kSafePower) {
    // The extended value read from at most 18 digits lies within 2^-64 of them, far closer than
    // half a step in the 18th digit, so NumberText gives back these very digits.
    std::uint64_t digits = scan.digits;
    int exponent = static_cast<int>(scan.power);
    for (int i = scan.significant; i < kNumberDigits; ++i, --exponent) digits *= 10;
    return LayOut(scan.negative, digits, exponent, kNumberDigits).View() == text;
  }
  return WriteNumber(ValueOf(scan, text), kNumberDigits).View() == text;
}

}  // namespace detail

std::string NumberText(Extended value) {
  return std::string(detail::WriteNumber(value, detail::kNumberDigits).View());
}

std::string NumberTextDigits(Extended value, int digits) {
  if (digits < 1) digits = 1;
  if (digits > detail::kNumberDigits) digits = detail::kNumberDigits;
  return std::string(detail::WriteNumber(value, digits).View());
}

std::string XValueText(float x) {
  std::string text(x < 0 ? "" : " ");
  text += detail::WriteNumber(x, detail::kXDigits).View();
  return text;
}

std::string SubstituteX(std::string_view formula, float x) {
  return detail::Substituted(formula, XValueText(x));
}

}  // namespace funzioni
