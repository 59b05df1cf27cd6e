// School formulas sampled at zoom 100, step 1 (40,000 values of x), one thread, in the same run:
// the text engine as the plot calls it, the compiled path as the plot calls it (plan run side by
// side over the samples, and the text engine for the samples the plan declines), direct C++ in
// double and muparser. Counters: nanoseconds per sample of each, the compiled path over muparser
// and over C++, and the share of samples that the plan declined. Also RedrawPlot while the step
// meter is dragged.
//
//   funzioni_bench_plot --benchmark_filter='Corpus|step_drag' --benchmark_repetitions=10

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "drawing/DialogServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/FormulaPlan.h"
#include "plot/Curves.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotBoard.h"
#include "plot/PlotIds.h"
#include "plot_benchmarks.h"
#include "plot_peer_parser.h"
#include "sampling/FormulaSampling.h"
#include "sampling/PlannedSampling.h"
#include "state/PlotState.h"

namespace funzioni::bench {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

struct CorpusFormula {
  const char* formula;
  const char* peer;  // the same in muparser's syntax
  double (*direct)(double);
};

// The direct forms compute what the formula means in school (the speed reference); where the
// language reads a formula otherwise ("-x^2" is (-x)^2), the values differ, not the work.
const CorpusFormula kCorpus[] = {
    {"SIN(x)*x^2", "sin(x*_pi/180)*x^2", [](double x) { return std::sin(x * kDegree) * x * x; }},
    {"x^2", "x^2", [](double x) { return x * x; }},
    {"3*x^3-2*x+1", "3*x^3-2*x+1", [](double x) { return 3 * x * x * x - 2 * x + 1; }},
    {"(x+1)/(x-1)", "(x+1)/(x-1)", [](double x) { return (x + 1) / (x - 1); }},
    {"EXP(-x^2/2)", "exp(-x^2/2)", [](double x) { return std::exp(-x * x / 2); }},
    {"LOG10(ABS(x)+1)", "log10(abs(x)+1)", [](double x) { return std::log10(std::fabs(x) + 1); }},
    {"SQR(x)", "sqrt(x)", [](double x) { return std::sqrt(x); }},
    {"1/x", "1/x", [](double x) { return 1 / x; }},
    {"x^x", "x^x", [](double x) { return std::pow(x, x); }},
    {"COS(x)^2+SIN(x)^2", "cos(x*_pi/180)^2+sin(x*_pi/180)^2",
     [](double x) {
       const double c = std::cos(x * kDegree);
       const double s = std::sin(x * kDegree);
       return c * c + s * s;
     }},
    {"ATN(x)", "atan(x)", [](double x) { return std::atan(x); }},
    {"INT(x)", "rint(x)", [](double x) { return std::floor(x); }},
    {"x MOD 3", "rint(x)-3*floor(rint(x)/3)",
     [](double x) { return std::fmod(std::nearbyint(x), 3.0); }},
    {"2^-x", "2^-x", [](double x) { return std::pow(2.0, -x); }},
    {"-x^2+4", "-x^2+4", [](double x) { return -x * x + 4; }},
    {"LOG(x)", "ln(x)", [](double x) { return std::log(x); }},
};

std::vector<float> WorstCaseXs() {
  PlotState state;
  state.zoomValue.value = 100;
  state.stepValue.value = 1;
  return FormulaSampleXs(state);
}

void CorpusFormulaSampling(benchmark::State& timing, const CorpusFormula& corpus) {
  const std::vector<float> xs = WorstCaseXs();
  ExpressionEvaluator evaluator;
  const std::optional<FormulaPlan> plan = FormulaPlan::Compile(corpus.formula);
  const FormulaPlan* planned = plan ? &*plan : nullptr;
  const std::unique_ptr<PeerParser> peer = MakePeerParser(corpus.peer);
  std::vector<std::optional<Extended>> values(xs.size());
  std::vector<double> direct(xs.size());
  std::vector<double> peerValues;
  double textSeconds = 0, planSeconds = 0, directSeconds = 0, peerSeconds = 0;
  // The samples that the text engine answers instead of the plan.
  long long declined = static_cast<long long>(xs.size());
  if (planned != nullptr) {
    std::vector<PlanOutcome> outcomes(xs.size());
    planned->RunMany(xs, outcomes);
    declined = std::count_if(outcomes.begin(), outcomes.end(), [](const PlanOutcome& o) {
      return o.kind == PlanOutcome::Kind::Declined;
    });
  }
  for (auto _ : timing) {
    const auto wallStart = std::chrono::steady_clock::now();
    double start = ThreadSeconds();
    EvaluatePlannedMany(planned, evaluator, corpus.formula, xs, values);
    benchmark::DoNotOptimize(values.data());
    planSeconds += ThreadSeconds() - start;
    timing.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count());

    start = ThreadSeconds();
    for (std::size_t i = 0; i < xs.size(); ++i) {
      values[i] = EvaluateFormulaAt(evaluator, corpus.formula, xs[i]);
    }
    benchmark::DoNotOptimize(values.data());
    textSeconds += ThreadSeconds() - start;

    start = ThreadSeconds();
    for (std::size_t i = 0; i < xs.size(); ++i) direct[i] = corpus.direct(xs[i]);
    benchmark::DoNotOptimize(direct.data());
    directSeconds += ThreadSeconds() - start;

    if (peer) {
      start = ThreadSeconds();
      peer->Evaluate(xs, peerValues);
      benchmark::DoNotOptimize(peerValues.data());
      peerSeconds += ThreadSeconds() - start;
    }
  }
  const double n = static_cast<double>(timing.iterations()) * static_cast<double>(xs.size());
  timing.counters["plan_ns"] = 1e9 * planSeconds / n;
  timing.counters["text_ns"] = 1e9 * textSeconds / n;
  timing.counters["cpp_ns"] = 1e9 * directSeconds / n;
  timing.counters["plan_over_cpp"] = planSeconds / directSeconds;
  timing.counters["declined_share"] =
      static_cast<double>(declined) / static_cast<double>(xs.size());
  if (peer) {
    timing.counters["muparser_ns"] = 1e9 * peerSeconds / n;
    timing.counters["plan_over_muparser"] = planSeconds / peerSeconds;
  }
}

