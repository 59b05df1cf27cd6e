#include "sampling/PlannedSampling.h"

#include <algorithm>
#include <array>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/FormulaPlan.h"
#include "evaluator/NumberText.h"
#include "evaluator/ResultReading.h"
#include "sampling/ChunkSizes.h"
#include "sampling/FormulaSampling.h"

namespace funzioni {

std::optional<Extended> EvaluatePlannedAt(const FormulaPlan* plan, ExpressionEvaluator& evaluator,
                                          std::string_view formula, float x, bool* declined) {
  if (plan != nullptr) {
    const PlanOutcome outcome = plan->Run(x);
    if (declined != nullptr) *declined = outcome.kind == PlanOutcome::Kind::Declined;
    if (outcome.kind == PlanOutcome::Kind::Value) return ReadPlanValue(outcome.value);
    if (outcome.kind == PlanOutcome::Kind::Error) return std::nullopt;
  } else if (declined != nullptr) {
    *declined = true;
  }
  return EvaluateFormulaAt(evaluator, formula, x);
}

void EvaluatePlannedMany(const FormulaPlan* plan, ExpressionEvaluator& evaluator,
                         std::string_view formula, std::span<const float> xs,
                         std::span<std::optional<Extended>> values) {
  std::array<PlanOutcome, kPlanOutcomesAtOnce> outcomes;
  const std::size_t count = std::min(xs.size(), values.size());
  for (std::size_t first = 0; first < count; first += kPlanOutcomesAtOnce) {
    const std::size_t n = std::min(kPlanOutcomesAtOnce, count - first);
    if (plan != nullptr) plan->RunMany(xs.subspan(first, n), std::span(outcomes).first(n));
    for (std::size_t i = 0; i < n; ++i) {
      const PlanOutcome& outcome = outcomes[i];
      std::optional<Extended>& value = values[first + i];
      if (plan != nullptr && outcome.kind == PlanOutcome::Kind::Value) {
        value = ReadPlanValue(outcome.value);
      } else if (plan != nullptr && outcome.kind == PlanOutcome::Kind::Error) {
        value.reset();
      } else {
        value = EvaluateFormulaAt(evaluator, formula, xs[first + i]);
      }
    }
  }
}

std::string PlannedResultText(const FormulaPlan* plan, ExpressionEvaluator& evaluator,
                              std::string_view formula, float x) {
  if (plan != nullptr) {
    const PlanOutcome outcome = plan->Run(x);
    if (outcome.kind != PlanOutcome::Kind::Declined) return PlanResultText(outcome);
  }
  return evaluator.EvaluateExpressionText(SubstituteX(formula, x));
}

}  // namespace funzioni
