// RedrawPlot timings on an offscreen 600 x 600 plotting area.
//
//   funzioni_bench_plot --benchmark_filter=Redraw
//
// Each case is repeated; the report shows median, minimum and maximum per redraw.

#include <QApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/PlotState.h"
#include "drawing/DialogServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/Curves.h"
#include "plot/PlotBoard.h"
#include "plot/PlotIds.h"

namespace funzioni {
namespace {

struct Bench {
  Bench() { dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600); }
  Dialog dialog{"funzioni", 0, 0, 974, 720, false};
  PlotState state;
  ExpressionEvaluator evaluator;
};

// The heaviest picture: zoom 100, all ten curves and a typed formula, at the given step.
void MakeWorst(PlotState& state, float step) {
  state.zoomValue.value = 100;
  state.stepValue.value = step;
  state.curveOn.fill(1);
  state.currentFormula = "SIN(x)*x^2";
}

double Minimum(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}
double Maximum(const std::vector<double>& v) {
  return *std::max_element(v.begin(), v.end());
}

void RedrawStartState(benchmark::State& timing) {
  Bench bench;
  for (auto _ : timing) RedrawPlot(bench.dialog, kPlotAreaId, bench.state, bench.evaluator);
}

void RedrawWorst(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, static_cast<float>(timing.range(0)) / 10);
  for (auto _ : timing) RedrawPlot(bench.dialog, kPlotAreaId, bench.state, bench.evaluator);
  timing.counters["formula_samples"] = static_cast<double>(FormulaSampleXs(bench.state).size());
}

// The parts of the worst case: the built-in curves alone, and the formula's evaluations alone.
void BuiltinCurvesWorst(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, 1);
  for (auto _ : timing) PlotBuiltinCurves(bench.dialog, kPlotAreaId, bench.state);
}

void FormulaValuesWorst(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, 1);
  const std::vector<float> xs = FormulaSampleXs(bench.state);
  for (auto _ : timing) {
    benchmark::DoNotOptimize(
        ComputeFormulaSamples(bench.evaluator, bench.state.currentFormula, xs));
  }
}

// Milliseconds, repeated, reported as median, minimum and maximum.
benchmark::internal::Benchmark* Repeated(benchmark::internal::Benchmark* b, int repetitions) {
  return b->Unit(benchmark::kMillisecond)
      ->Repetitions(repetitions)
      ->ReportAggregatesOnly(true)
      ->ComputeStatistics("min", Minimum)
      ->ComputeStatistics("max", Maximum);
}

}  // namespace
}  // namespace funzioni

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  using namespace funzioni;
  Repeated(benchmark::RegisterBenchmark("RedrawPlot/start_state", RedrawStartState), 10);
  // Step 1 and 0.3 (the argument is ten times the step).
  Repeated(
      benchmark::RegisterBenchmark("RedrawPlot/zoom100_all_curves_formula/step_x10", RedrawWorst),
      5)
      ->Arg(10)
      ->Arg(3)
      ->Iterations(1);
  Repeated(benchmark::RegisterBenchmark("PlotBuiltinCurves/zoom100_step1_all", BuiltinCurvesWorst),
           10);
  Repeated(benchmark::RegisterBenchmark("ComputeFormulaSamples/zoom100_step1", FormulaValuesWorst),
           5)
      ->Iterations(1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
