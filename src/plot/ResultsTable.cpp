#include "plot/ResultsTable.h"

#include <optional>
#include <vector>

#include "drawing/DialogServices.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotIds.h"
#include "sampling/FormulaSampling.h"
#include "sampling/ResultRows.h"

namespace funzioni {

namespace {

// The first two lines: the function's text and a single blank.
void StartTable(Dialog& dialog, std::string_view heading) {
  dialog.ListReset(kResultsListId);
  dialog.ListAdd(kResultsListId, heading);
  dialog.ListAdd(kResultsListId, " ");
}

}  // namespace

void AddResultRow(Dialog& dialog, float x, float y) {
  dialog.ListAdd(kResultsListId, ResultRowText(x, y));
}

void ShowFormulaResults(Dialog& dialog, const PlotState& state, ExpressionEvaluator& evaluator,
                        std::string_view formula) {
  StartTable(dialog, formula);
  for (const float x : ResultSampleXs(state, UsesAngleFunction(formula))) {
    const std::optional<Extended> y = EvaluateFormulaAt(evaluator, formula, x);
    if (y) AddResultRow(dialog, x, static_cast<float>(*y));
  }
}

void ShowFormulaResults(Dialog& dialog, const PlotState& state, ExpressionEvaluator& evaluator,
                        PlotAccelerator& accelerator, std::string_view formula) {
  ShowFormulaTable(dialog, formula,
                   FormulaTableRows(state, evaluator, accelerator.Sampler(), formula));
}

void ShowFormulaTable(Dialog& dialog, std::string_view formula,
                      const std::vector<std::string>& rows) {
  StartTable(dialog, formula);
  for (const std::string& row : rows) dialog.ListAdd(kResultsListId, row);
}

void ShowBuiltinResults(Dialog& dialog, const PlotState& state, int n) {
  if (n < 1 || n > functionCount) return;
  StartTable(dialog, state.builtinFunctions[n].text);
  for (const std::string& row : BuiltinTableRows(state, n)) dialog.ListAdd(kResultsListId, row);
}

}  // namespace funzioni
