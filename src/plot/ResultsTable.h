#pragma once

// The results table: the values of one function at every tenth of a unit across the visible
// range of x, in the text list of the main window.

#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "state/PlotState.h"

namespace funzioni {

class Dialog;
class ExpressionEvaluator;
class FormulaSampler;
class PlotAccelerator;

// A number written with the mask " 0.0;-0.0; 0": a blank and the value rounded to one decimal
// (a float exactly halfway between two tenths away from zero, 2.25 to 2.3) when above 0, "-" and
// the absolute value when below 0, " 0" for exactly 0. A value that is not finite reads " inf",
// "-inf" or " nan".
std::string ResultNumberText(float value);

// Appends the row "x ;y" to the results table.
void AddResultRow(Dialog& dialog, float x, float y);

// Fills the table for a typed formula; samples that the evaluator rejects make no row.
void ShowFormulaResults(Dialog& dialog, const PlotState& state, ExpressionEvaluator& evaluator,
                        std::string_view formula);

// The same with the formula evaluated on every core (evaluator serves the calling thread).
void ShowFormulaResults(Dialog& dialog, const PlotState& state, ExpressionEvaluator& evaluator,
                        PlotAccelerator& accelerator, std::string_view formula);

// The rows below the heading and the blank line that the accelerated table shows for a typed
// formula ("x ;y", samples that the evaluator rejects left out); incomplete once a stop was
// requested through stop.
std::vector<std::string> FormulaTableRows(const PlotState& state, ExpressionEvaluator& evaluator,
                                          FormulaSampler& sampler, std::string_view formula,
                                          std::stop_token stop = {});

// Fills the table with the formula's heading and the given rows.
void ShowFormulaTable(Dialog& dialog, std::string_view formula,
                      const std::vector<std::string>& rows);

// Fills the table for built-in function n (1..functionCount), whether its curve is on or not.
void ShowBuiltinResults(Dialog& dialog, const PlotState& state, int n);

}  // namespace funzioni
