// The sign chart laid out for drawing, against what the mathematics says of f, f' and f'' over
// [-10, 10] (zoom 50): where the marks lie, the sign of every row between them and what each row
// is at each mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "app/SignChart.h"
#include "app/StudyJob.h"
#include "evaluator/ExpressionEvaluator.h"

namespace funzioni {
namespace {

using P = SignChartPoint;

struct ExpectedRow {
  bool shown = true;
  std::vector<int> cells;
  std::vector<P> points;
};

struct ChartCase {
  const char* name;
  const char* formula;
  std::vector<double> marks;
  ExpectedRow f;
  ExpectedRow slope;
  ExpectedRow bend;
};

class SignChartTest : public ::testing::TestWithParam<ChartCase> {};

void ExpectRow(const SignChartGrid::Row& row, const ExpectedRow& expected, const char* name) {
  SCOPED_TRACE(name);
  EXPECT_EQ(row.shown, expected.shown);
  if (!expected.shown) return;
  EXPECT_EQ(row.cells, expected.cells);
  EXPECT_EQ(row.points, expected.points);
}

TEST_P(SignChartTest, MarksSignsAndPointsOfEachRow) {
  const ChartCase& c = GetParam();
  ExpressionEvaluator evaluator;
  const SignChart chart = MakeSignChart(StudyFunction(evaluator, c.formula, 50));
  const SignChartGrid grid = GridOf(chart);
  ASSERT_EQ(grid.marks.size(), c.marks.size());
  // Within a thousandth of the range, as the study finds its points.
  for (std::size_t i = 0; i < c.marks.size(); ++i) EXPECT_NEAR(grid.marks[i], c.marks[i], 0.02);
  ExpectRow(grid.rows[0], c.f, "f");
  ExpectRow(grid.rows[1], c.slope, "f'");
  ExpectRow(grid.rows[2], c.bend, "f''");
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, SignChartTest,
    ::testing::Values(
        // Zeros at -1 and 1, the minimum at 0, f'' = 2.
        ChartCase{"Parabola",
                  "x^2-1",
                  {-1, 0, 1},
                  {true, {1, -1, -1, 1}, {P::Zero, P::None, P::Zero}},
                  {true, {-1, -1, 1, 1}, {P::None, P::Zero, P::None}},
                  {true, {1, 1, 1, 1}, {P::None, P::None, P::None}}},
        // f = (x^3+4)/x^2: zero at -4^(1/3), no value at 0, f' = (x^3-8)/x^3 is 0 at 2 and
        // positive left of 0, f'' = 24/x^4.
        ChartCase{"ExamFunction",
                  "(x^3+4)/x^2",
                  {-1.5874, 0, 2},
                  {true, {-1, 1, 1, 1}, {P::Zero, P::Break, P::None}},
                  {true, {1, 1, -1, 1}, {P::None, P::Break, P::Zero}},
                  {true, {1, 1, 1, 1}, {P::None, P::Break, P::None}}},
        // f' = -1/x^2 < 0 on both sides, f'' = 2/x^3 changes sign across the pole.
        ChartCase{"Hyperbola",
                  "1/x",
                  {0},
                  {true, {-1, 1}, {P::Break}},
                  {true, {-1, -1}, {P::Break}},
                  {true, {-1, 1}, {P::Break}}},
        // f = x + 2 + 3/(x-2): zeros at -1 and 1, a pole at 2 (one mark, though the study's
        // 32-bit x close its gap on the floats either side), f' = (x^2-4x+1)/(x-2)^2 is 0 at
        // 2 -+ sqrt(3), f'' = 6/(x-2)^3 changes sign across the pole only.
        ChartCase{"PoleAwayFromZero",
                  "(x^2-1)/(x-2)",
                  {-1, 0.26795, 1, 2, 3.73205},
                  {true, {-1, 1, 1, -1, 1, 1}, {P::Zero, P::None, P::Zero, P::Break, P::None}},
                  {true, {1, 1, -1, -1, -1, 1}, {P::None, P::Zero, P::None, P::Break, P::Zero}},
                  {true, {-1, -1, -1, -1, 1, 1}, {P::None, P::None, P::None, P::Break, P::None}}},
        // A corner at 0: f touches 0 there, f' jumps from -1 to 1 (no derivative), f'' = 0
        // elsewhere has no sign at all.
        ChartCase{"Corner",
                  "ABS(x)",
                  {0},
                  {true, {1, 1}, {P::Zero}},
                  {true, {-1, 1}, {P::NoDerivative}},
                  {false, {}, {}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SignChartDenseTest, ARowOfTooManyItemsIsNotShownNorMarked) {
  ExpressionEvaluator evaluator;
  // SIN(x*500) in degrees: a zero every 0.36 over [-10, 10], far more than a chart can hold.
  const SignChart chart = MakeSignChart(StudyFunction(evaluator, "SIN(x*500)", 50));
  const SignChartRow& f = chart.Row(SignChartRowName::F);
  EXPECT_TRUE(f.dense);
  EXPECT_FALSE(f.Shown());
  const SignChartGrid grid = GridOf(chart);
  EXPECT_TRUE(grid.rows[0].dense);
  EXPECT_TRUE(grid.rows[0].cells.empty());
  // Marks come only from the rows shown, so a dense row does not crowd the others.
  EXPECT_LE(grid.marks.size(), 2 * SignChart::kMostItems);
}

TEST(SignChartDenseTest, EveryItemOfAShownRowLiesOnAMarkOrAnEnd) {
  ExpressionEvaluator evaluator;
  const SignChart chart = MakeSignChart(StudyFunction(evaluator, "x^3-3*x", 50));
  const SignChartGrid grid = GridOf(chart);
  for (const SignChartRow& row : chart.rows) {
    for (const SignChartItem& item : row.items) {
      for (const double x : {item.from, item.to}) {
        const bool end = x == chart.xMin || x == chart.xMax;
        const bool marked = std::any_of(grid.marks.begin(), grid.marks.end(),
                                        [x](double m) { return std::abs(m - x) < 1e-6; });
        EXPECT_TRUE(end || marked) << x;
      }
    }
  }
}

// The lines the drawn chart reads as are exactly the study's sign chart lines, one an item of each
// row it shows, whatever kinds the rows hold.
TEST(SignChartLinesTest, TheChartReadsAsTheStudysChartLines) {
  for (const char* formula :
       {"x^2-1", "(x^3+4)/x^2", "ABS(x)", "TAN(x*9)", "SIN(x*500)", "LOG(x)"}) {
    SCOPED_TRACE(formula);
    StudyRequest request;
    request.state.currentFormula = formula;
    request.state.zoomValue.value = 50;
    const std::optional<StudyOutcome> outcome = ComputeStudy(request);
    ASSERT_TRUE(outcome.has_value());
    std::vector<std::string> charted;
    for (const StudyLine& line : outcome->lines) {
      if (line.text.rfind("Schema dei segni di ", 0) == 0) charted.push_back(line.text);
    }
    EXPECT_EQ(outcome->chartLines, charted);
    std::size_t items = 0;
    for (const SignChartRow& row : outcome->chart.rows) items += row.Shown() ? row.items.size() : 0;
    EXPECT_EQ(outcome->chartLines.size(), items);
  }
}

}  // namespace
}  // namespace funzioni
