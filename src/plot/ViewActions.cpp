#include "plot/ViewActions.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "sampling/BuiltinFunctions.h"
#include "sampling/FormulaSampling.h"

namespace funzioni {

namespace {

// Four significant digits tell the ranges apart at every half width the view allows.
std::string ShortNumber(double value) {
  char digits[32];
  const int length = std::snprintf(digits, sizeof digits, "%.4g", value == 0 ? 0.0 : value);
  return std::string(digits, length > 0 ? static_cast<std::size_t>(length) : 0);
}

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

}  // namespace funzioni
