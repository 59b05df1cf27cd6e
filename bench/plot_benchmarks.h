#pragma once

// Shared by the plot benchmarks: repeated runs reported as median, minimum and maximum.

#include <time.h>

#include <algorithm>
#include <vector>

#include <benchmark/benchmark.h>

namespace funzioni::bench {

// This thread's processor time in seconds, which other programs on a busy machine disturb far
// less than the wall clock (the ratios are taken from it; the benchmarks' own time is the wall).
inline double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

inline double Minimum(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}
inline double Maximum(const std::vector<double>& v) {
  return *std::max_element(v.begin(), v.end());
}

// Milliseconds, repeated (overridden by --benchmark_repetitions), aggregates only.
inline benchmark::internal::Benchmark* Repeated(benchmark::internal::Benchmark* b,
                                                int repetitions) {
  return b->Unit(benchmark::kMillisecond)
      ->Repetitions(repetitions)
      ->ReportAggregatesOnly(true)
      ->ComputeStatistics("min", Minimum)
      ->ComputeStatistics("max", Maximum);
}

// The typed formula's evaluation against direct C++ and against the peer parser.
void RegisterFormulaRatioBenchmarks();
// The compiled path over a corpus of school formulas, and the step drag.
void RegisterFormulaCorpusBenchmarks();
// How long an event waits while a long redraw runs.
void RegisterLatencyBenchmarks();

}  // namespace funzioni::bench
