#include "plot/ResultsTable.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "drawing/DialogServices.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotIds.h"
#include "plot/PlotMapping.h"
#include "sampling/BuiltinFunctions.h"
#include "sampling/FormulaSampler.h"
#include "sampling/FormulaSampling.h"
#include "sampling/RunningSum.h"

namespace funzioni {

namespace {

constexpr float kResultStep = 0.1f;

// The first two lines: the function's text and a single blank.
void StartTable(Dialog& dialog, std::string_view heading) {
  dialog.ListReset(kResultsListId);
  dialog.ListAdd(kResultsListId, heading);
  dialog.ListAdd(kResultsListId, " ");
}

void ForEachResultX(const PlotState& state, auto&& visit) {
  const float r = HalfRange(state.zoomValue.value);
  ForEachRunningValue(-r, r, kResultStep, visit);
}

}  // namespace

std::string ResultNumberText(float value) {
  if (std::isnan(value)) return " nan";
  if (std::isinf(value)) return value > 0 ? " inf" : "-inf";
  if (value == 0) return " 0";
  // One decimal of the absolute value (to_chars ignores the locale and rounds the exact binary
  // value); the sign comes from the value itself, so -0.04 reads "-0.0".
  double magnitude = std::fabs(double{value});
  // to_chars breaks an exact tie towards the even tenth, the mask away from zero. A float lies
  // exactly halfway between two tenths only at a quarter of an odd count (0.25, 2.75, ...), far
  // below 2^22, so the next double up is no tie and rounds to the tenth away from zero.
  const double quarters = magnitude * 4;
  if (quarters == std::floor(quarters) && std::fmod(quarters, 2) == 1) {
    magnitude = std::nextafter(magnitude, std::numeric_limits<double>::infinity());
  }
  char digits[64];
  const auto written =
      std::to_chars(digits, digits + sizeof digits, magnitude, std::chars_format::fixed, 1);
  std::string text(1, value < 0 ? '-' : ' ');
  text.append(digits, written.ptr);
  return text;
}

void AddResultRow(Dialog& dialog, float x, float y) {
  dialog.ListAdd(kResultsListId, ResultNumberText(x) + " ;" + ResultNumberText(y));
}

void ShowFormulaResults(Dialog& dialog, const PlotState& state, ExpressionEvaluator& evaluator,
                        std::string_view formula) {
  StartTable(dialog, formula);
  ForEachResultX(state, [&](float x) {
    const std::optional<long double> y = EvaluateFormulaAt(evaluator, formula, x);
    if (y) AddResultRow(dialog, x, static_cast<float>(*y));
  });
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

std::vector<std::string> FormulaTableRows(const PlotState& state, ExpressionEvaluator& evaluator,
                                          FormulaSampler& sampler, std::string_view formula,
                                          std::stop_token stop) {
  std::vector<float> xs;
  ForEachResultX(state, [&](float x) { xs.push_back(x); });
  const std::vector<std::optional<long double>> values =
      sampler.Evaluate(evaluator, formula, xs, std::move(stop));
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    if (!values[i]) continue;
    rows.push_back(ResultNumberText(xs[i]) + " ;" +
                   ResultNumberText(static_cast<float>(*values[i])));
  }
  return rows;
}

void ShowBuiltinResults(Dialog& dialog, const PlotState& state, int n) {
  if (n < 1 || n > functionCount) return;
  StartTable(dialog, state.builtinFunctions[n].text);
  ForEachResultX(state, [&](float x) {
    const std::optional<long double> y = BuiltinValue(state, n, x);
    if (y) AddResultRow(dialog, x, static_cast<float>(*y));
  });
}

}  // namespace funzioni
