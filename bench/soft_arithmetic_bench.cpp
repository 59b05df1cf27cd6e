// Cost of each operation of the software extended arithmetic beside the same operation on the
// compiler's long double (the x87 on x86-64), on 1024 operands of ordinary size taken in turn.
// Their signs are random, so the software's branches on equal or opposite signs (in add) are
// mispredicted about half the time: a worse case than a plot's runs of neighbouring values.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "BenchSpread.h"
#include "evaluator/SoftArithmetic.h"

namespace {

namespace soft = funzioni::soft;

struct Pool {
  std::vector<soft::Float80> soft;
  std::vector<long double> hardware;
  std::vector<std::string> decimals;
};

const Pool& Operands() {
  static const Pool pool = [] {
    Pool p;
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> magnitude(-30.0, 30.0);
    for (int i = 0; i < 1024; ++i) {
      const double value = std::exp(magnitude(random)) * (random() % 2 ? 1 : -1);
      // A full 64-bit mantissa: the double's bits and 11 more random ones.
      soft::Float80 x = soft::FromDouble(value);
      x.mantissa |= random() & 0x7FF;
      p.soft.push_back(x);
      long double h = 0;
      std::memcpy(&h, &x, 10);
      p.hardware.push_back(h);
      p.decimals.push_back(std::to_string(random() % 10000000));
    }
    return p;
  }();
  return pool;
}

constexpr std::size_t kMask = 1023;

template <typename Operation>
void SoftBinary(benchmark::State& state, Operation operation) {
  const Pool& p = Operands();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(operation(p.soft[i], p.soft[(i + 1) & kMask]));
    i = (i + 1) & kMask;
  }
}

template <typename Operation>
void HardwareBinary(benchmark::State& state, Operation operation) {
  const Pool& p = Operands();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(operation(p.hardware[i], p.hardware[(i + 1) & kMask]));
    i = (i + 1) & kMask;
  }
}

using soft::Float80;
using Hard = long double;

// The soft operations and their hardware counterparts; unary ones ignore the second operand.
const auto kSoftAdd = [](Float80 a, Float80 b) { return soft::Add(a, b); };
const auto kHardAdd = [](Hard x, Hard y) { return x + y; };
const auto kSoftMultiply = [](Float80 a, Float80 b) { return soft::Multiply(a, b); };
const auto kHardMultiply = [](Hard x, Hard y) { return x * y; };
const auto kSoftDivide = [](Float80 a, Float80 b) { return soft::Divide(a, b); };
const auto kHardDivide = [](Hard x, Hard y) { return x / y; };
const auto kSoftRemainder = [](Float80 a, Float80 b) { return soft::Remainder(a, b); };
const auto kHardRemainder = [](Hard x, Hard y) { return std::fmod(x, y); };
const auto kSoftSquareRoot = [](Float80 a, Float80) { return soft::SquareRoot(soft::Absolute(a)); };
const auto kHardSquareRoot = [](Hard x, Hard) { return std::sqrt(std::fabs(x)); };
const auto kSoftLess = [](Float80 a, Float80 b) {
  return soft::Compare(a, b) == soft::Ordering::kLess;
};
const auto kHardLess = [](Hard x, Hard y) { return x < y; };
const auto kSoftFloor = [](Float80 a, Float80) {
  return soft::RoundToIntegral(a, soft::Rounding::kDown);
};
const auto kHardFloor = [](Hard x, Hard) { return std::floor(x); };
const auto kSoftToFloat = [](Float80 a, Float80) { return soft::ToFloat(a); };
const auto kHardToFloat = [](Hard x, Hard) { return static_cast<float>(x); };
const auto kSoftToDouble = [](Float80 a, Float80) { return soft::ToDouble(a); };
const auto kHardToDouble = [](Hard x, Hard) { return static_cast<double>(x); };
const auto kSoftFromFloat = [](Float80 a, Float80) {
  return soft::FromFloat(static_cast<float>(a.mantissa >> 40));
};
const auto kHardFromFloat = [](Hard x, Hard) {
  return static_cast<Hard>(static_cast<float>(static_cast<std::uint64_t>(x) >> 40));
};
const auto kSoftToInt64 = [](Float80 a, Float80) { return soft::ToInt64(a); };
const auto kHardToInt64 = [](Hard x, Hard) { return static_cast<std::int64_t>(x); };
const auto kSoftScale = [](Float80 a, Float80) { return soft::Scale(a, 7); };
const auto kHardScale = [](Hard x, Hard) { return std::ldexp(x, 7); };

BENCHMARK_CAPTURE(SoftBinary, add, kSoftAdd)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, add, kHardAdd)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, multiply, kSoftMultiply)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, multiply, kHardMultiply)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, divide, kSoftDivide)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, divide, kHardDivide)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, remainder, kSoftRemainder)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, remainder, kHardRemainder)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, square_root, kSoftSquareRoot)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, square_root, kHardSquareRoot)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, less, kSoftLess)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, less, kHardLess)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, floor, kSoftFloor)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, floor, kHardFloor)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, to_float, kSoftToFloat)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, to_float, kHardToFloat)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, to_double, kSoftToDouble)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, to_double, kHardToDouble)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, from_float, kSoftFromFloat)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, from_float, kHardFromFloat)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, to_int64, kSoftToInt64)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, to_int64, kHardToInt64)->Apply(WithSpread);
BENCHMARK_CAPTURE(SoftBinary, scale, kSoftScale)->Apply(WithSpread);
BENCHMARK_CAPTURE(HardwareBinary, scale, kHardScale)->Apply(WithSpread);

// Seven-digit decimals with a point before the last three digits, as the plot's texts have.
void SoftDecimal(benchmark::State& state) {
  const Pool& p = Operands();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(soft::FromDecimal(p.decimals[i], -3, false));
    i = (i + 1) & kMask;
  }
}
void HardwareDecimal(benchmark::State& state) {
  const Pool& p = Operands();
  std::vector<std::string> texts;
  for (const std::string& d : p.decimals) texts.push_back(d + "e-3");
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::strtold(texts[i].c_str(), nullptr));
    i = (i + 1) & kMask;
  }
}
BENCHMARK(SoftDecimal)->Apply(WithSpread);
BENCHMARK(HardwareDecimal)->Apply(WithSpread);

}  // namespace

BENCHMARK_MAIN();
