// Hostile input for the entry point: megabytes of text, numbers of thousands of digits, absurd
// exponents, long chains of powers and every byte value alone and in pairs. Each ends in a value
// or a message; the time limit of these tests in ctest stands guard against hangs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberReading.h"
#include "evaluator/NumberText.h"

namespace funzioni {
namespace {

constexpr std::string_view kErrorPrefix = "   Error in Expression: ";
const std::string kInfinity = " 9.99999999999999999E+998";

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text.append(piece);
  return text;
}

// The error text, or a blank (the sign for a negative value) and NumberText of a value that
// reads back to exactly that text.
::testing::AssertionResult IsValueOrMessage(const std::string& result) {
  if (result.starts_with(kErrorPrefix)) return ::testing::AssertionSuccess();
  const std::string number = result.starts_with(' ') ? result.substr(1) : result;
  std::size_t consumed = 0;
  const Extended value = ReadNumber(number, consumed);
  const bool whole = !number.empty() && consumed == number.size();
  if (whole && (result[0] == ' ') == !(value < 0) && NumberText(value) == number) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "result [" << result << "]";
}

struct HostileCase {
  const char* name;
  std::string text;
  std::string result;  // empty: any value or message will do
};

// Test names show the case's name, not its megabyte of text.
void PrintTo(const HostileCase& c, std::ostream* out) {
  *out << c.name;
}

std::vector<HostileCase> HugeTexts() {
  const std::size_t kMegabyte = 1 << 20;
  const std::string tenThousandDigits = "1" + std::string(9999, '0');
  return {
      {"MegabyteOfBlanks", std::string(kMegabyte, ' '),
       std::string(kErrorPrefix) + "Empty expression! - You need to enter an expression."},
      {"MegabyteOfLetters", std::string(kMegabyte, 'Q'), ""},
      {"MegabyteOfNulBytes", std::string(kMegabyte, '\0'), ""},
      {"MegabyteSum", Repeat("1+", kMegabyte / 2 - 1) + "1", " 524288"},
      {"MegabyteOfFunctions", Repeat("ABS(", kMegabyte / 8) + "-1" + Repeat(")", kMegabyte / 8),
       " 1"},
      {"MegabyteOfDigits", std::string(kMegabyte, '7'), kInfinity},
      {"MegabyteOfFractionDigits", "." + std::string(kMegabyte, '3'), ""},
      {"MegabyteOfSigns", Repeat("-", kMegabyte) + "1", ""},
      {"MegabyteOfFactorials", "3" + std::string(kMegabyte, '!'), ""},
      {"MegabyteOfEmptyParentheses", Repeat("()", kMegabyte / 2) + "2", " 2"},
      {"TenThousandDigitNumber", tenThousandDigits, kInfinity},
      {"TenThousandDigitDifference", tenThousandDigits + "-" + tenThousandDigits, ""},
      {"TenThousandDigitFraction", "." + std::string(9999, '0') + "1", " 0"},
      {"TenThousandDigitsTimesZero", tenThousandDigits + "*0", ""},
      {"TenThousandDigitExponent", "1E" + tenThousandDigits, kInfinity},
      {"TenThousandDigitFactorial", tenThousandDigits + "!",
       std::string(kErrorPrefix) + "Factorial argument too large."},
      {"TenThousandDigitSine", "SIN(" + tenThousandDigits + ")", ""},
      {"HugeExponent", "1E999999", kInfinity},
      {"HugeNegativeExponent", "-1D999999", "-9.99999999999999999E+998"},
      {"TinyExponent", "1E-999999", " 0"},
      {"HugeExponentDifference", "1E999999-1E999999", ""},
      {"HugeExponentPower", "1E999999^1E999999", ""},
      {"HugeExponentFactorial", "1E999999!", ""},
      {"HugeExponentIntegerDivision", "1E999999\\1E-999999", ""},
      {"PowerChainOfTwos", Repeat("2^", 10000) + "2", ""},
      {"PowerChainOfOnes", Repeat("1^", 100000) + "1", " 1"},
      {"PowerChainOfNegativeHalves", Repeat("-.5^", 10000) + "-.5", ""},
      {"PowerChainInParentheses", Repeat("(2^", 10000) + "2" + std::string(10000, ')'), ""},
      {"NestedParentheses", std::string(100000, '(') + "-1" + std::string(100000, ')'), "-1"},
      {"NestedSignedParentheses", Repeat("-(", 100000) + "1" + std::string(100000, ')'), " 1"},
      {"ClosingBeforeOpening", std::string(100000, ')') + "1" + std::string(100000, '('), ""},
  };
}

class HostileText : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileText, EndsInAValueOrAMessage) {
  const HostileCase& c = GetParam();
  ExpressionEvaluator evaluator;
  const std::string result = evaluator.EvaluateExpressionText(c.text);
  EXPECT_TRUE(IsValueOrMessage(result));
  if (!c.result.empty()) {
    EXPECT_EQ(result, c.result);
  }
  // The same evaluator must still work afterwards.
  EXPECT_EQ(evaluator.EvaluateExpressionText("2+3"), " 5");
}

INSTANTIATE_TEST_SUITE_P(Evaluator, HostileText, ::testing::ValuesIn(HugeTexts()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostileBytes, EveryByteAloneAndInPairs) {
  ExpressionEvaluator evaluator;
  for (int first = 0; first < 256; ++first) {
    const std::string alone(1, static_cast<char>(first));
    ASSERT_TRUE(IsValueOrMessage(evaluator.EvaluateExpressionText(alone))) << "byte " << first;
    for (int second = 0; second < 256; ++second) {
      const std::string pair = alone + static_cast<char>(second);
      ASSERT_TRUE(IsValueOrMessage(evaluator.EvaluateExpressionText(pair)))
          << "bytes " << first << " " << second;
    }
  }
}

TEST(HostileBytes, EveryByteInsideAFormula) {
  // Bytes next to numbers, names and parentheses reach the later checks and the engine.
  ExpressionEvaluator evaluator;
  for (const std::string_view frame : {"1%2", "SIN(%)", "(%1)", "2^%3", "%E5", "1E%"}) {
    const std::size_t at = frame.find('%');
    for (int byte = 0; byte < 256; ++byte) {
      std::string text(frame);
      text[at] = static_cast<char>(byte);
      ASSERT_TRUE(IsValueOrMessage(evaluator.EvaluateExpressionText(text)))
          << "byte " << byte << " in " << frame;
    }
  }
}

}  // namespace
}  // namespace funzioni
