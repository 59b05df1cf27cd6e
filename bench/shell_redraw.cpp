// A meter step through the real window's handler, offscreen: the keypad's + and - over the zoom
// meter, each redrawing the meter and the whole plotting area, as the user sees it. Whatever the
// window does besides the picture for each change (announcing it, when something listens) is
// part of the figure. And a pick from the history of a megabyte-long line, followed at once by
// a pick of a short one: the time from the second pick to the short one's table and curve shown,
// the event loop running meanwhile as it does for the user.
//
//   funzioni_bench_shell --benchmark_repetitions=10

#include <unistd.h>
#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "app/History.h"
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

// The history file is written in a fresh current directory, left again when the window goes.
class HistoryDirectory {
 public:
  explicit HistoryDirectory(const std::string& bytes)
      : previous_(std::filesystem::current_path()),
        directory_(std::filesystem::temp_directory_path() /
                   ("funzioni-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(directory_);
    std::filesystem::current_path(directory_);
    std::ofstream(std::string(kHistoryFileName), std::ios::binary) << bytes;
  }
  ~HistoryDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
  HistoryDirectory(const HistoryDirectory&) = delete;
  HistoryDirectory& operator=(const HistoryDirectory&) = delete;

 private:
  std::filesystem::path previous_;
  std::filesystem::path directory_;
};

void UntilIdle(const MainWindow& window) {
  while (!window.plotIdle() || window.history().Loading()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
}

void PickHugeThenShortLine(benchmark::State& timing) {
  // A valid formula of a megabyte: every sample costs the whole text.
  std::string huge = "x";
  while (huge.size() < (1 << 20)) huge += "+x";
  const HistoryDirectory directory(huge + "\r\nx^2\r\n");
  MainWindow window;
  window.Show();
  while (!window.introShown()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  UntilIdle(window);
  Dialog& dialog = window.dialog();
  for (auto _ : timing) {
    dialog.ListSelect(kHistoryListId, 1);
    window.history().PickLine(kNotifyListDoubleClick);
    dialog.ListSelect(kHistoryListId, 2);
    const auto start = std::chrono::steady_clock::now();
    window.history().PickLine(kNotifyListDoubleClick);
    UntilIdle(window);
    timing.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
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
  Repeated(
      benchmark::RegisterBenchmark("ShellFlow/pick_huge_then_short_line", PickHugeThenShortLine),
      10)
      ->UseManualTime()
      ->Iterations(3);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
