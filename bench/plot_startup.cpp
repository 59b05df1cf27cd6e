// Start-up of the grapher: from the start of a fresh process to the main window shown, before
// the opening animation. Each iteration starts this program again as a child, which does what
// the funzioni program does (the display check, the application, the whole main window with its
// start values and first picture state) and reports the moment the window is shown; the child
// then ends without running the animation or the event loop.
//
//   funzioni_bench_startup --benchmark_repetitions=10
//
// Offscreen unless QT_QPA_PLATFORM says otherwise (under Xvfb: QT_QPA_PLATFORM=xcb).

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "app/MainWindow.h"
#include "drawing/PlatformServices.h"
#include "plot_benchmarks.h"

extern char** environ;

namespace funzioni::bench {
namespace {

constexpr std::string_view kChildFlag = "--show-window-once";

// Nanoseconds on the clock that parent and child share.
long long MonotonicNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// The child: the program's own start-up, then the moment of showing on standard output.
int ShowWindowOnce(int argc, char** argv) {
  if (!DisplayAvailable()) return 2;
  PrepareGuiApplication();
  QApplication application(argc, argv);
  MainWindow window;
  window.Show();
  std::printf("%lld\n", MonotonicNow());
  std::fflush(stdout);
  return 0;
}

// Starts the child and returns the seconds from just before its start to its window shown;
// negative when it failed.
double TimeOneStart(const std::string& self) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  std::string flag(kChildFlag);
  char* childArgs[] = {const_cast<char*>(self.c_str()), flag.data(), nullptr};
  pid_t child = 0;
  const long long start = MonotonicNow();
  const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, childArgs, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::string output;
  char buffer[64];
  for (ssize_t got = 0; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
    output.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipeEnds[0]);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || output.empty()) return -1;
  return static_cast<double>(std::atoll(output.c_str()) - start) / 1e9;
}

void StartUpToShownWindow(benchmark::State& timing, std::string self) {
  for (auto _ : timing) {
    const double seconds = TimeOneStart(self);
    if (seconds < 0) {
      timing.SkipWithError("the child program did not show its window");
      return;
    }
    timing.SetIterationTime(seconds);
  }
}

}  // namespace
}  // namespace funzioni::bench

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (argc > 1 && argv[1] == funzioni::bench::kChildFlag) {
    return funzioni::bench::ShowWindowOnce(argc, argv);
  }
  using namespace funzioni::bench;
  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;
  Repeated(benchmark::RegisterBenchmark("StartUp/process_to_shown_window", StartUpToShownWindow,
                                        std::string(self)),
           10)
      ->UseManualTime()
      ->Iterations(3);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
