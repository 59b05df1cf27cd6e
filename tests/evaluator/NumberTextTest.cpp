// Writing numbers (NumberText and the 7-digit text of x) and reading them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "HardwareReference.h"
#include "evaluator/DecimalRounding.h"
#include "evaluator/NumberReading.h"
#include "evaluator/NumberText.h"
#include "evaluator/NumberWriting.h"

namespace funzioni {
namespace {

struct WriteCase {
  Extended value;
  std::string_view text;
};

TEST(NumberText, FormattingRules) {
  const Extended inf = ext::Infinity();
  const WriteCase cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {ext::QuietNan(), "0"},
      {inf, "9.99999999999999999E+998"},
      {-inf, "-9.99999999999999999E+998"},
      {5.0, "5"},
      {-2.5, "-2.5"},
      {0.5, ".5"},
      {-0.25, "-.25"},
      {100.0, "100"},
      {1e20, "1E+20"},
      {ReadNumber("2.5e-21"), "2.5E-21"},
      {123456789012345678ULL, "123456789012345678"},  // 18 integer digits: still plain
      {1e18, "1E+18"},
      {ReadNumber("1e-18"), ".000000000000000001"},  // 18 decimals: still plain
      {ReadNumber("1.5e-18"), "1.5E-18"},
      {ReadNumber("0.05"), ".05"},
      {Extended(1) / 3, ".333333333333333333"},
      {static_cast<float>(1.0 / 3), ".333333343267440796"},
      {static_cast<float>(0.05), "5.00000007450580597E-2"},
      {ReadNumber("999999999999999999.5"), "1E+18"},        // rounding carries into a new digit
      {1000000000000000005ULL, "1E+18"},                    // a tie at the 18th digit: to even (0)
      {1000000000000000015ULL, "1.00000000000000002E+18"},  // a tie: to even (2)
      {ReadNumber("1.18e4932"), "1.18E+4932"},
      {ext::FromBits({1, 0}), "3.6451995318824746E-4951"},
  };
  for (const WriteCase& c : cases) {
    EXPECT_EQ(NumberText(c.value), c.text) << static_cast<double>(c.value);
  }
}

// The exact decimal value from the C library (which rounds exact ties to even), laid out by the
// rules of NumberText: an independent working of the rounding on values of every size.
std::string ReferenceText(long double v, int digits) {
  if (std::isnan(v) || v == 0) return "0";
  std::string sign = v < 0 ? "-" : "";
  v = std::fabs(v);
  if (std::isinf(v)) return sign + "9.99999999999999999E+998";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*Le", digits - 1, v);
  const std::string s(buffer);
  const std::size_t e = s.find('e');
  const int exponent = std::atoi(s.c_str() + e + 1);
  std::string d;
  for (std::size_t i = 0; i < e; ++i) {
    if (s[i] != '.') d += s[i];
  }
  while (d.size() > 1 && d.back() == '0') d.pop_back();
  const int used = static_cast<int>(d.size());
  const int lowest = exponent - used + 1;
  std::string out;
  if ((exponent >= 0 ? exponent + 1 : 0) <= digits && (lowest < 0 ? -lowest : 0) <= digits) {
    if (exponent >= 0) {
      for (int i = 0; i <= exponent; ++i) out += i < used ? d[i] : '0';
      if (used > exponent + 1) out += "." + d.substr(exponent + 1);
    } else {
      out = "." + std::string(-exponent - 1, '0') + d;
    }
  } else {
    out = d.substr(0, 1) + (used > 1 ? "." + d.substr(1) : "") + "E" + (exponent < 0 ? "-" : "+") +
          std::to_string(std::abs(exponent));
  }
  return sign + out;
}

TEST(NumberText, ExactRoundingOfRandomValues) {
  if (!reference::kHardwareHasExtended) GTEST_SKIP() << "the reference is the 80-bit long double";
  std::mt19937_64 random(20240501);
  for (int i = 0; i < 20000; ++i) {
    Extended value;
    switch (i % 3) {
      case 0:  // extended values of any size
        value = ext::Ldexp(random(), static_cast<int>(random() % 32000) - 16063);
        break;
      case 1:  // extended values near 1
        value = ext::Ldexp(random(), -64 + static_cast<int>(random() % 40));
        break;
      default: {  // any finite float
        const auto bits = static_cast<std::uint32_t>(random());
        float f;
        std::memcpy(&f, &bits, sizeof f);
        value = std::isfinite(f) ? f : 1.5f;
      }
    }
    const long double reference = reference::ToHardware(value);
    ASSERT_EQ(NumberText(value), ReferenceText(reference, 18)) << static_cast<double>(value);
    ASSERT_EQ(NumberTextDigits(-value, 7), ReferenceText(-reference, 7))
        << static_cast<double>(value);
  }
}

// RoundToDecimal takes quicker ways than wide integers for most values; whichever it takes must
// give the digits of the general method, ties included.
TEST(NumberText, QuickRoundingAgreesWithTheGeneralMethod) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 100000; ++i) {
    const std::uint64_t bits = random();
    Extended value;
    switch (i % 4) {
      case 0:  // full 64-bit mantissas, as the results of "^" and "!", from 1e-13 to 1e20
        value = ext::Ldexp(bits | (1ULL << 63), static_cast<int>(random() % 110) - 106);
        break;
      case 1:  // float mantissas over the whole range a float may take
        value = ext::Ldexp(bits >> 40, static_cast<int>(random() % 280) - 173);
        break;
      case 2:  // short binary fractions: many of them lie halfway between two decimal roundings
        value = ext::Ldexp(bits >> (random() % 64), -static_cast<int>(random() % 70));
        break;
      default:  // any extended value
        value = ext::Ldexp(bits | 1, static_cast<int>(random() % 32000) - 16063);
    }
    if (!(value > 0) || ext::IsInf(value)) continue;
    const int count = i % 3 == 0 ? detail::kNumberDigits : 1 + static_cast<int>(random() % 18);
    const detail::DecimalDigits quick = detail::RoundToDecimal(value, count);
    const detail::DecimalDigits wide = detail::RoundToDecimalWide(value, count);
    ASSERT_EQ(quick.digits, wide.digits) << static_cast<double>(value) << " to " << count;
    ASSERT_EQ(quick.exponent, wide.exponent) << static_cast<double>(value) << " to " << count;
  }
}

