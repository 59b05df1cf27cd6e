// The compiled sampling path against the text engine: the first four bytes are the float x, the
// next four a float step, the rest is the formula. At x and at the next samples of a running sum
// from it, every sample that the plan answers must give the engine's text byte for byte.
#include <bit>
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
  float xs[kSamples];
  for (float& sample : xs) {
    sample = x;
    x += step;
  }
  // Side by side, as the plot runs them, and the first sample alone.
  funzioni::PlanOutcome outcomes[kSamples];
  plan->RunMany(xs, outcomes);
  const funzioni::PlanOutcome alone = plan->Run(xs[0]);
  funzioni::fuzz::Require(alone.kind == outcomes[0].kind &&
                              std::bit_cast<std::uint32_t>(alone.value) ==
                                  std::bit_cast<std::uint32_t>(outcomes[0].value) &&
                              alone.error == outcomes[0].error,
                          "a sample alone differs from the same sample among others", formula);
  funzioni::ExpressionEvaluator evaluator;
  for (int i = 0; i < kSamples; ++i) {
    x = xs[i];
    const funzioni::PlanOutcome& outcome = outcomes[i];
    if (outcome.kind == funzioni::PlanOutcome::Kind::Declined) continue;
    const std::string substituted = funzioni::SubstituteX(formula, x);
    const std::string expected = evaluator.EvaluateExpressionText(substituted);
    const std::string got = funzioni::PlanResultText(outcome);
    funzioni::fuzz::Require(got == expected, "plan differs from the text engine",
                            substituted + " -> " + got + " / " + expected);
  }
  return 0;
}
