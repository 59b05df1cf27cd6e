#pragma once

#include "evaluator/Extended.h"

// One sample of the typed formula through its compiled plan when the plan answers for that x,
// through the text engine otherwise. Both give the same result text; the plan only saves the
// work of rewriting the text.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace funzioni {

class ExpressionEvaluator;
class FormulaPlan;

// As EvaluateFormulaAt, through the plan when there is one and it answers; `declined` (when
// given) tells whether the text engine had to answer instead.
std::optional<Extended> EvaluatePlannedAt(const FormulaPlan* plan, ExpressionEvaluator& evaluator,
                                          std::string_view formula, float x,
                                          bool* declined = nullptr);

// EvaluatePlannedAt at each x, the plan running the samples side by side: values[i] is the value
// at xs[i].
void EvaluatePlannedMany(const FormulaPlan* plan, ExpressionEvaluator& evaluator,
                         std::string_view formula, std::span<const float> xs,
                         std::span<std::optional<Extended>> values);

// The result text of the same sample, as EvaluateExpressionText gives it for the substituted text.
std::string PlannedResultText(const FormulaPlan* plan, ExpressionEvaluator& evaluator,
                              std::string_view formula, float x);

}  // namespace funzioni
