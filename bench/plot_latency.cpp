// How long an event posted to the window waits while a long redraw runs: the time from posting
// it, just before the redraw starts, to the moment the event thread handles it.
//
//   funzioni_bench_plot --benchmark_filter=EventLatency --benchmark_repetitions=10
//
// zoom_5000: the plotting area at zoom 5,000 (the zoom meter stepped there by the keypad), the
// start state's curves. formula_100k: a typed formula of 100,000 characters, as a pick from the
// history draws it: its results table, then its curve.

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <string>

#include <benchmark/benchmark.h>

#include "state/PlotState.h"
#include "drawing/DialogServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/Curves.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotBoard.h"
#include "plot/PlotIds.h"
#include "plot/ResultsTable.h"
#include "plot_benchmarks.h"

namespace funzioni::bench {
namespace {

using Clock = std::chrono::steady_clock;

struct Window {
  Window() {
    dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600);
    dialog.AddControl(ControlKind::Surface, kResultsListId, "", 606, 4, 364, 340);
    state.InitialiseState();
  }
  Dialog dialog{"funzioni", 0, 0, 974, 720, false};
  PlotState state;
  ExpressionEvaluator evaluator;
  PlotAccelerator accelerator;
};

// Posts an event, runs the work, and reports how long the event waited to be handled.
template <typename Work>
void MeasureLatency(benchmark::State& timing, Work work) {
  for (auto _ : timing) {
    Clock::time_point handled{};
    const Clock::time_point posted = Clock::now();
    QTimer::singleShot(0, [&handled] { handled = Clock::now(); });
    work();
    while (handled == Clock::time_point{}) QCoreApplication::processEvents();
    timing.SetIterationTime(std::chrono::duration<double>(handled - posted).count());
  }
}

void EventLatencyZoom5000(benchmark::State& timing) {
  Window window;
  window.state.zoomValue.value = 5000;
  MeasureLatency(timing, [&window] {
    RedrawPlot(window.dialog, kPlotAreaId, window.state, window.evaluator, window.accelerator);
  });
}

void EventLatencyFormula100k(benchmark::State& timing) {
  Window window;
  std::string formula;
  while (formula.size() < 100000) formula += "SIN(x)*2+x^2/3-";
  formula += "x";
  window.state.currentFormula = formula;
  MeasureLatency(timing, [&window, &formula] {
    ShowFormulaResults(window.dialog, window.state, window.evaluator, window.accelerator, formula);
    PlotFormulaCurve(window.dialog, kPlotAreaId, window.state, window.evaluator, window.accelerator,
                     formula);
  });
}

}  // namespace

void RegisterLatencyBenchmarks() {
  Repeated(benchmark::RegisterBenchmark("EventLatency/zoom_5000", EventLatencyZoom5000), 10)
      ->UseManualTime()
      ->Iterations(1);
  Repeated(benchmark::RegisterBenchmark("EventLatency/formula_100k", EventLatencyFormula100k), 10)
      ->UseManualTime()
      ->Iterations(1);
}

}  // namespace funzioni::bench
