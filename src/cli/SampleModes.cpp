// funzioni-eval --samples and --table: the typed formula sampled by the code the window runs.
// ZOOM and STEP take whatever the engine's number reader takes, as long as the whole argument is
// the number.
#include "cli/CliModes.h"

#include <optional>
#include <string>
#include <vector>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/FormulaPlan.h"
#include "evaluator/NumberReading.h"
#include "evaluator/NumberText.h"
#include "sampling/FormulaSampler.h"
#include "sampling/PlannedSampling.h"
#include "sampling/ResultRows.h"
#include "sampling/SampleXs.h"
#include "state/PlotState.h"

namespace funzioni {

int RunSamplesMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3) {
    err << "funzioni-eval: --samples needs ZOOM STEP FORMULA\n";
    return 2;
  }
  const std::optional<float> zoom = ReadArgumentNumber(args[0], ArgumentSyntax::Reader);
  const std::optional<float> step = ReadArgumentNumber(args[1], ArgumentSyntax::Reader);
  if (!zoom || !step) {
    err << "funzioni-eval: ZOOM and STEP must be numbers\n";
    return 2;
  }
  PlotState state;
  state.zoomValue.value = *zoom;
  state.stepValue.value = *step;
  const std::string_view formula = args[2];
  const std::optional<FormulaPlan> plan = FormulaPlan::Compile(formula);
  ExpressionEvaluator evaluator;
  for (const float x : FormulaSampleXs(state)) {
    out << XValueText(x) << '\t'
        << PlannedResultText(plan ? &*plan : nullptr, evaluator, formula, x) << '\n';
  }
  return 0;
}

int RunTableMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "funzioni-eval: --table needs ZOOM FORMULA\n";
    return 2;
  }
  const std::optional<float> zoom = ReadArgumentNumber(args[0], ArgumentSyntax::Reader);
  if (!zoom) {
    err << "funzioni-eval: ZOOM must be a number\n";
    return 2;
  }
  PlotState state;
  state.zoomValue.value = *zoom;
  const std::string_view formula = args[1];
  ExpressionEvaluator evaluator;
  FormulaSampler sampler;
  out << formula << "\n \n";
  for (const std::string& row : FormulaTableRows(state, evaluator, sampler, formula)) {
    out << row << '\n';
  }
  return 0;
}

}  // namespace funzioni
