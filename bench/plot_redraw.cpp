// RedrawPlot timings on an offscreen 600 x 600 plotting area, plain and accelerated.
//
//   funzioni_bench_plot --benchmark_repetitions=10
//
// The "plain" cases run the straightforward path (one thread, nothing kept); the others pass the
// accelerator the shell owns. "cold" drops everything kept before each redraw; "parameter_drag"
// changes one parameter before each redraw, as dragging a meter does; "zoom_drag" changes the
// zoom. Each case is repeated; the report shows median, minimum and maximum per redraw.

#include <QApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "drawing/DialogServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/BuiltinDots.h"
#include "plot/Curves.h"
#include "plot/DotLayer.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotBoard.h"
#include "plot/PlotIds.h"
#include "plot_benchmarks.h"
#include "sampling/FormulaIntersections.h"
#include "sampling/FormulaSampler.h"
#include "state/PlotState.h"

namespace funzioni::bench {
namespace {

struct Bench {
  Bench() { dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600); }
  void Redraw() { RedrawPlot(dialog, kPlotAreaId, state, evaluator, accelerator); }
  Dialog dialog{"funzioni", 0, 0, 974, 720, false};
  PlotState state;
  ExpressionEvaluator evaluator;
  PlotAccelerator accelerator;
};

// The heaviest picture: zoom 100, all ten curves and a typed formula, at the given step.
void MakeWorst(PlotState& state, float step) {
  state.zoomValue.value = 100;
  state.stepValue.value = step;
  state.curveOn.fill(1);
  state.currentFormula = "SIN(x)*x^2";
}

// The benchmark argument is ten times the step (10: step 1; 3: step 0.3, the step drag's end).
float StepOf(const benchmark::State& timing) {
  return static_cast<float>(timing.range(0)) / 10;
}

void SampleCount(benchmark::State& timing, const PlotState& state) {
  timing.counters["formula_samples"] = static_cast<double>(FormulaSampleXs(state).size());
}

void RedrawStartStatePlain(benchmark::State& timing) {
  Bench bench;
  for (auto _ : timing) RedrawPlot(bench.dialog, kPlotAreaId, bench.state, bench.evaluator);
}

void RedrawStartState(benchmark::State& timing) {
  Bench bench;
  bench.Redraw();
  for (auto _ : timing) bench.Redraw();
}

void RedrawWorstPlain(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, StepOf(timing));
  for (auto _ : timing) RedrawPlot(bench.dialog, kPlotAreaId, bench.state, bench.evaluator);
  SampleCount(timing, bench.state);
}

void RedrawWorstCold(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, StepOf(timing));
  for (auto _ : timing) {
    bench.accelerator.DropCaches();
    bench.Redraw();
  }
  SampleCount(timing, bench.state);
}

void RedrawWorstParameterDrag(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, StepOf(timing));
  bench.Redraw();
  float a = 1.0f;
  for (auto _ : timing) {
    a = a > 9 ? -9.0f : a + 0.37f;
    bench.state.paramA[3].value = a;
    bench.Redraw();
  }
  SampleCount(timing, bench.state);
}

// The worst picture with five formulas kept beside the typed one, all six using k, while k's
// meter is dragged: every formula is evaluated again at each redraw.
void RedrawWorstKeptParameterDrag(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, StepOf(timing));
  bench.state.keptFormulas = {"k*x", "x^2-k", "SIN(x)*k", "x^3/100+k", "k/x"};
  constexpr std::size_t kLetterK = 3;  // "abckmn"
  const std::string typed = "x^3-k*x+9";
  float k = 1.0f;
  const auto drag = [&] {
    k = k > 9 ? -9.0f : k + 0.37f;
    bench.state.formulaParams[kLetterK].value = k;
    bench.state.currentFormula = KeptFormulaText(bench.state, typed);
  };
  drag();
  bench.Redraw();
  for (auto _ : timing) {
    drag();
    bench.Redraw();
  }
  SampleCount(timing, bench.state);
}

