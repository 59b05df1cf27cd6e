// Shared by the evaluator tests: a table row of expression and expected result text, and the
// loop that checks a table through the entry point.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>

#include "evaluator/ExpressionEvaluator.h"

namespace funzioni::testing {

struct TextCase {
  std::string_view expression;
  std::string_view result;  // exactly as the entry point returns it
};

inline constexpr std::string_view kError = "   Error in Expression: ";

inline std::string Evaluate(std::string_view expression) {
  ExpressionEvaluator evaluator;
  return evaluator.EvaluateExpressionText(expression);
}

inline void ExpectResults(std::span<const TextCase> cases) {
  ExpressionEvaluator evaluator;  // one object for the table, as the plot uses it
  for (const TextCase& c : cases) {
    EXPECT_EQ(evaluator.EvaluateExpressionText(c.expression), c.result) << "for " << c.expression;
  }
}

struct MessageCase {
  std::string_view expression;
  std::string_view message;  // what follows "   Error in Expression: "
};

inline void ExpectMessages(std::span<const MessageCase> cases) {
  ExpressionEvaluator evaluator;
  for (const MessageCase& c : cases) {
    EXPECT_EQ(evaluator.EvaluateExpressionText(c.expression),
              std::string(kError) + std::string(c.message))
        << "for " << c.expression;
  }
}

}  // namespace funzioni::testing
