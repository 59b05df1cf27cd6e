// The typed formula SIN(x)*x^2 at the samples of the heaviest picture (zoom 100, step 1: 40,000
// values of x), computed three ways in the same run: by the text engine as the plot calls it (one
// thread), directly in C++ in double (the limit of what any evaluator could reach), and by
// muparser (a compiled parser). The counters give nanoseconds per sample and the text engine's
// processor time as a multiple of the other two; largest_difference shows that the three compute
// the same values (up to the text engine's 32-bit intermediate results).

#include <chrono>
#include <cmath>
#include <ctime>
#include <numbers>
#include <optional>
#include <vector>

#include "evaluator/ExpressionEvaluator.h"
#include "plot/Curves.h"
#include "plot_benchmarks.h"
#include "plot_peer_parser.h"
#include "sampling/FormulaSampler.h"
#include "state/PlotState.h"

namespace funzioni::bench {
namespace {

// SIN takes degrees in the formula language.
constexpr double kRadiansPerDegree = std::numbers::pi / 180;
constexpr const char* kFormula = "SIN(x)*x^2";
constexpr const char* kPeerFormula = "sin(x*_pi/180)*x^2";

std::vector<float> WorstCaseXs() {
  PlotState state;
  state.zoomValue.value = 100;
  state.stepValue.value = 1;
  return FormulaSampleXs(state);
}

double SecondsSince(double start) {
  return ThreadSeconds() - start;
}

void FormulaRatios(benchmark::State& timing) {
  const std::vector<float> xs = WorstCaseXs();
  ExpressionEvaluator evaluator;
  const std::unique_ptr<PeerParser> peer = MakePeerParser(kPeerFormula);
  std::vector<double> direct(xs.size());
  std::vector<double> peerValues;
  double textSeconds = 0;
  double directSeconds = 0;
  double peerSeconds = 0;
  double largestDifference = 0;
  for (auto _ : timing) {
    const auto wallStart = std::chrono::steady_clock::now();
    double start = ThreadSeconds();
    const std::vector<FormulaSample> text = ComputeFormulaSamples(evaluator, kFormula, xs);
    textSeconds += SecondsSince(start);
    timing.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count());

    start = ThreadSeconds();
    for (std::size_t i = 0; i < xs.size(); ++i) {
      const double x = xs[i];
      direct[i] = std::sin(x * kRadiansPerDegree) * x * x;
    }
    benchmark::DoNotOptimize(direct.data());
    directSeconds += SecondsSince(start);

    if (peer) {
      start = ThreadSeconds();
      peer->Evaluate(xs, peerValues);
      benchmark::DoNotOptimize(peerValues.data());
      peerSeconds += SecondsSince(start);
    }
    // The three compute the same samples.
    for (std::size_t i = 0; i < xs.size(); ++i) {
      if (!text[i].y) continue;
      const double value = static_cast<double>(*text[i].y);
      largestDifference = std::max(largestDifference, std::fabs(value - direct[i]));
      if (peer) largestDifference = std::max(largestDifference, std::fabs(value - peerValues[i]));
    }
  }
  const double n = static_cast<double>(timing.iterations()) * static_cast<double>(xs.size());
  timing.counters["text_ns_per_sample"] = 1e9 * textSeconds / n;
  timing.counters["cpp_ns_per_sample"] = 1e9 * directSeconds / n;
  timing.counters["text_over_cpp"] = textSeconds / directSeconds;
  if (peer) {
    timing.counters["muparser_ns_per_sample"] = 1e9 * peerSeconds / n;
    timing.counters["text_over_muparser"] = textSeconds / peerSeconds;
  } else {
    timing.SetLabel("muparser not installed: no comparison");
  }
  timing.counters["largest_difference"] = largestDifference;
}

// The same 40,000 evaluations shared out over every core, as the accelerated redraw does.
void FormulaOnEveryCore(benchmark::State& timing) {
  const std::vector<float> xs = WorstCaseXs();
  ExpressionEvaluator evaluator;
  FormulaSampler sampler;
  for (auto _ : timing) benchmark::DoNotOptimize(sampler.Evaluate(evaluator, kFormula, xs));
  timing.counters["threads"] = sampler.Threads();
}

}  // namespace

void RegisterFormulaRatioBenchmarks() {
  Repeated(
      benchmark::RegisterBenchmark("Formula/zoom100_step1/text_vs_cpp_vs_muparser", FormulaRatios),
      10)
      ->UseManualTime()
      ->Iterations(2);
  Repeated(
      benchmark::RegisterBenchmark("Formula/zoom100_step1/text_on_every_core", FormulaOnEveryCore),
      10)
      ->Iterations(2);
}

}  // namespace funzioni::bench
