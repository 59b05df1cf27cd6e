#include "sampling/FormulaIntersections.h"

#include "evaluator/NumberText.h"
#include "sampling/FunctionStudy.h"
#include "sampling/StudyProbe.h"
#include "state/FormulaParameters.h"

namespace funzioni {

namespace {

// 180 / pi to more digits than the evaluator keeps: the built-in sine's radians in degrees.
constexpr std::string_view kDegreesPerRadian = "57.295779513082320877";

// A value as the curve reads it, in brackets so that a minus sign binds to it alone.
std::string Value(float value) {
  return "(" + XValueText(value) + ")";
}

}  // namespace

std::vector<FormulaIntersection> FormulaIntersections(ExpressionEvaluator& evaluator,
                                                      std::string_view f, std::string_view g,
                                                      float zoom,
                                                      const std::optional<PlotView>& view,
                                                      StopToken stop) {
  const std::string difference = "(" + std::string(f) + ")-(" + std::string(g) + ")";
  const FunctionStudy study = StudyFunction(evaluator, difference, zoom, view, stop);
  std::vector<FormulaIntersection> points;
  if (stop.stop_requested()) return points;
  StudyProbe probe(f, evaluator, stop);
  for (const StudyZero& zero : study.zeros) {
    const std::optional<double> y = probe.At(static_cast<float>(zero.x));
    if (stop.stop_requested()) return {};
    if (!y) continue;
    points.push_back({zero.x, *y, zero.touching});
  }
  return points;
}

std::string BuiltinFormulaText(const PlotState& state, int n) {
  if (n < 1 || n > functionCount) return {};
  const std::string a = Value(state.paramA[n].value);
  const std::string b = Value(state.paramB[n].value);
  const std::string c = Value(state.paramC[n].value);
  const std::string d = Value(state.paramD[n].value);
  const std::string degrees = "(x*" + std::string(kDegreesPerRadian) + ")";
  switch (n) {
    case 1:
      return a + "*x";
    case 2:
      return a + "*x+" + b;
    case 3:
      return a + "*x^2+" + b;
    case 4:
      return "(" + a + "*x+" + b + ")/(" + c + "*x+" + d + ")";
    case 5:
      return a + "*SIN" + degrees;
    case 6:
      return a + "*COS" + degrees;
    case 7:
      return a + "*x^3+" + b;
    case 8:
      return "2^(" + a + "*x)";
    case 9:
      return "(" + a + "*x)^(" + b + "*x)";
    default:
      return "SQR(" + a + "*x)";
  }
}

std::string KeptFormulaText(const PlotState& state, std::string_view kept) {
  FormulaParameterTexts texts;
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    texts[i] = XValueText(state.formulaParams[i].value);
  }
  return SubstituteFormulaParameters(kept, texts);
}

}  // namespace funzioni
