// funzioni-eval --study: the study of a typed formula, as the study window lists it.
#include <cmath>
#include <optional>

#include "cli/CliModes.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberReading.h"
#include "sampling/FunctionStudy.h"

namespace funzioni {

int RunStudyMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  return RunStudyModeIn(args, std::nullopt, out, err);
}

int RunStudyModeIn(std::span<const std::string_view> args, const std::optional<PlotView>& view,
                   std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "funzioni-eval: --study needs ZOOM FORMULA\n";
    return 2;
  }
  const std::optional<float> zoom = ReadArgumentNumber(args[0], ArgumentSyntax::Reader);
  if (!zoom || !(*zoom > 0) || !std::isfinite(*zoom)) {
    err << "funzioni-eval: ZOOM must be a positive number\n";
    return 2;
  }
  ExpressionEvaluator evaluator;
  const FunctionStudy study = StudyFunction(evaluator, args[1], *zoom, WindowView(view, *zoom));
  out << StudyText(study);
  // Without a value anywhere the one gap's reason says why (a refused formula's message).
  if (study.gaps.size() == 1 && study.gaps[0].from == study.xMin &&
      study.gaps[0].to == study.xMax) {
    err << "funzioni-eval: no value in the range: " << study.gaps[0].reason << '\n';
  }
  return 0;
}

}  // namespace funzioni