// The zoom meter dragged near its top: background and formula computed again every time; only
// the bare face is kept.
void RedrawWorstZoomDrag(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, StepOf(timing));
  bench.Redraw();
  float zoom = 100;
  for (auto _ : timing) {
    zoom = zoom < 96 ? 100 : zoom - 0.37f;
    bench.state.zoomValue.value = zoom;
    bench.Redraw();
  }
  SampleCount(timing, bench.state);
}

// The parts of the worst case: the built-in curves alone, plain and fast.
void BuiltinCurvesPlain(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, 1);
  for (auto _ : timing) PlotBuiltinCurves(bench.dialog, kPlotAreaId, bench.state);
}

void BuiltinCurvesFast(benchmark::State& timing) {
  FormulaSampler sampler(static_cast<unsigned>(timing.range(0)));
  Bench bench;
  MakeWorst(bench.state, 1);
  DrawingSurface& surface = bench.dialog.AttachSurface(kPlotAreaId);
  const PlotMapping mapping = MakePlotMapping(surface.GetSurfaceSize(), 100);
  DotLayer layer;
  for (auto _ : timing) {
    layer.Reset(600, 600);
    CollectBuiltinDots(bench.state, mapping, layer, &sampler.Pool());
    layer.FlushTo(surface);
  }
}

void FormulaValuesPlain(benchmark::State& timing) {
  Bench bench;
  MakeWorst(bench.state, 1);
  const std::vector<float> xs = FormulaSampleXs(bench.state);
  for (auto _ : timing) {
    benchmark::DoNotOptimize(
        ComputeFormulaSamples(bench.evaluator, bench.state.currentFormula, xs));
  }
}

void RegisterRedrawBenchmarks() {
  Repeated(benchmark::RegisterBenchmark("RedrawPlot/start_state/plain", RedrawStartStatePlain), 10);
  Repeated(benchmark::RegisterBenchmark("RedrawPlot/start_state", RedrawStartState), 10);
  // Step 1 and 0.3 (the argument is ten times the step).
  Repeated(benchmark::RegisterBenchmark("RedrawPlot/worst/plain/step_x10", RedrawWorstPlain), 5)
      ->Arg(10)
      ->Arg(3)
      ->Iterations(1);
  Repeated(benchmark::RegisterBenchmark("RedrawPlot/worst/cold/step_x10", RedrawWorstCold), 10)
      ->Arg(10)
      ->Arg(3)
      ->Iterations(3);
  Repeated(benchmark::RegisterBenchmark("RedrawPlot/worst/parameter_drag/step_x10",
                                        RedrawWorstParameterDrag),
           10)
      ->Arg(10)
      ->Arg(3);
  Repeated(benchmark::RegisterBenchmark("RedrawPlot/worst/kept5_parameter_drag/step_x10",
                                        RedrawWorstKeptParameterDrag),
           10)
      ->Arg(10);
  Repeated(benchmark::RegisterBenchmark("RedrawPlot/worst/zoom_drag/step_x10", RedrawWorstZoomDrag),
           10)
      ->Arg(10)
      ->Iterations(3);
  Repeated(
      benchmark::RegisterBenchmark("BuiltinCurves/zoom100_step1_all/plain", BuiltinCurvesPlain),
      10);
  Repeated(benchmark::RegisterBenchmark("BuiltinCurves/zoom100_step1_all/fast/threads",
                                        BuiltinCurvesFast),
           10)
      ->Arg(1)
      ->Arg(2);
  Repeated(
      benchmark::RegisterBenchmark("Formula/zoom100_step1/text_one_thread", FormulaValuesPlain), 5)
      ->Iterations(1);
}

}  // namespace
}  // namespace funzioni::bench

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  funzioni::bench::RegisterRedrawBenchmarks();
  funzioni::bench::RegisterFormulaRatioBenchmarks();
  funzioni::bench::RegisterFormulaCorpusBenchmarks();
  funzioni::bench::RegisterLatencyBenchmarks();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
