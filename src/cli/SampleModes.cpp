// funzioni-eval --samples and --table: the typed formula sampled by the code the window runs.
// ZOOM and STEP take whatever the engine's number reader takes, as long as the whole argument is
// the number. Before either (or --study, --intersections), --view XMIN XMAX YMIN YMAX works on
// that rectangle as the window does once a gesture has moved its picture there.
#include "cli/CliModes.h"

#include <array>
#include <cmath>
#include <cstdlib>
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

namespace {

// A whole argument read as a finite number in the C locale.
std::optional<double> ReadEdge(std::string_view text) {
  const std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (copy.empty() || end != copy.c_str() + copy.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

void PutView(PlotState& state, const std::optional<PlotView>& view) {
  state.view = WindowView(view, state.zoomValue.value);
}

int SamplesOf(std::span<const std::string_view> args, const std::optional<PlotView>& view,
              std::ostream& out, std::ostream& err) {
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
  PutView(state, view);
  const std::string_view formula = args[2];
  const std::optional<FormulaPlan> plan = FormulaPlan::Compile(formula);
  ExpressionEvaluator evaluator;
  for (const float x : FormulaSampleXs(state)) {
    out << XValueText(x) << '\t'
        << PlannedResultText(plan ? &*plan : nullptr, evaluator, formula, x) << '\n';
  }
  return 0;
}

int TableOf(std::span<const std::string_view> args, const std::optional<PlotView>& view,
            std::ostream& out, std::ostream& err) {
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
  PutView(state, view);
  const std::string_view formula = args[1];
  ExpressionEvaluator evaluator;
  FormulaSampler sampler;
  out << formula << "\n \n";
  for (const std::string& row : FormulaTableRows(state, evaluator, sampler, formula)) {
    out << row << '\n';
  }
  return 0;
}

}  // namespace

std::optional<PlotView> WindowView(const std::optional<PlotView>& view, float zoom) {
  if (!view) return std::nullopt;
  return SettledView(ClampView(*view), zoom);
}

int RunSamplesMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  return SamplesOf(args, std::nullopt, out, err);
}

int RunTableMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  return TableOf(args, std::nullopt, out, err);
}

int RunViewMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  constexpr std::size_t kEdges = 4;
  if (args.size() < kEdges + 1) {
    err << "funzioni-eval: --view needs XMIN XMAX YMIN YMAX and then a mode\n";
    return 2;
  }
  std::array<double, kEdges> edges{};
  for (std::size_t i = 0; i < kEdges; ++i) {
    const std::optional<double> edge = ReadEdge(args[i]);
    if (!edge) {
      err << "funzioni-eval: --view: not a number: " << args[i] << '\n';
      return 2;
    }
    edges[i] = *edge;
  }
  if (!(edges[0] < edges[1]) || !(edges[2] < edges[3])) {
    err << "funzioni-eval: --view needs XMIN < XMAX and YMIN < YMAX\n";
    return 2;
  }
  const PlotView view{edges[0], edges[1], edges[2], edges[3]};
  const std::string_view mode = args[kEdges];
  const std::span<const std::string_view> rest = args.subspan(kEdges + 1);
  if (mode == "--samples") return SamplesOf(rest, view, out, err);
  if (mode == "--table") return TableOf(rest, view, out, err);
  if (mode == "--study") return RunStudyModeIn(rest, view, out, err);
  if (mode == "--intersections") return RunIntersectionsModeIn(rest, view, out, err);
  err << "funzioni-eval: --view works with --samples, --table, --study and --intersections "
         "only\n";
  return 2;
}

}  // namespace funzioni
