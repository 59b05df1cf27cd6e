// Cost of one call of each software elementary function, beside the hardware long double one
// (x86-64 only) on the same arguments. Each iteration is one call, going through 1024 arguments
// of the range the evaluator typically meets.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "BenchSpread.h"
#include "evaluator/SoftFunctions.h"

namespace {

using funzioni::soft::Float80;

// x = mantissa * 2^e with e uniform in [minimum, maximum], positive or of either sign.
std::vector<Float80> Arguments(int minimum, int maximum, bool bothSigns) {
  std::mt19937_64 random(1);
  std::vector<Float80> values;
  for (int i = 0; i < 1024; ++i) {
    const int exponent = minimum + static_cast<int>(random() % (maximum - minimum + 1));
    const bool negative = bothSigns && (random() & 1) != 0;
    values.push_back({random() | 0x8000000000000000ULL,
                      static_cast<std::uint16_t>((exponent + funzioni::soft::kFloat80Bias) |
                                                 (negative ? 0x8000 : 0))});
  }
  return values;
}

struct Domain {
  int minimum;
  int maximum;
  bool bothSigns;
};

void Soft(benchmark::State& state, Float80 (*function)(Float80), Domain domain) {
  const std::vector<Float80> values = Arguments(domain.minimum, domain.maximum, domain.bothSigns);
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(function(values[next]));
    next = (next + 1) & 1023;
  }
}

void SoftPow(benchmark::State& state) {
  const std::vector<Float80> bases = Arguments(-10, 10, false);
  const std::vector<Float80> exponents = Arguments(-4, 4, true);
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(funzioni::soft::Pow(bases[next], exponents[next]));
    next = (next + 1) & 1023;
  }
}

#if defined(__x86_64__)
std::vector<long double> HardwareValues(const std::vector<Float80>& values) {
  std::vector<long double> out(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::memcpy(&out[i], static_cast<const void*>(&values[i]), 10);
  }
  return out;
}

void Hardware(benchmark::State& state, long double (*function)(long double), Domain domain) {
  const std::vector<long double> values =
      HardwareValues(Arguments(domain.minimum, domain.maximum, domain.bothSigns));
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(function(values[next]));
    next = (next + 1) & 1023;
  }
}

void HardwarePow(benchmark::State& state) {
  const std::vector<long double> bases = HardwareValues(Arguments(-10, 10, false));
  const std::vector<long double> exponents = HardwareValues(Arguments(-4, 4, true));
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(powl(bases[next], exponents[next]));
    next = (next + 1) & 1023;
  }
}
#endif

constexpr Domain kTrigonometric{-4, 6, true};  // |x| up to 128
constexpr Domain kExponential{-6, 5, true};    // |x| up to 64
constexpr Domain kPositive{-20, 20, false};    // logarithms
constexpr Domain kUnit{-10, -1, true};         // asin, acos
constexpr Domain kTangent{-10, 10, true};

}  // namespace

BENCHMARK_CAPTURE(Soft, Sin, funzioni::soft::Sin, kTrigonometric)->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, Cos, funzioni::soft::Cos, kTrigonometric)->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, SinHuge, funzioni::soft::Sin, Domain{1000, 16000, true})->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, Atan, funzioni::soft::Atan, kTangent)->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, Asin, funzioni::soft::Asin, kUnit)->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, Acos, funzioni::soft::Acos, kUnit)->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, Exp, funzioni::soft::Exp, kExponential)->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, Exp2, funzioni::soft::Exp2, kExponential)->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, Log, funzioni::soft::Log, kPositive)->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, Log2, funzioni::soft::Log2, kPositive)->Apply(WithSpread);
BENCHMARK_CAPTURE(Soft, Log10, funzioni::soft::Log10, kPositive)->Apply(WithSpread);
BENCHMARK(SoftPow)->Apply(WithSpread);
#if defined(__x86_64__)
BENCHMARK_CAPTURE(Hardware, Sin, sinl, kTrigonometric)->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, Cos, cosl, kTrigonometric)->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, SinHuge, sinl, Domain{1000, 16000, true})->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, Atan, atanl, kTangent)->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, Asin, asinl, kUnit)->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, Acos, acosl, kUnit)->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, Exp, expl, kExponential)->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, Exp2, exp2l, kExponential)->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, Log, logl, kPositive)->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, Log2, log2l, kPositive)->Apply(WithSpread);
BENCHMARK_CAPTURE(Hardware, Log10, log10l, kPositive)->Apply(WithSpread);
BENCHMARK(HardwarePow)->Apply(WithSpread);
#endif

BENCHMARK_MAIN();
