// A wheel step and a pan step of a moved view, on an offscreen 600 x 600 plotting area with the
// accelerator the window owns, at the heaviest picture of the meters (all ten curves and a typed
// formula, zoom 100's width, step 1): every step is a new view, so the formula, the curves' rows
// and the grid are all computed again.
//
//   funzioni_bench_plot --benchmark_filter=View --benchmark_repetitions=10

#include <benchmark/benchmark.h>

#include "drawing/DialogServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotBoard.h"
#include "plot/PlotIds.h"
#include "state/PlotState.h"

namespace funzioni::bench {
namespace {

struct ViewBench {
  ViewBench() {
    dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600);
    state.zoomValue.value = 100;
    state.stepValue.value = 1;
    state.curveOn.fill(1);
    state.currentFormula = "SIN(x)*x^2";
    state.view = SeedView(100);
  }
  void Redraw() { RedrawPlot(dialog, kPlotAreaId, state, evaluator, accelerator); }
  Dialog dialog{"funzioni", 0, 0, 974, 720, false};
  PlotState state;
  ExpressionEvaluator evaluator;
  PlotAccelerator accelerator;
};

// One notch in, one out, around a point off the centre.
void ViewWheelStep(benchmark::State& timing) {
  ViewBench bench;
  bench.Redraw();
  double factor = 1 / 1.25;
  for (auto _ : timing) {
    bench.state.view = ZoomViewAt(*bench.state.view, 7, 3, factor, ZoomAxes::Both);
    factor = 1 / factor;
    bench.Redraw();
  }
}
BENCHMARK(ViewWheelStep)->Unit(benchmark::kMillisecond)->UseRealTime();

// A drag step of 6 pixels.
void ViewPanStep(benchmark::State& timing) {
  ViewBench bench;
  bench.Redraw();
  for (auto _ : timing) {
    bench.state.view = PanViewByPixels(*bench.state.view, 6, 3, 600, 600);
    bench.Redraw();
  }
}
BENCHMARK(ViewPanStep)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace funzioni::bench
