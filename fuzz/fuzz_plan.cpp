// The compiled sampling path against the text engine: the first four bytes are the float x, the
// next four a float step, the rest is the formula. At x and at the next samples of a running sum
// from it, every sample that the plan answers must give the engine's text byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "Require.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/FormulaPlan.h"
#include "evaluator/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHead = 2 * sizeof(float);
  constexpr int kSamples = 8;
  if (size < kHead) return 0;
  float x = 0;
  float step = 0;
  std::memcpy(&x, data, sizeof x);
  std::memcpy(&step, data + sizeof x, sizeof step);
  const std::string_view formula(reinterpret_cast<const char*>(data) + kHead, size - kHead);
  const std::optional<funzioni::FormulaPlan> plan = funzioni::FormulaPlan::Compile(formula);
  if (!plan) return 0;
  funzioni::ExpressionEvaluator evaluator;
  for (int i = 0; i < kSamples; ++i, x += step) {
    const funzioni::PlanOutcome outcome = plan->Run(x);
    if (outcome.kind == funzioni::PlanOutcome::Kind::Declined) continue;
    const std::string substituted = funzioni::SubstituteX(formula, x);
    const std::string expected = evaluator.EvaluateExpressionText(substituted);
    const std::string got = funzioni::PlanResultText(outcome);
    funzioni::fuzz::Require(got == expected, "plan differs from the text engine",
                            substituted + " -> " + got + " / " + expected);
  }
  return 0;
}
