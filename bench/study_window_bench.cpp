// Time of what the study window has computed off the event thread at zoom 100 (the widest
// range) and the start step, for each formula of a corpus of school formulas: the study with
// its lines, and the same with f'(x) at every sample of the curve and every row of the table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "BenchSpread.h"
#include "app/StudyJob.h"

namespace {

constexpr const char* kCorpus[] = {"x^2-4",     "x^3-3*x",       "(x^2-1)/(x^2-4)", "SIN(x)*x",
                                   "TAN(x)",    "LN(x)",         "SQR(x^2-1)",      "x*EXP(-x)",
                                   "1/x",       "ABS(3*x-1)",    "(x-1)^2*EXP(x)",  "x/ABS(x)",
                                   "LN(x^2+1)", "EXP(x)*SIN(x)", "x^4-2*x^2"};

void StudyWindowJob(benchmark::State& state) {
  funzioni::StudyRequest request;
  request.state.currentFormula = kCorpus[state.range(0)];
  request.state.zoomValue.value = 100;
  request.slopes = state.range(1) != 0;
  state.SetLabel(request.state.currentFormula + (request.slopes ? " with f'" : ""));
  for (auto _ : state) {
    const std::optional<funzioni::StudyOutcome> outcome = funzioni::ComputeStudy(request);
    benchmark::DoNotOptimize(outcome->lines);  // the job writes the lines itself
  }
}
BENCHMARK(StudyWindowJob)
    ->ArgsProduct({benchmark::CreateDenseRange(0, static_cast<int>(std::size(kCorpus)) - 1, 1),
                   {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Apply(WithSpread);

}  // namespace

BENCHMARK_MAIN();