// 32-bit results are written from the float's own bits; the figures must be those of the same
// value written from the extended format, at the engine's 18 digits and the 7 of x.
TEST(NumberText, FloatsWriteAsTheirExtendedValue) {
  for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFULL; bits += 65521) {
    const auto pattern = static_cast<std::uint32_t>(bits);
    float f;
    std::memcpy(&f, &pattern, sizeof f);
    const Extended extended = f;
    ASSERT_EQ(detail::WriteNumber(f, detail::kNumberDigits).View(),
              detail::WriteNumber(extended, detail::kNumberDigits).View())
        << pattern;
    ASSERT_EQ(detail::WriteNumber(f, detail::kXDigits).View(),
              detail::WriteNumber(extended, detail::kXDigits).View())
        << pattern;
  }
}

// The engine keeps a text that a 32-bit result was written into as that result's text, instead of
// reading it back and writing it again: every float must read back from its 18 digits as itself
// (zero, negative zero and NaN, written "0", as 0; infinity from its 999-digit stand-in).
TEST(NumberText, FloatsReadBackFromTheirText) {
  for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFULL; bits += 16411) {
    const auto pattern = static_cast<std::uint32_t>(bits);
    float f;
    std::memcpy(&f, &pattern, sizeof f);
    const float back = static_cast<float>(ReadNumber(NumberText(f)));
    if (f == 0 || std::isnan(f)) {
      ASSERT_EQ(back, 0.0f) << pattern;
      ASSERT_FALSE(std::signbit(back)) << pattern;
    } else {
      ASSERT_EQ(back, f) << pattern;
    }
  }
  for (const float f :
       {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(),
        std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::min(), -0.0f}) {
    EXPECT_EQ(static_cast<float>(ReadNumber(NumberText(f))), f == 0 ? 0.0f : f);
  }
}

// The engine decides whether a text is already a plain number without writing the number when
// it can; that must agree with writing it.
TEST(NumberText, OwnTextShortcutAgreesWithWriting) {
  std::mt19937_64 random(11);
  constexpr std::string_view kAlphabet = "0123456789.-+E";
  for (int i = 0; i < 200000; ++i) {
    std::string text;
    if (i % 2 == 0) {
      const int length = 1 + static_cast<int>(random() % 12);
      for (int j = 0; j < length; ++j) text += kAlphabet[random() % kAlphabet.size()];
    } else {
      Extended value =
          ext::Ldexp(random() >> (random() % 64), static_cast<int>(random() % 400) - 200);
      if (random() % 2) value = static_cast<float>(value);
      text = NumberTextDigits(random() % 2 ? value : -value, 1 + static_cast<int>(random() % 18));
      // Near misses: what NumberText never writes around the figures it does write.
      switch (random() % 8) {
        case 0:
          text += "0";
          break;
        case 1:
          text.insert(text[0] == '-' ? 1 : 0, "0");
          break;
        case 2:
          text.insert(0, "+");
          break;
        case 3:
          text += ".";
          break;
        case 4:
          text.insert(0, " ");
          break;
        default:
          break;
      }
    }
    ASSERT_EQ(detail::IsOwnNumberText(text), NumberText(ReadNumber(text)) == text) << text;
  }
}

