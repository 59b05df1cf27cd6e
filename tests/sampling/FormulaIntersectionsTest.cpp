// Where two curves meet, against the points the algebra gives, and the built-in curves as texts
// the evaluator reads (their sine in radians).

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "evaluator/ExpressionEvaluator.h"
#include "sampling/FormulaIntersections.h"

namespace funzioni {
namespace {

struct Point {
  double x;
  double y;
  bool touching;
};

// A thousandth of the range at zoom 50 (x from -10 to 10).
constexpr double kTolerance = 0.02;

TEST(FormulaIntersections, MeetAtTheAlgebrasPoints) {
  const double pi = std::numbers::pi;
  const struct {
    const char* name;
    const char* f;
    const char* g;
    std::vector<Point> expected;
  } cases[] = {
      {"parabola and line cross twice", "x^2", "x+2", {{-1, 1, false}, {2, 4, false}}},
      {"parabola and its tangent touch", "x^2", "2*x-1", {{1, 1, true}}},
      {"parallel lines never meet", "x+1", "x-1", {}},
      {"a hyperbola and a line across its pole", "1/x", "x", {{-1, -1, false}, {1, 1, false}}},
      {"sine in degrees and zero",
       "10*SIN(x*18)",
       "0",
       {{-10, 0, false}, {0, 0, false}, {10, 0, false}}},
      {"the built-in sine of radians",
       "0",
       "SIN(x*57.295779513082320877)",
       {{-3 * pi, 0, false},
        {-2 * pi, 0, false},
        {-pi, 0, false},
        {0, 0, false},
        {pi, 0, false},
        {2 * pi, 0, false},
        {3 * pi, 0, false}}},
  };
  ExpressionEvaluator evaluator;
  for (const auto& c : cases) {
    const std::vector<FormulaIntersection> found =
        FormulaIntersections(evaluator, c.f, c.g, 50, std::nullopt);
    // The ends of the range may or may not count; the points inside must all be there.
    std::vector<FormulaIntersection> inside;
    for (const FormulaIntersection& p : found) {
      if (std::abs(p.x) < 9.99) inside.push_back(p);
    }
    std::vector<Point> expected;
    for (const Point& p : c.expected) {
      if (std::abs(p.x) < 9.99) expected.push_back(p);
    }
    ASSERT_EQ(inside.size(), expected.size()) << c.name;
    for (std::size_t i = 0; i < inside.size(); ++i) {
      EXPECT_NEAR(inside[i].x, expected[i].x, kTolerance) << c.name << " " << i;
      EXPECT_NEAR(inside[i].y, expected[i].y, kTolerance * 4) << c.name << " " << i;
      EXPECT_EQ(inside[i].touching, expected[i].touching) << c.name << " " << i;
    }
  }
}

TEST(FormulaIntersections, BuiltinCurvesAsTextsGiveTheirOwnValues) {
  PlotState state;
  for (int n = 1; n <= functionCount; ++n) {
    state.paramA[n].value = -1.5f;
    state.paramB[n].value = 0.5f;
    state.paramC[n].value = 2;
    state.paramD[n].value = 3;
  }
  // -1.5 x + 0.5 and friends at x = 0.75, worked by hand.
  const double x = 0.75;
  const double ax = -1.5 * x;
  const struct {
    int n;
    double value;
  } cases[] = {
      {1, ax},
      {2, ax + 0.5},
      {3, -1.5 * x * x + 0.5},
      {4, (ax + 0.5) / (2 * x + 3)},
      {5, -1.5 * std::sin(x)},
      {6, -1.5 * std::cos(x)},
      {7, -1.5 * x * x * x + 0.5},
      {8, std::pow(2, ax)},
  };
  ExpressionEvaluator evaluator;
  for (const auto& c : cases) {
    std::string text = BuiltinFormulaText(state, c.n);
    const std::size_t at = text.find('x');
    ASSERT_NE(at, std::string::npos) << c.n;
    for (std::size_t i = text.find('x'); i != std::string::npos; i = text.find('x', i + 6)) {
      text.replace(i, 1, "(0.75)");
    }
    const std::string result = evaluator.EvaluateExpressionText(text);
    EXPECT_NEAR(std::stod(result), c.value, 1e-5) << c.n << " " << text;
  }
  EXPECT_EQ(BuiltinFormulaText(state, 0), "");
  EXPECT_EQ(BuiltinFormulaText(state, functionCount + 1), "");
}

}  // namespace
}  // namespace funzioni
