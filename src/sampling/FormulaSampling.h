#pragma once

#include "evaluator/Extended.h"

// One sample of a typed formula: x written into the text, the text given to the evaluator, and
// the evaluator's answer read back as a number.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "evaluator/ResultReading.h"

namespace funzioni {

class ExpressionEvaluator;

// The formula's value at x: every lower-case "x" replaced by the 7-significant-digit text of x,
// one evaluation. Empty when the evaluator rejects the text.
std::optional<Extended> EvaluateFormulaAt(ExpressionEvaluator& evaluator, std::string_view formula,
                                          float x);

// One sample of the typed formula; y is empty where the evaluator rejected the text.
struct FormulaSample {
  float x = 0;
  std::optional<Extended> y;
};

// Evaluates the formula at every x, one evaluator call each.
std::vector<FormulaSample> ComputeFormulaSamples(ExpressionEvaluator& evaluator,
                                                 std::string_view formula,
                                                 std::span<const float> xs);

}  // namespace funzioni
