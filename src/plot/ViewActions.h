#pragma once

// What the window's view gestures need from the plot: the view shown, the plane's point under a
// place of the area, the values "Adatta y" fits, and the line that says which view is shown.

#include <string>
#include <vector>

#include "state/PlotState.h"

namespace funzioni {

class ExpressionEvaluator;

// The state's moved view, or the seed view of its zoom.
PlotView ShownView(const PlotState& state);

// The point of the plane at px%, py% of the area (py grows downwards).
struct PlanePoint {
  double x = 0;
  double y = 0;
};
PlanePoint PointAtPercent(const PlotView& view, double percentX, double percentY);

// One x per column across the view (columns of them): the values there of the typed formula and
// of every built-in curve that is on.
std::vector<double> VisibleCurveValues(const PlotState& state, ExpressionEvaluator& evaluator,
                                       int columns);

// The zoom meter's caption while a moved view is shown: its ranges, "x a..b  y c..d", each number
// with at most four significant digits.
std::string ViewCaption(const PlotView& view);

// The view's ranges in words, for the printed page and the screen reader:
// "x da -1800 a 1800, y da -1.5 a 1.5", each number with at most six significant digits.
std::string ViewRangesText(const PlotView& view);

}  // namespace funzioni
