#pragma once

// Where the samples lie. In the seed view of the zoom x runs from -r to r with the half-range
// r = 0.2 z, as a running 32-bit sum of a step that depends on what is sampled (so that every
// picture the meters alone reach is computed as it always was). In a view a gesture has moved,
// the k-th sample is xMin + k * step worked out from k, so that nothing drifts, stalls or is lost
// however far from 0 the view lies.

#include <cstddef>
#include <vector>

#include "sampling/RunningSum.h"
#include "state/PlotState.h"

namespace funzioni {

// The half-range 0.2 z, stored as a 32-bit float.
inline float HalfRange(float zoom) {
  return static_cast<float>(0.2 * zoom);
}

// The sampling steps: 0.0005 p for the built-in curves and 0.001 p for the typed formula, each a
// 32-bit float.
float BuiltinSampleStep(const PlotState& state);
float FormulaSampleStep(const PlotState& state);

// The seed views are 0.4 (z = 1) to 40 (z = 100) wide; the step meter means samples per unit
// within them. A view of a width between these keeps that step; a wider view takes the samples
// across its width that z = 100 takes, a narrower one those of z = 1, so that a view far out
// never asks for billions of samples nor a close one for none.
inline constexpr double kNarrowestSeedWidth = 0.4;
inline constexpr double kWidestSeedWidth = 40;
double ViewSampleStep(double width, double unitStep);

// How the samples of one curve lie: a running 32-bit sum from low to high (the seed views), or
// low + k * step from k (a moved view), each stored as a 32-bit float; a float equal to the one
// before it is left out.
struct SampleRule {
  bool counted = false;
  double low = 0;
  double high = 0;
  double step = 1;
};

SampleRule FormulaSampleRule(const PlotState& state);
SampleRule BuiltinSampleRule(const PlotState& state);

// Visits every x of the rule in order.
template <typename Visit>
void ForEachSampleX(const SampleRule& rule, Visit&& visit) {
  if (!rule.counted) {
    ForEachRunningValue(static_cast<float>(rule.low), static_cast<float>(rule.high),
                        static_cast<float>(rule.step), visit);
    return;
  }
  if (!(rule.step > 0)) return;
  // A millionth of a step of slack keeps the last sample that rounding put a hair past high.
  const double limit = rule.high + rule.step * 1e-6;
  bool first = true;
  float previous = 0;
  for (double k = 0;; ++k) {
    const double x = rule.low + k * rule.step;
    if (!(x <= limit)) return;
    const auto stored = static_cast<float>(x);
    if (!first && stored == previous) continue;
    first = false;
    previous = stored;
    visit(stored);
  }
}

// The same values a block at a time.
class SampleWalk {
 public:
  explicit SampleWalk(const SampleRule& rule);
  // The next values, at most count of them; empty once the walk has ended.
  std::vector<float> Next(std::size_t count);

 private:
  SampleRule rule_;
  RunningValues running_;
  double k_ = 0;
  bool started_ = false;
  float previous_ = 0;
};

// The x of every sample of the typed formula.
std::vector<float> FormulaSampleXs(const PlotState& state);
// The same values a block at a time.
SampleWalk FormulaSampleWalk(const PlotState& state);

}  // namespace funzioni
