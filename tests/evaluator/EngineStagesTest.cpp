// The rewriting engine stage by stage: parentheses, signs, factorials, powers, products,
// integer division and sums, the operand readers and the write-back of results.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "EvaluatorCases.h"
#include "evaluator/Operands.h"

namespace funzioni::testing {
namespace {

TEST(Parentheses, GroupsAndMismatches) {
  const TextCase cases[] = {
      {"(2)(3)", " 23"},  // no implied multiplication: the numbers join
      {"((2+3)*(4-1))", " 15"}, {"(1/3)*3", " 1"},   {"(0.1)", " .100000001490116119"},
      {"(+5)*2", " 10"},        {"(-2)^2", " 4"},    {"(3!)", " 6"},
      {"2^(1+1)^2", " 16"},     {"SINCOS(0)", " 1"},  // SIN of the empty argument first, then
                                                      // COS(0): "0" and "1" join
  };
  ExpectResults(cases);
  const MessageCase messages[] = {
      {"(5))(", "Parentheses mismatch"},
      {")(", "Parentheses mismatch"},  // equal counts, but the "(" never closes
      {"(1+(1/0))", "Division by zero"},
      {"(1/0)+LN(0)", "Division by zero"},  // groups first, from left to right
      {"LN(0)+(1/0)", "Division by zero"},
      {"(LN(0))+(1/0)", "LN or LOG <= 0"},
  };
  ExpectMessages(messages);
}

TEST(Parentheses, FindMatchingParen) {
  EXPECT_EQ(FindMatchingParen("(1)"), 3U);
  EXPECT_EQ(FindMatchingParen("((1)(2))+3"), 8U);
  EXPECT_EQ(FindMatchingParen("(()"), 0U);
  EXPECT_EQ(FindMatchingParen("("), 0U);
}

TEST(Precedence, StagesInOrder) {
  const TextCase cases[] = {
      {"2+3", " 5"},    {"10-2-3", " 5"},  {"2+3*4^2", " 50"},
      {"2^3^2", " 64"},                  // powers from left to right
      {"2^-1", " .5"},  {"-2^2", " 4"},  // a sign at the start binds to the number
      {"1-2^2", "-3"},  {"2*-3^2", " 18"}, {"7\\2*3", " 1"},  // "\" binds less tightly than "*"
      {"7.5\\2", " 4"}, {"6.5\\2", " 3"},                     // 6.5 rounds to 6 (ties to even)
      {"-7\\2", "-3"},  {"8/2/2", " 2"},   {"2*3!", " 12"},
      {"3!^2", " 36"},
  };
  ExpectResults(cases);
}

TEST(NumericModel, ThirtyTwoBitValuesBetweenSteps) {
  const TextCase cases[] = {
      {"1/3", " .333333343267440796"},
      {"SQR(2)", " 1.41421353816986084"},
      {"PI#", " 3.14159274101257324"},
      {"16777216+1", " 16777216"},
      {".1+.2", " .300000011920928955"},
      {"2^.5", " 1.41421353816986084"},
      // A power is written with 18 digits from its extended value; the next step reads it back
      // as a 32-bit float.
      {"2^.5*2^.5", " 1.99999988079071045"},
      {"1E38*10", " 9.99999999999999999E+998"},
      {"-1E39", "-9.99999999999999999E+998"},
      {"1E-50", " 0"},
      {"-1E-50", " 0"},  // negative zero is written without a sign
  };
  ExpectResults(cases);
}

TEST(Signs, SignBindsToTheNumberAfterIt) {
  const TextCase cases[] = {
      {"1--3^2", "-8"},
      {"1+-3^2", " 10"},
      {"3+(-2)^2", " 7"},
      {"2-(-3)^2", "-7"},
      {"-2^3--2^2", "-12"},
      {"1--.5^2", " .75"},
      {"--3^2", " 9"},  // two signs at the start are one
                        // sign
      {"(--3)^3", " 27"},
      {"1--3", " 4"},
      {"1-+3", "-2"},
      {"1+-3", "-2"},
      {"3!--2^2", " 2"},
      {"1--(-3)", "-2"},
  };
  ExpectResults(cases);
}

TEST(WriteBack, NegativeResultAfterALoneSign) {
  const TextCase cases[] = {
      {"-SIN(-30)", " .5"},     {"-SIN(-30)*2", " 1"},  {"2*-SIN(-30)", " 1"},
      {"1-SIN(-30)^2", " .75"}, {"1-SIN(-30)", " 1.5"}, {"2^-SIN(-30)", " 1.41421353816986084"},
      {"--SIN(-30)", "-.5"},
  };
  ExpectResults(cases);
}

// A negative bracket written back after two signs makes a run of three that must still read as
// -(-(-3)), not as "+-3" (no number).
TEST(WriteBack, RunOfThreeSignsKeepsEachSign) {
  const TextCase cases[] = {
      {"--(-3)", "-3"},   {"--(1-4)", "-3"}, {"--(-SIN(30))", "-.5"},
      {"0=--(-3)", " 0"}, {"2--(-3)", "-1"}, {"-3=--(-3)", "-1"},
  };
  ExpectResults(cases);
}

TEST(Factorials, ValuesAndMessages) {
  const TextCase cases[] = {
      {"0!", " 1"},
      {"(-3)!", "-6"},
      {"-3!", "-6"},
      {"20!", " 2.43290202316367462E+18"},  // the result read back as a 32-bit float
      {"3!!", " 720"},
      {"EXP10(3!)", " 1000000"},  // the "E" of the code is no exponent letter of the 3
  };
  ExpectResults(cases);
  const MessageCase messages[] = {
      {"3.5!", "Invalid factorial argument: Non integer."},
      {"1755!", "Factorial argument too large."},
      {"(-1755)!", "Factorial argument too large."},
      {"1E39!", "Factorial argument too large."},
      {"(!)", "Invalid left argument"},
  };
  ExpectMessages(messages);
}

TEST(PowersProductsDivisions, MessagesAndEdgeValues) {
  const TextCase cases[] = {
      {"0^0", " 1"},
      {"0^2", " 0"},
      {"0^-1", " 0"},  // not a number, written "0"
      {"(-2)^3", "-8"},
      {"10^300", " 9.99999999999999999E+998"},
      {"SEC(90)", "-22877332"},
  };
  ExpectResults(cases);
  const MessageCase messages[] = {
      {"^2", "Missing left argument in power espression"},
      {"*2", "Missing left argument in multiplication (*) or floating-point division (/)"},
      {"/2", "Missing left argument in multiplication (*) or floating-point division (/)"},
      {"\\2", "Missing left argument in integer division (\\)"},
      {"10^5000", "Arguments too large for exponentiation. Will give overflow."},
      {"(-8)^(1/3)",
       "Exponentiation problem: Negative root is not allowed with a non-integer exponent."},
      {"1E39*2", "Arguments too large for multiplication. Will give overflow"},
      {"1/0", "Division by zero"},
      {"(1/0)+1", "Division by zero"},
      {"5\\0", "Integer Division by zero"},
      {"5\\0.3", "Integer Division by zero"},  // the divisor rounds to 0
      {"5\\-.5", "Integer Division by zero"},
  };
  ExpectMessages(messages);
}

TEST(Sums, OperatorsSignsAndWholeNumbers) {
  const TextCase cases[] = {
      {"5.-3", " 2"},  // a "-" after a trailing point is an operator
      {"-1E9-300000", "-1000300032"},
      {"1E-5-1", "-.999989986419677734"},
      {"-1E+2+1", "-99"},
      {"-5", "-5"},
      {"+5", " 5"},
      {"2E+3", " 2000"},
      {"1D2+1", " 101"},
  };
  ExpectResults(cases);
}

TEST(Operands, ReadLeftOperand) {
  struct Case {
    std::string_view text;
    std::size_t op;
    std::size_t start;
    float value;
  };
  const Case cases[] = {
      {"1-2^2", 3, 2, 2.0f},    // "-" after a digit is an operator
      {"2*-3^2", 4, 2, -3.0f},  // "-" after "*" belongs to the number
      {"1--3^2", 4, 2, -3.0f},  // one sign only
      {"1-2.5E-3^2", 8, 2, 2.5e-3f},
      {"1E-5E2^2", 6, 2, -500.0f},  // a second exponent letter ends the number
      {"ETE3!", 4, 3, 3.0f},        // "E" after a letter is no exponent letter
      {"5.!", 2, 0, 5.0f},
  };
  for (const Case& c : cases) {
    const LeftOperand operand = ReadLeftOperand(c.text, c.op);
    EXPECT_EQ(operand.error, nullptr) << c.text;
    EXPECT_EQ(operand.start, c.start) << c.text;
    EXPECT_EQ(operand.value, c.value) << c.text;
  }
  EXPECT_STREQ(ReadLeftOperand("*2", 0).error, "Invalid left argument");
  EXPECT_STREQ(ReadLeftOperand("=2", 0).error, "Invalid left argument");
}

TEST(Operands, ReadRightOperand) {
  struct Case {
    std::string_view text;
    std::size_t last;
    float value;
    std::size_t restStart;
  };
  const Case cases[] = {
      {"SIN-3*2", 2, -3.0f, 5},     {"2*+5", 1, 5.0f, 4},
      {"2*-0", 1, 0.0f, 2},  // a signed zero keeps its sign in the rest
      {"2^1.5E3.2", 1, 1500.0f, 7}, {"2^3E+2*", 1, 300.0f, 6},
      {"SINCOS0", 2, 0.0f, 3},  // no number: the rest stays whole
  };
  for (const Case& c : cases) {
    const RightOperand operand = ReadRightOperand(c.text, c.last);
    EXPECT_EQ(operand.error, nullptr) << c.text;
    EXPECT_EQ(operand.value, c.value) << c.text;
    EXPECT_EQ(operand.restStart, c.restStart) << c.text;
  }
  EXPECT_STREQ(ReadRightOperand("2^", 1).error, "No right argument");
}

// The operand's text, character by character as its rule reads: a sign that agrees with the
// value, digits, at most one ".", at most one exponent letter with a sign right after it; the
// rest moves past it only when a digit stands before the exponent letter. The reader finds the
// extent faster, from what it has already read; both must agree on any text.
std::size_t ReferenceRestStart(std::string_view rest, float value, std::size_t restStart) {
  std::size_t i = 0;
  if (rest[0] == '+' || rest[0] == '-') {
    if (!(rest[0] == '+' ? value > 0 : value < 0)) return restStart;
    i = 1;
  }
  bool point = false;
  bool exponent = false;
  bool digit = false;
  while (i < rest.size()) {
    const char c = rest[i];
    if (c >= '0' && c <= '9') {
      digit = digit || !exponent;
    } else if (c == '.' && !point) {
      point = true;
    } else if ((c == 'E' || c == 'D') && !exponent) {
      exponent = true;
      if (i + 1 < rest.size() && (rest[i + 1] == '+' || rest[i + 1] == '-')) ++i;
    } else {
      break;
    }
    ++i;
  }
  return digit ? restStart + i : restStart;
}

TEST(Operands, RightOperandExtentOnAnyText) {
  constexpr std::string_view kAlphabet = "0123456789..+-EDed *(";
  std::mt19937 random(5);
  for (int n = 0; n < 100000; ++n) {
    std::string text = "^";
    const int length = 1 + static_cast<int>(random() % 10);
    for (int k = 0; k < length; ++k) text += kAlphabet[random() % kAlphabet.size()];
    const RightOperand operand = ReadRightOperand(text, 0);
    ASSERT_EQ(operand.restStart, ReferenceRestStart(text.substr(1), operand.value, 1)) << text;
  }
}

TEST(Factorial, ExtendedProduct) {
  EXPECT_EQ(Factorial(0), Extended(1));
  EXPECT_EQ(Factorial(1), Extended(1));
  EXPECT_EQ(Factorial(5), Extended(120));
  EXPECT_EQ(Factorial(20), Extended(2432902008176640000ULL));
}

}  // namespace
}  // namespace funzioni::testing
