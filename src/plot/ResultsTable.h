#pragma once

// The results table: the values of one function at every tenth of a unit across the visible
// range of x, in the text list of the main window (its rows are computed by ResultRows).

#include <string>
#include <string_view>
#include <vector>

#include "state/PlotState.h"

namespace funzioni {

class Dialog;
class ExpressionEvaluator;
class PlotAccelerator;

// Appends the row "x ;y" to the results table.
void AddResultRow(Dialog& dialog, float x, float y);

// Fills the table for a typed formula; samples that the evaluator rejects make no row.
void ShowFormulaResults(Dialog& dialog, const PlotState& state, ExpressionEvaluator& evaluator,
                        std::string_view formula);

// The same with the formula evaluated on every core (evaluator serves the calling thread).
void ShowFormulaResults(Dialog& dialog, const PlotState& state, ExpressionEvaluator& evaluator,
                        PlotAccelerator& accelerator, std::string_view formula);

// Fills the table with the formula's heading and the given rows.
void ShowFormulaTable(Dialog& dialog, std::string_view formula,
                      const std::vector<std::string>& rows);

// Fills the table for built-in function n (1..functionCount), whether its curve is on or not.
void ShowBuiltinResults(Dialog& dialog, const PlotState& state, int n);

}  // namespace funzioni
