#include "sampling/ResultRows.h"

#include "sampling/DecimalText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "sampling/BuiltinFunctions.h"
#include "sampling/FormulaSampler.h"
#include "sampling/RunningSum.h"
#include "sampling/SampleXs.h"

namespace funzioni {

namespace {

constexpr float kResultStep = 0.1f;

}  // namespace

double ViewTableStep(const PlotView& view, bool degrees) {
  const double least = std::max((view.xMax - view.xMin) / kMostViewTableRows, kLeastViewTableStep);
  return TickStepAtLeast(least, degrees);
}

std::vector<float> ResultSampleXs(const PlotState& state, bool degrees) {
  std::vector<float> xs;
  if (!state.view) {
    const float r = HalfRange(state.zoomValue.value);
    ForEachRunningValue(-r, r, kResultStep, [&](float x) { xs.push_back(x); });
    return xs;
  }
  // Whole multiples of the step, each worked out from its count.
  const PlotView& view = *state.view;
  const double step = ViewTableStep(view, degrees);
  const double first = std::ceil(view.xMin / step);
  const double last = std::floor(view.xMax / step);
  for (double k = first; k <= last; ++k) xs.push_back(static_cast<float>(k * step));
  return xs;
}

std::string ResultNumberText(float value) {
  if (std::isnan(value)) return " nan";
  if (std::isinf(value)) return value > 0 ? " inf" : "-inf";
  if (value == 0) return " 0";
  // One decimal of the absolute value (in the C locale, from the exact binary value); the sign
  // comes from the value itself, so -0.04 reads "-0.0".
  double magnitude = std::fabs(double{value});
  // FixedText breaks an exact tie towards the even tenth, the mask away from zero. A float lies
  // exactly halfway between two tenths only at a quarter of an odd count (0.25, 2.75, ...), far
  // below 2^22, so the next double up is no tie and rounds to the tenth away from zero.
  const double quarters = magnitude * 4;
  if (quarters == std::floor(quarters) && std::fmod(quarters, 2) == 1) {
    magnitude = std::nextafter(magnitude, std::numeric_limits<double>::infinity());
  }
  std::string text(1, value < 0 ? '-' : ' ');
  text += FixedText(magnitude, 1);
  return text;
}

std::string ResultRowText(float x, float y) {
  return ResultNumberText(x) + " ;" + ResultNumberText(y);
}

std::vector<std::string> FormulaTableRows(const PlotState& state, ExpressionEvaluator& evaluator,
                                          FormulaSampler& sampler, std::string_view formula,
                                          StopToken stop) {
  const std::vector<float> xs = ResultSampleXs(state, UsesAngleFunction(formula));
  const std::vector<std::optional<Extended>> values =
      sampler.Evaluate(evaluator, formula, xs, std::move(stop));
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    if (!values[i]) continue;
    rows.push_back(ResultRowText(xs[i], static_cast<float>(*values[i])));
  }
  return rows;
}

std::vector<std::string> BuiltinTableRows(const PlotState& state, int n) {
  std::vector<std::string> rows;
  if (n < 1 || n > functionCount) return rows;
  for (const float x : ResultSampleXs(state)) {
    const std::optional<Extended> y = BuiltinValue(state, n, x);
    if (y) rows.push_back(ResultRowText(x, static_cast<float>(*y)));
  }
  return rows;
}

}  // namespace funzioni
