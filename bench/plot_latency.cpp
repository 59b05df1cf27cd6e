// How long an event posted to the window waits while a long redraw runs: the time from posting
// it, just before the redraw starts, to the moment the event thread handles it.
//
//   funzioni_bench_plot --benchmark_filter=EventLatency --benchmark_repetitions=10
//
// zoom_5000: the plotting area at zoom 5,000 (the zoom meter stepped there by the keypad), the
// start state's curves. formula_100k: a typed formula of 100,000 characters, as a pick from the
// history draws it: its results table, then its curve. EventLatency/... computes on the event
// thread itself, as the window once did; EventLatencyWorker/... hands the same work to the plot
// worker, as the window does now.

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <string>

#include <benchmark/benchmark.h>

#include "drawing/DialogServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/Curves.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotBoard.h"
#include "plot/PlotIds.h"
#include "plot/PlotWorker.h"
#include "plot/ResultsTable.h"
#include "plot_benchmarks.h"
#include "state/PlotState.h"

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

std::string Formula100k() {
  std::string formula;
  while (formula.size() < 100000) formula += "SIN(x)*2+x^2/3-";
  return formula + "x";
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
  const std::string formula = Formula100k();
  window.state.currentFormula = formula;
  MeasureLatency(timing, [&window, &formula] {
    ShowFormulaResults(window.dialog, window.state, window.evaluator, window.accelerator, formula);
    PlotFormulaCurve(window.dialog, kPlotAreaId, window.state, window.evaluator, window.accelerator,
                     formula);
  });
}

void WorkerLatencyZoom5000(benchmark::State& timing) {
  PlotWorker worker;
  PlotWork work;
  work.picture = PlotWork::Picture::Whole;
  work.state.InitialiseState();
  work.state.zoomValue.value = 5000;
  work.size = {600, 600};
  MeasureLatency(timing, [&] { worker.Submit(work); });
  worker.WaitFor(std::chrono::minutes(1));
}

void WorkerLatencyFormula100k(benchmark::State& timing) {
  PlotWorker worker;
  PlotWork work;
  work.picture = PlotWork::Picture::FormulaOver;
  work.state.InitialiseState();
  work.state.currentFormula = Formula100k();
  work.table = work.state;
  work.size = {600, 600};
  // Each submission replaces the unfinished one before it, as a new pick does.
  MeasureLatency(timing, [&] { worker.Submit(work); });
}

}  // namespace

void RegisterLatencyBenchmarks() {
  Repeated(benchmark::RegisterBenchmark("EventLatency/zoom_5000", EventLatencyZoom5000), 10)
      ->UseManualTime()
      ->Iterations(1);
  Repeated(benchmark::RegisterBenchmark("EventLatency/formula_100k", EventLatencyFormula100k), 10)
      ->UseManualTime()
      ->Iterations(1);
  Repeated(benchmark::RegisterBenchmark("EventLatencyWorker/zoom_5000", WorkerLatencyZoom5000), 10)
      ->UseManualTime()
      ->Iterations(1);
  Repeated(
      benchmark::RegisterBenchmark("EventLatencyWorker/formula_100k", WorkerLatencyFormula100k), 10)
      ->UseManualTime()
      ->Iterations(1);
}

}  // namespace funzioni::bench
