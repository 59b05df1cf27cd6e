#include "plot/ViewActions.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "sampling/BuiltinFunctions.h"
#include "sampling/FormulaSampling.h"

namespace funzioni {

namespace {

// A number in the C locale with at most that many significant digits; -0 is written 0.
std::string Significant(double value, int digits) {
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%.*g", digits, value == 0 ? 0.0 : value);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// Four significant digits tell the ranges apart at every half width the view allows.
std::string ShortNumber(double value) {
  return Significant(value, 4);
}

// A half width is at least a thousandth of its centre's distance from 0, so six digits still
// tell an edge from the other where the caption's four may write them alike.
constexpr int kWordsDigits = 6;

}  // namespace

PlotView ShownView(const PlotState& state) {
  return state.view.value_or(SeedView(state.zoomValue.value));
}

PlanePoint PointAtPercent(const PlotView& view, double percentX, double percentY) {
  return {view.xMin + percentX / 100 * (view.xMax - view.xMin),
          view.yMax - percentY / 100 * (view.yMax - view.yMin)};
}

std::vector<double> VisibleCurveValues(const PlotState& state, ExpressionEvaluator& evaluator,
                                       int columns) {
  const PlotView view = ShownView(state);
  std::vector<double> values;
  for (int column = 0; column < columns; ++column) {
    const auto x =
        static_cast<float>(view.xMin + (column + 0.5) / columns * (view.xMax - view.xMin));
    if (!state.currentFormula.empty()) {
      const std::optional<Extended> y = EvaluateFormulaAt(evaluator, state.currentFormula, x);
      if (y) values.push_back(static_cast<double>(*y));
    }
    for (int n = 1; n <= functionCount; ++n) {
      if (state.curveOn[n] != 1) continue;
      const std::optional<Extended> y = BuiltinValue(state, n, x);
      if (y) values.push_back(static_cast<double>(*y));
    }
  }
  return values;
}

std::string ViewCaption(const PlotView& view) {
  return "x " + ShortNumber(view.xMin) + ".." + ShortNumber(view.xMax) + "  y " +
         ShortNumber(view.yMin) + ".." + ShortNumber(view.yMax);
}

std::string ViewRangesText(const PlotView& view) {
  const auto number = [](double value) { return Significant(value, kWordsDigits); };
  return "x da " + number(view.xMin) + " a " + number(view.xMax) + ", y da " + number(view.yMin) +
         " a " + number(view.yMax);
}

}  // namespace funzioni
