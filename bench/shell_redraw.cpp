// A meter step through the real window's handler, offscreen: the keypad's + and - over the zoom
// meter, each redrawing the meter and the whole plotting area, as the user sees it. Whatever the
// window does besides the picture for each change (announcing it, when something listens) is
// part of the figure.
//
//   funzioni_bench_shell --benchmark_repetitions=10

#include <QApplication>
#include <cstdlib>

#include <benchmark/benchmark.h>

#include "app/MainWindow.h"
#include "drawing/PlatformServices.h"
#include "plot_benchmarks.h"

namespace funzioni::bench {
namespace {

void KeypadStepOverZoomMeter(benchmark::State& timing) {
  MainWindow window;
  window.MainDialogProc({EventKind::PointerShape, kZoomMeterId, 0});
  int s = 0;
  for (auto _ : timing) {
    window.MainDialogProc(
        {EventKind::Command, (s++ % 2) == 0 ? kCommandKeypadPlus : kCommandKeypadMinus, 0});
  }
}

}  // namespace
}  // namespace funzioni::bench

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  funzioni::PrepareGuiApplication();
  QApplication application(argc, argv);
  using namespace funzioni::bench;
  Repeated(
      benchmark::RegisterBenchmark("ShellRedraw/keypad_step_zoom_meter", KeypadStepOverZoomMeter),
      10);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