// The step meter dragged at zoom 100 around the given step: the formula is sampled again at
// every redraw, the background is kept.
void RedrawWorstStepDrag(benchmark::State& timing) {
  Dialog dialog{"funzioni", 0, 0, 974, 720, false};
  dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600);
  PlotState state;
  ExpressionEvaluator evaluator;
  PlotAccelerator accelerator;
  const float base = static_cast<float>(timing.range(0)) / 10;
  state.zoomValue.value = 100;
  state.stepValue.value = base;
  state.curveOn.fill(1);
  state.currentFormula = "SIN(x)*x^2";
  RedrawPlot(dialog, kPlotAreaId, state, evaluator, accelerator);
  int k = 0;
  for (auto _ : timing) {
    k = (k + 1) % 8;
    state.stepValue.value = base * (1 + 0.01f * static_cast<float>(k));
    RedrawPlot(dialog, kPlotAreaId, state, evaluator, accelerator);
  }
}

}  // namespace

void RegisterFormulaCorpusBenchmarks() {
  for (const CorpusFormula& corpus : kCorpus) {
    Repeated(benchmark::RegisterBenchmark(
                 (std::string("Corpus/zoom100_step1/") + corpus.formula).c_str(),
                 [&corpus](benchmark::State& timing) { CorpusFormulaSampling(timing, corpus); }),
             10)
        ->UseManualTime()
        ->Iterations(1);
  }
  Repeated(benchmark::RegisterBenchmark("RedrawPlot/worst/step_drag/step_x10", RedrawWorstStepDrag),
           10)
      ->Arg(10)
      ->Arg(3);
}

}  // namespace funzioni::bench
