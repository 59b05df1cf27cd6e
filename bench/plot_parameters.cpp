// A typed formula's parameter moved through the real window, offscreen, at zoom 100 and step 1
// (the densest picture the meters reach): from the input to the curve, its table and its meter
// shown, the event loop running meanwhile as it does for the user. Once as the keypad steps the
// k meter, once as a play's tick steps it; each alone, with five kept formulas that use k too,
// and with those and the family of nine curves in k.
//
//   funzioni_bench_parameters --benchmark_repetitions=10

#include <QApplication>
#include <array>
#include <chrono>
#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include "app/FormulaParameterValues.h"
#include "app/MainWindow.h"
#include "app/ParameterFamily.h"
#include "app/ParameterPlayer.h"
#include "drawing/PlatformServices.h"
#include "plot_benchmarks.h"

namespace funzioni::bench {
namespace {

constexpr std::string_view kCubicFamily = "x^3-k*x+9";
// Five kept formulas, each moved by k as the typed one is.
constexpr std::array<std::string_view, 5> kKeptFormulas = {"k*x", "x^2-k", "SIN(x)*k", "k/x",
                                                           "ABS(x-k)"};

// What the picture holds besides the typed formula.
struct Setting {
  bool kept = false;
  int familyCurves = 0;
};

void UntilIdle(const MainWindow& window) {
  while (!window.plotIdle()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// The window shown with the cubic family drawn at zoom 100, step 1.
void Prepare(MainWindow& window, Setting setting) {
  window.Show();
  while (!window.introShown()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  window.state().zoomValue.value = 100;
  window.state().stepValue.value = 1;
  SetTypedFormula(window.state(), kCubicFamily);
  if (setting.kept) {
    for (const std::string_view kept : kKeptFormulas) {
      window.state().keptFormulas.emplace_back(kept);
    }
  }
  ChooseFamily(window.state(), *FormulaParameterIndex('k'), setting.familyCurves);
  window.dialog().SetControlText(kFormulaBoxId, kCubicFamily);
  window.dialog().SetControlFocus(kFormulaBoxId);
  window.MainDialogProc({EventKind::Command, kCommandOk, kNotifyClicked});
  UntilIdle(window);
}

// Times each step up to its picture shown; the pictures drawn per step are counted beside the
// time, so that a step that drew nothing would show.
template <typename Step>
void Timed(benchmark::State& timing, MainWindow& window, Step step) {
  const int before = window.plotRedraws();
  for (auto _ : timing) {
    const auto start = std::chrono::steady_clock::now();
    step();
    UntilIdle(window);
    timing.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  timing.counters["redraws_per_step"] =
      benchmark::Counter(window.plotRedraws() - before, benchmark::Counter::kAvgIterations);
}

void KeypadStepOfK(benchmark::State& timing, Setting setting) {
  MainWindow window;
  Prepare(window, setting);
  const int meter = FormulaMeterId(*FormulaParameterIndex('k'));
  window.MainDialogProc({EventKind::PointerShape, meter, 0});
  int s = 0;
  Timed(timing, window, [&] {
    window.MainDialogProc(
        {EventKind::Command, (s++ % 2) == 0 ? kCommandKeypadPlus : kCommandKeypadMinus, 0});
  });
}

void PlayTickOfK(benchmark::State& timing, Setting setting) {
  MainWindow window;
  Prepare(window, setting);
  const int meter = FormulaMeterId(*FormulaParameterIndex('k'));
  ParameterChoice play;
  play.kind = ParameterChoice::Kind::Play;
  play.mode = PlayMode::BackAndForth;
  window.parameterPlayer().Choose(meter, play);
  UntilIdle(window);
  // The ticks are sent here, not left to the timer, so that only their work is timed.
  window.dialog().StopTimer(kParameterPlayTimerId);
  Timed(timing, window, [&] {
    window.MainDialogProc({EventKind::Timer, kParameterPlayTimerId, 0});
  });
}

}  // namespace
}  // namespace funzioni::bench

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  funzioni::PrepareGuiApplication();
  QApplication application(argc, argv);
  using namespace funzioni::bench;
  const struct {
    const char* suffix;
    Setting setting;
  } settings[] = {
      {"", {}},
      {"_kept5", {true, 0}},
      {"_kept5_family9", {true, funzioni::kMaxFamilyCurves}},
  };
  for (const auto& s : settings) {
    const std::string keypad =
        std::string("ParameterRedraw/keypad_step_k_zoom100_step1") + s.suffix;
    const std::string play = std::string("ParameterRedraw/play_tick_k_zoom100_step1") + s.suffix;
    Repeated(benchmark::RegisterBenchmark(keypad.c_str(), KeypadStepOfK, s.setting), 10)
        ->UseManualTime();
    Repeated(benchmark::RegisterBenchmark(play.c_str(), PlayTickOfK, s.setting), 10)
        ->UseManualTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
