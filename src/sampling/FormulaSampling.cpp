#include "sampling/FormulaSampling.h"

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberText.h"
#include "evaluator/ResultReading.h"

namespace funzioni {

std::optional<Extended> EvaluateFormulaAt(ExpressionEvaluator& evaluator, std::string_view formula,
                                          float x) {
  const std::string result = evaluator.EvaluateExpressionText(SubstituteX(formula, x));
  if (IsEvaluatorError(result)) return std::nullopt;
  return ReadEvaluatorNumber(result);
}

std::vector<FormulaSample> ComputeFormulaSamples(ExpressionEvaluator& evaluator,
                                                 std::string_view formula,
                                                 std::span<const float> xs) {
  std::vector<FormulaSample> samples;
  samples.reserve(xs.size());
  for (const float x : xs) samples.push_back({x, EvaluateFormulaAt(evaluator, formula, x)});
  return samples;
}

}  // namespace funzioni
