// With --benchmark_repetitions, the spread of the runs beside their median: the machine is shared.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

inline void WithSpread(benchmark::internal::Benchmark* b) {
  b->ComputeStatistics("min", [](const std::vector<double>& v) {
     return *std::min_element(v.begin(), v.end());
   })->ComputeStatistics("max", [](const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
  });
}
