// Time of the study of the function at zoom 100 (the widest range), one formula at a time and for
// the whole corpus of school formulas, on one thread as the plot worker runs it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "BenchSpread.h"
#include "evaluator/ExpressionEvaluator.h"
#include "sampling/FunctionStudy.h"

namespace {

constexpr const char* kCorpus[] = {
    "x^2-4",          "x^3-3*x",    "(x^2-1)/(x^2-4)", "SIN(x)*x",      "TAN(x)",
    "LN(x)",          "SQR(x^2-1)", "x*EXP(-x)",       "1/x",           "ABS(3*x-1)",
    "(x-1)^2*EXP(x)", "x/ABS(x)",   "LN(x^2+1)",       "EXP(x)*SIN(x)", "x^4-2*x^2",
    "(x+1)/(x-1)",    "SQR(4-x^2)", "ATN(x)",          "x*LN(x)",       "COS(x)^2",
    "ARCSIN(x/20)",   "SINH(x/10)"};

void StudyOneFormula(benchmark::State& state) {
  const char* formula = kCorpus[state.range(0)];
  state.SetLabel(formula);
  funzioni::ExpressionEvaluator evaluator;
  for (auto _ : state) {
    benchmark::DoNotOptimize(funzioni::StudyFunction(evaluator, formula, 100));
  }
}
BENCHMARK(StudyOneFormula)
    ->DenseRange(0, static_cast<int>(std::size(kCorpus)) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Apply(WithSpread);

// The corpus's mean time per formula.
void StudyCorpus(benchmark::State& state) {
  funzioni::ExpressionEvaluator evaluator;
  for (auto _ : state) {
    for (const char* formula : kCorpus) {
      benchmark::DoNotOptimize(funzioni::StudyFunction(evaluator, formula, 100));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(std::size(kCorpus)));
}
BENCHMARK(StudyCorpus)->Unit(benchmark::kMillisecond)->Apply(WithSpread);

}  // namespace

BENCHMARK_MAIN();
