// Any input ends in a value or a message: random bytes, random soups of the language's tokens,
// very deep nesting and very long texts. Several evaluators may work side by side.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "EvaluatorCases.h"

namespace funzioni::testing {
namespace {

// A number text (a blank or "-" first, then what NumberText writes) or a text with "Error".
bool IsWellFormedResult(const std::string& result) {
  if (result.find("Error") != std::string::npos) return result.rfind(kError, 0) == 0;
  if (result.size() < 2 || (result[0] != ' ' && result[0] != '-')) return false;
  for (std::size_t i = 1; i < result.size(); ++i) {
    const char c = result[i];
    const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == 'E' || c == '+' || c == '-';
    if (!allowed) return false;
  }
  return true;
}

TEST(Robustness, RandomBytes) {
  std::mt19937_64 random(1);
  ExpressionEvaluator evaluator;
  for (int i = 0; i < 20000; ++i) {
    std::string text(random() % 24, '\0');
    for (char& c : text) c = static_cast<char>(random() % 256);
    const std::string result = evaluator.EvaluateExpressionText(text);
    ASSERT_TRUE(IsWellFormedResult(result)) << "[" << text << "] gave [" << result << "]";
  }
}

TEST(Robustness, RandomTokenSoups) {
  static constexpr const char* kTokens[] = {
      "SIN",     "COS",     "ARCSEC", "ARCCOSH", "SINH",  "LN",
      "LOG10",   "LOG2",    "EXP",    "EXP2",    "EXP10", "SQR",
      "ABS",     "FRAC",    "SGN",    "ATN",     "PI#",   "E#",
      "AND",     "OR",      "XOR",    "MOD",     "NOT",   "ISTRUE",
      "ISFALSE", "EQV",     "IMP",    "(",       ")",     "(",
      ")",       "+",       "-",      "*",       "/",     "\\",
      "^",       "!",       "=",      "<",       ">",     ".",
      "E",       "D",       "0",      "1",       "2",     "9",
      "1E39",    "1E-39",   "1754",   " ",       "x",     "99999999999999999999999",
      "1E4000",  "1E-5000", "-",      "--",      "0.5",   "(-",
      ")^"};
  std::mt19937_64 random(2);
  ExpressionEvaluator evaluator;
  int values = 0;
  for (int i = 0; i < 30000; ++i) {
    std::string text;
    const int count = 1 + static_cast<int>(random() % 12);
    for (int j = 0; j < count; ++j) text += kTokens[random() % std::size(kTokens)];
    const std::string result = evaluator.EvaluateExpressionText(text);
    ASSERT_TRUE(IsWellFormedResult(result)) << "[" << text << "] gave [" << result << "]";
    values += result.find("Error") == std::string::npos;
  }
  EXPECT_GT(values, 1000);  // the soups do reach the engine, not only the checks
}

TEST(Robustness, DeepNestingAndLongTexts) {
  ExpressionEvaluator evaluator;
  const std::string nested = std::string(100000, '(') + "1" + std::string(100000, ')');
  EXPECT_EQ(evaluator.EvaluateExpressionText(nested), " 1");
  const std::string unbalanced = std::string(100000, '(') + "1" + std::string(99999, ')');
  EXPECT_EQ(evaluator.EvaluateExpressionText(unbalanced),
            std::string(kError) + "Parentheses mismatch");

  std::string sum;
  for (int i = 0; i < 50000; ++i) sum += "1+";
  sum += "1";
  EXPECT_EQ(evaluator.EvaluateExpressionText(sum), " 50001");

  std::string sines;
  for (int i = 0; i < 10000; ++i) sines += "SIN(";
  sines += "90" + std::string(10000, ')');
  EXPECT_TRUE(IsWellFormedResult(evaluator.EvaluateExpressionText(sines)));

  EXPECT_EQ(evaluator.EvaluateExpressionText(std::string(100000, '9')),
            " 9.99999999999999999E+998");
  EXPECT_EQ(evaluator.EvaluateExpressionText("." + std::string(100000, '0') + "1"), " 0");
}

TEST(Robustness, EvaluatorsOnSeveralThreads) {
  const std::vector<std::string> texts = {"SIN(30)*3^2",   "LOG10(ABS(-7)+1)", "(2+1)/(2-1)",
                                          "EXP(-1.5^2/2)", "3*2^3-2*2+1",      "1/0"};
  std::vector<std::string> expected;
  for (const std::string& t : texts) expected.push_back(Evaluate(t));
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      ExpressionEvaluator evaluator;
      for (int round = 0; round < 500; ++round) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
          failures[t] += evaluator.EvaluateExpressionText(texts[i]) != expected[i];
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
}  // namespace funzioni::testing
