#include "sampling/FormulaSampling.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberText.h"

namespace funzioni {

bool IsEvaluatorError(std::string_view result) {
  constexpr std::string_view kWord = "error";
  const auto lowerEquals = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  };
  return std::search(result.begin(), result.end(), kWord.begin(), kWord.end(), lowerEquals) !=
         result.end();
}

std::optional<long double> ReadEvaluatorNumber(std::string_view result) {
  const std::size_t first = result.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const char* begin = result.data() + first;
  const char* end = result.data() + result.size();
  long double value = 0;
  // from_chars ignores the locale, which the toolkit may have set to one with a decimal comma.
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error == std::errc::result_out_of_range) {
    // Beyond even extended range: keep the sign, the value is not finite anyway.
    return *begin == '-' ? -std::numeric_limits<long double>::infinity()
                         : std::numeric_limits<long double>::infinity();
  }
  if (error != std::errc{} || stop == begin) return std::nullopt;
  return value;
}

std::optional<long double> EvaluateFormulaAt(ExpressionEvaluator& evaluator,
                                             std::string_view formula, float x) {
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