TEST(XValueText, SevenDigits) {
  struct Case {
    float x;
    std::string_view text;
  };
  const Case cases[] = {
      {1.5f, " 1.5"},
      {0.05f, " .05"},
      {-0.2f, "-.2"},
      {0.0f, " 0"},
      {-0.0f, " 0"},
      {0.000001862645f, " 1.862645E-6"},
      {-9.95f, "-9.95"},
      {10.0f, " 10"},
      {12345678.0f, " 1.234568E+7"},
      {1048576.5f, " 1048576"},  // a tie at the 7th digit: to even
      {0.1f + 0.2f, " .3"},
  };
  for (const Case& c : cases) EXPECT_EQ(XValueText(c.x), c.text) << c.x;

  // The running sum of a plot passes near 0 without being 0.
  float x = -0.2f;
  for (int i = 0; i < 4; ++i) x += 0.05f;
  EXPECT_NE(x, 0.0f);
  EXPECT_NE(XValueText(x).find("E-"), std::string::npos) << XValueText(x);
}

TEST(SubstituteX, OnlyLowerCaseX) {
  EXPECT_EQ(SubstituteX("SIN(x)*x^2", -1.5f), "SIN(-1.5)*-1.5^2");
  EXPECT_EQ(SubstituteX("x+X", 2.0f), " 2+X");
  EXPECT_EQ(SubstituteX("exp(x)", 1.0f), "e 1p( 1)");
  EXPECT_EQ(SubstituteX("", 1.0f), "");
}

TEST(ReadNumber, StandardReader) {
  struct Case {
    std::string_view text;
    Extended value;
  };
  const Case cases[] = {
      {"5", 5},
      {"-2.5", -2.5},
      {"+.5", 0.5},
      {" \t\n7", 7},
      {"1E3", 1000},
      {"1e3", 1000},
      {"1D3", 1000},
      {"1d-3", Extended(1) / 1000},
      {"1E", 1},
      {"1E+", 1},
      {"2E+3*", 2000},
      {"1.5.5", 1.5},
      {"", 0},
      {"-", 0},
      {".", 0},
      {"ABC", 0},
      {"12ABC", 12},
      {"007", 7},
      {"1E99999999999999999999", ext::Infinity()},
      {"1E-99999", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << c.text;
}

TEST(ReadNumber, CorrectlyRoundedAgainstTheCLibrary) {
  if (!reference::kHardwareHasExtended) GTEST_SKIP() << "the reference is the 80-bit long double";
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    const int length = 1 + static_cast<int>(random() % 40);
    for (int j = 0; j < length; ++j) text += static_cast<char>('0' + random() % 10);
    if (random() % 2) text.insert(random() % text.size(), ".");
    if (random() % 2) text += "E" + std::to_string(static_cast<int>(random() % 9000) - 4500);
    if (random() % 3 == 0) text.insert(0, std::string(random() % 12, '0'));
    if (random() % 3 == 0) text.insert(0, random() % 2 ? "-" : "+");
    // What follows a number, where the reader must stop.
    constexpr std::string_view kAfter = "+-*/E.0123456789^)";
    for (int k = static_cast<int>(random() % 4); k > 0; --k)
      text += kAfter[random() % kAfter.size()];
    char* stop = nullptr;
    const Extended expected = reference::FromHardware(std::strtold(text.c_str(), &stop));
    std::size_t consumed = 0;
    ASSERT_TRUE(reference::SameBits(ReadNumber(text, consumed), expected)) << text;
    ASSERT_EQ(consumed, static_cast<std::size_t>(stop - text.c_str())) << text;
  }
  const std::string longDigits = std::string(5000, '3') + "E-5000";
  EXPECT_TRUE(reference::SameBits(
      ReadNumber(longDigits), reference::FromHardware(std::strtold(longDigits.c_str(), nullptr))));
}

// The command line's numbers: the plain syntax (--x) refuses what only the engine's reader
// takes (ZOOM and STEP); neither takes anything around the number.
TEST(ReadArgumentNumber, WholeTextOnly) {
  const std::optional<float> none;
  struct Case {
    std::string_view name;
    std::string_view text;
    std::optional<float> plain;
    std::optional<float> reader;
  };
  const Case cases[] = {
      {"sign and point", "-1.5", -1.5f, -1.5f},
      {"exponent", "25E-2", 0.25f, 0.25f},
      {"bare fraction", ".5", 0.5f, 0.5f},
      {"blank in front", " 7", none, 7.0f},
      {"line feed in front", "\n7", none, 7.0f},
      {"D exponent", "1d2", none, 100.0f},
      {"exponent without digits", "1e", none, none},
      {"blank after", "7 ", none, none},
      {"two points", "1.2.3", none, none},
      {"sign alone", "-", none, none},
      {"point alone", ".", none, none},
      {"empty", "", none, none},
      {"word", "abc", none, none},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadArgumentNumber(c.text, ArgumentSyntax::Plain), c.plain) << c.name;
    EXPECT_EQ(ReadArgumentNumber(c.text, ArgumentSyntax::Reader), c.reader) << c.name;
  }
}

}  // namespace
}  // namespace funzioni
