#pragma once

// Shared by the plot benchmarks: repeated runs reported as median, minimum and maximum.

#include <algorithm>
#include <vector>

#include <benchmark/benchmark.h>

namespace funzioni::bench {

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
