// funzioni-eval --tangent, --integral and --intersections: what the study window computes at a
// point, over an interval and between two formulas.
#include <cmath>
#include <optional>
#include <string>

#include "cli/CliModes.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberReading.h"
#include "sampling/DecimalText.h"
#include "sampling/FormulaIntersections.h"
#include "sampling/FunctionStudy.h"
#include "sampling/StudyCalculus.h"
#include "sampling/StudyProbe.h"

namespace funzioni {

namespace {

// Up to 7 significant digits in the C locale; -0 is written 0.
std::string Number(double value) {
  return value == 0 ? "0" : GeneralText(value, 7);
}

std::optional<float> FiniteNumber(std::string_view text) {
  const std::optional<float> value = ReadArgumentNumber(text, ArgumentSyntax::Reader);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

}  // namespace

int RunTangentMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "funzioni-eval: --tangent needs X0 FORMULA\n";
    return 2;
  }
  const std::optional<float> x = FiniteNumber(args[0]);
  if (!x) {
    err << "funzioni-eval: X0 must be a number\n";
    return 2;
  }
  ExpressionEvaluator evaluator;
  StudyProbe probe(args[1], evaluator);
  const StudyTangent tangent = TangentAt(probe, *x);
  switch (tangent.kind) {
    case StudyTangent::Kind::Tangent:
      out << "tangent\t" << Number(tangent.x) << '\t' << Number(tangent.y) << '\t'
          << Number(tangent.m) << '\t' << Number(tangent.q) << '\n';
      break;
    case StudyTangent::Kind::Corner:
      out << "corner\t" << Number(tangent.x) << '\t' << Number(tangent.y) << '\t'
          << StudyValueText(tangent.left) << '\t' << StudyValueText(tangent.right) << '\n';
      break;
    case StudyTangent::Kind::None:
      out << "none\t" << Number(tangent.x) << '\t' << tangent.reason << '\n';
      break;
  }
  return 0;
}

int RunIntegralMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3) {
    err << "funzioni-eval: --integral needs A B FORMULA\n";
    return 2;
  }
  const std::optional<float> a = FiniteNumber(args[0]);
  const std::optional<float> b = FiniteNumber(args[1]);
  if (!a || !b) {
    err << "funzioni-eval: A and B must be numbers\n";
    return 2;
  }
  ExpressionEvaluator evaluator;
  StudyProbe probe(args[2], evaluator);
  const StudyIntegral integral = IntegralOf(probe, *a, *b);
  const std::string ends = Number(*a) + '\t' + Number(*b);
  if (integral.refused) {
    out << "none\t" << ends << '\t' << integral.reason << '\n';
    return 0;
  }
  out << "integral\t" << ends << '\t' << Number(integral.value) << '\t' << Number(integral.error)
      << '\n';
  out << "area\t" << ends << '\t' << Number(integral.area) << '\t' << Number(integral.areaError)
      << '\n';
  return 0;
}

int RunIntersectionsMode(std::span<const std::string_view> args, std::ostream& out,
                         std::ostream& err) {
  return RunIntersectionsModeIn(args, std::nullopt, out, err);
}

int RunIntersectionsModeIn(std::span<const std::string_view> args,
                           const std::optional<PlotView>& view, std::ostream& out,
                           std::ostream& err) {
  if (args.size() != 3) {
    err << "funzioni-eval: --intersections needs ZOOM F G\n";
    return 2;
  }
  const std::optional<float> zoom = FiniteNumber(args[0]);
  if (!zoom || !(*zoom > 0)) {
    err << "funzioni-eval: ZOOM must be a positive number\n";
    return 2;
  }
  ExpressionEvaluator evaluator;
  for (const FormulaIntersection& point :
       FormulaIntersections(evaluator, args[1], args[2], *zoom, WindowView(view, *zoom))) {
    out << "intersection\t" << Number(point.x) << '\t' << Number(point.y) << '\t'
        << (point.touching ? "touching" : "crossing") << '\n';
  }
  return 0;
}

}  // namespace funzioni
