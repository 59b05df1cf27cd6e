#include "sampling/SampleXs.h"

#include <algorithm>

namespace funzioni {

namespace {

constexpr double kBuiltinStepUnit = 0.0005;  // units of x per unit of the step meter
constexpr double kFormulaStepUnit = 0.001;

// The seed views take the step as a 32-bit float; a moved view takes it unrounded (0.001 p in
// double), so that a whole number of steps lands on the view's edge.
SampleRule RuleFor(const PlotState& state, double perStepUnit) {
  const double unitStep = perStepUnit * state.stepValue.value;
  if (!state.view) {
    const float r = HalfRange(state.zoomValue.value);
    return SampleRule{false, -r, r, static_cast<double>(static_cast<float>(unitStep))};
  }
  const PlotView& view = *state.view;
  return SampleRule{true, view.xMin, view.xMax, ViewSampleStep(view.xMax - view.xMin, unitStep)};
}

}  // namespace

float BuiltinSampleStep(const PlotState& state) {
  return static_cast<float>(kBuiltinStepUnit * state.stepValue.value);
}

float FormulaSampleStep(const PlotState& state) {
  return static_cast<float>(kFormulaStepUnit * state.stepValue.value);
}

double ViewSampleStep(double width, double unitStep) {
  const double reference = std::clamp(width, kNarrowestSeedWidth, kWidestSeedWidth);
  return unitStep * (width / reference);
}

SampleRule FormulaSampleRule(const PlotState& state) {
  return RuleFor(state, kFormulaStepUnit);
}

SampleRule BuiltinSampleRule(const PlotState& state) {
  return RuleFor(state, kBuiltinStepUnit);
}

SampleWalk::SampleWalk(const SampleRule& rule)
    : rule_(rule),
      running_(static_cast<float>(rule.low), static_cast<float>(rule.high),
               static_cast<float>(rule.step)) {}

std::vector<float> SampleWalk::Next(std::size_t count) {
  if (!rule_.counted) return running_.Next(count);
  std::vector<float> values;
  if (!(rule_.step > 0)) return values;
  const double limit = rule_.high + rule_.step * 1e-6;  // as ForEachSampleX
  while (values.size() < count) {
    const double x = rule_.low + k_ * rule_.step;
    if (!(x <= limit)) break;
    k_ += 1;
    const auto stored = static_cast<float>(x);
    if (started_ && stored == previous_) continue;
    started_ = true;
    previous_ = stored;
    values.push_back(stored);
  }
  return values;
}

std::vector<float> FormulaSampleXs(const PlotState& state) {
  std::vector<float> xs;
  ForEachSampleX(FormulaSampleRule(state), [&](float x) { xs.push_back(x); });
  return xs;
}

SampleWalk FormulaSampleWalk(const PlotState& state) {
  return SampleWalk(FormulaSampleRule(state));
}

}  // namespace funzioni
