#pragma once

// Reading the evaluator's answers as its callers do: whether a result text reports a failure, the
// number it holds, and that same number for a compiled plan's value without writing its text.

#include <optional>
#include <string_view>

#include "evaluator/Extended.h"

namespace funzioni {

// True when the evaluator's answer reports a failure (its lower-case form contains "error").
bool IsEvaluatorError(std::string_view result);

// The number in an evaluator's answer, leading blanks skipped; empty when it holds no number.
std::optional<Extended> ReadEvaluatorNumber(std::string_view result);

// The number that ReadEvaluatorNumber reads from the result text of a 32-bit value (" " and its
// 18-digit text), worked out without writing the text where that can be done exactly.
Extended ReadPlanValue(float value);

}  // namespace funzioni
