// Cost of one evaluation of a typical formula, as the plot calls it: the formula with x replaced
// by its 7-digit text, for x across -10..10. Each benchmark iteration is one evaluation, going
// through those x values in turn, so the reported time is the time per evaluation.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BenchSpread.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberText.h"

namespace {

std::vector<std::string> SubstitutedTexts(const char* formula) {
  std::vector<std::string> texts;
  // The same running 32-bit sum as a plot at zoom 50 and step 50 (x from -10 by 0.05), so the
  // values carry the plot's rounding drift.
  for (float x = -10.0f; x <= 10.0f; x += 0.05f) texts.push_back(funzioni::SubstituteX(formula, x));
  return texts;
}

void EvaluateFormula(benchmark::State& state, const char* formula) {
  const std::vector<std::string> texts = SubstitutedTexts(formula);
  funzioni::ExpressionEvaluator evaluator;
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(evaluator.EvaluateExpressionText(texts[next]));
    next = next + 1 == texts.size() ? 0 : next + 1;
  }
}

// The target is SIN(x)*x^2 at or under 1 microsecond per evaluation (median).
BENCHMARK_CAPTURE(EvaluateFormula, square, "x^2")->Apply(WithSpread);
BENCHMARK_CAPTURE(EvaluateFormula, sine_times_square, "SIN(x)*x^2")->Apply(WithSpread);
BENCHMARK_CAPTURE(EvaluateFormula, log10_abs, "LOG10(ABS(x)+1)")->Apply(WithSpread);
BENCHMARK_CAPTURE(EvaluateFormula, quotient, "(x+1)/(x-1)")->Apply(WithSpread);
BENCHMARK_CAPTURE(EvaluateFormula, gaussian, "EXP(-x^2/2)")->Apply(WithSpread);
BENCHMARK_CAPTURE(EvaluateFormula, cubic, "3*x^3-2*x+1")->Apply(WithSpread);

// Long texts, whose cost should grow in proportion to their length: products and functions
// inside a long sum are rewritten in the middle of the text. The argument is the length in
// thousands of characters.
void EvaluateLongText(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0)) * 1000;
  std::string text = "1";
  while (text.size() < length) text += "+2*3-SIN(1)";
  funzioni::ExpressionEvaluator evaluator;
  for (auto _ : state) benchmark::DoNotOptimize(evaluator.EvaluateExpressionText(text));
  state.SetComplexityN(static_cast<benchmark::IterationCount>(text.size()));
}
BENCHMARK(EvaluateLongText)
    ->Arg(16)
    ->Arg(64)
    ->Arg(256)
    ->Arg(1024)
    ->Unit(benchmark::kMillisecond)
    ->Complexity()
    ->Apply(WithSpread);

// The 7-digit writing of x alone, which the plot also pays at every sample.
void SubstituteXOnly(benchmark::State& state) {
  float x = -10.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(funzioni::SubstituteX("SIN(x)*x^2", x));
    x = x + 0.05f > 10.0f ? -10.0f : x + 0.05f;
  }
}
BENCHMARK(SubstituteXOnly);

}  // namespace

BENCHMARK_MAIN();
