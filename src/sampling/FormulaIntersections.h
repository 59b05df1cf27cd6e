#pragma once

// Where two curves meet over the range shown: the zeros of their difference, found as the study
// finds zeros, each a crossing or a touching. The built-in curves meet the formulas through texts
// the evaluator reads, with their parameters' values in place.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sampling/StopToken.h"
#include "state/PlotState.h"
#include "state/PlotView.h"

namespace funzioni {

class ExpressionEvaluator;

struct FormulaIntersection {
  double x = 0;
  double y = 0;           // the first formula's value there
  bool touching = false;  // the difference keeps its sign on both sides
};

// The points where f meets g over the x range of the zoom's seed view, or of the view when there
// is one, in the order of x; none once a stop was requested.
std::vector<FormulaIntersection> FormulaIntersections(ExpressionEvaluator& evaluator,
                                                      std::string_view f, std::string_view g,
                                                      float zoom,
                                                      const std::optional<PlotView>& view,
                                                      StopToken stop = {});

// Built-in curve n (1..functionCount) as a text the evaluator reads, with the state's values of
// its parameters in place; its sine and cosine take radians, the evaluator's degrees, so their
// argument is turned into degrees. Empty for any other n.
std::string BuiltinFormulaText(const PlotState& state, int n);

// The text evaluated for a kept formula: its parameter letters with the values the parameters
// have now, written as x's value is (the typed formula's own rule).
std::string KeptFormulaText(const PlotState& state, std::string_view kept);

}  // namespace funzioni
