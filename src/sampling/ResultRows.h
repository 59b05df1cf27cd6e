#pragma once

// The rows of the results table: the values of one function at every tenth of a unit across the
// visible range of x, each row "x ;y" with both numbers written by the table's mask.

#include <string>
#include <string_view>
#include <vector>
#include "sampling/StopToken.h"

#include "state/PlotState.h"

namespace funzioni {

class ExpressionEvaluator;
class FormulaSampler;

// In a view a gesture has moved, the rows lie at the multiples of a step of 1, 2 or 5 x 10^k (in
// degrees for a formula with an angle function, the ticks' degree steps) that keeps the table to
// at most this many rows, as many as the widest seed view (z = 100) gives...
inline constexpr double kMostViewTableRows = 400;
// ...and never closer than a tenth: the mask writes one decimal, and closer rows would read the
// same x.
inline constexpr double kLeastViewTableStep = 0.1;
double ViewTableStep(const PlotView& view, bool degrees);

// The x of every row: in the seed view -r, -r + 0.1, ... as a running 32-bit sum; in a moved view
// the step's multiples within it (degrees: the formula uses an angle function).
std::vector<float> ResultSampleXs(const PlotState& state, bool degrees = false);

// A number written with the mask " 0.0;-0.0; 0": a blank and the value rounded to one decimal
// (a float exactly halfway between two tenths away from zero, 2.25 to 2.3) when above 0, "-" and
// the absolute value when below 0, " 0" for exactly 0. A value that is not finite reads " inf",
// "-inf" or " nan".
std::string ResultNumberText(float value);

// The row "x ;y".
std::string ResultRowText(float x, float y);

// The rows below the heading and the blank line for a typed formula, evaluated on every thread of
// the sampler (samples that the evaluator rejects left out); incomplete once a stop was requested
// through stop.
std::vector<std::string> FormulaTableRows(const PlotState& state, ExpressionEvaluator& evaluator,
                                          FormulaSampler& sampler, std::string_view formula,
                                          StopToken stop = {});

// The rows for built-in function n (1..functionCount), whether its curve is on or not; none for
// an n out of range.
std::vector<std::string> BuiltinTableRows(const PlotState& state, int n);

}  // namespace funzioni
