// The study of a view a gesture has moved: it covers the view's x range (its points against their
// closed forms), and its marks land on the pixels the moved view's mapping gives them.

#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "PlotFixture.h"
#include "plot/StudyMarks.h"
#include "sampling/FunctionStudy.h"

namespace funzioni {
namespace {

using testing::PlotFixture;

constexpr float kZoom = 10;  // the seed view -2..2, away from every view below

struct Expected {
  double x = 0;
  double y = 0;
};

struct ViewStudyCase {
  const char* name;
  const char* formula;
  PlotView view;
  std::vector<double> zeros;
  std::vector<Expected> maxima;
  std::vector<Expected> minima;
  std::vector<double> asymptotes;
  std::optional<double> yIntercept;
  StudyParity parity = StudyParity::None;
};

// Positions are resolved to a thousandth of the half width; the values are 32-bit ones.
bool Near(double found, double wanted, const PlotView& view) {
  return std::fabs(found - wanted) <= 1e-3 * view.HalfX() + 1e-6 * std::fabs(wanted);
}

const std::vector<ViewStudyCase>& ViewStudyCases() {
  static const std::vector<ViewStudyCase> cases{
      // x^2 - 1: zeros at +-1, minimum (0, -1).
      {"ParabolaAroundZero", "x^2-1", {-3, 5, -2, 10}, {-1, 1}, {}, {{0, -1}}, {}, -1},
      // 0 out of view: only the zero at 1, no minimum; f(0) is still f's value at 0.
      {"ParabolaRightOfZero", "x^2-1", {0.5, 4, -1, 15}, {1}, {}, {}, {}, -1},
      // (x - 100)^2 - 4: zeros 98 and 102, minimum (100, -4), all far from the seed range.
      {"ParabolaFarOut", "(x-100)^2-4", {90, 110, -5, 100}, {98, 102}, {}, {{100, -4}}, {}, 9996},
      // sin in degrees over 1000..1400: zeros at 1080 and 1260, maximum at 1170 (90 + 3 x 360),
      // minimum at 1350.
      {"SineInDegrees",
       "SIN(x)",
       {1000, 1400, -1.5, 1.5},
       {1080, 1260},
       {{1170, 1}},
       {{1350, -1}},
       {},
       0},
      // A pole at 30, away from 0.
      {"PoleFarOut", "1/(x-30)", {20, 40, -5, 5}, {}, {}, {}, {30}, -1.0 / 30},
      // A view that is its own mirror tells the parity; one that is not, none.
      {"MirrorViewEven", "x^2", {-3, 3, -1, 9}, {0}, {}, {{0, 0}}, {}, 0, StudyParity::Even},
      {"LopsidedViewNoParity", "x^2", {-2, 3, -1, 9}, {0}, {}, {{0, 0}}, {}, 0},
  };
  return cases;
}

// Beside 10^6 the seven-digit text put in place of x moves by 0.1 on the left and by 1 on the
// right: 1/(x - 10^6) never gets past 10 there, so its one-sided limits (-inf and +inf) cannot
// be told from the values, and no number is given for them.
TEST(ViewStudyLimits, WhereXsTextIsCoarseAPoleHasNoNumberForALimit) {
  ExpressionEvaluator evaluator;
  const PlotView view{999000, 1001000, -1, 1};
  const FunctionStudy study = StudyFunction(evaluator, "1/(x-1000000)", kZoom, view);
  std::vector<StudyLimit> beside;
  for (const StudyLimit& limit : study.limits) {
    if (std::fabs(limit.at - 1e6) <= 1e-3 * view.HalfX()) beside.push_back(limit);
  }
  ASSERT_EQ(beside.size(), 2U) << StudyText(study);
  for (const StudyLimit& limit : beside) {
    EXPECT_NE(limit.value.kind, StudyValue::Kind::Number) << StudyText(study);
  }
}

class ViewStudy : public ::testing::TestWithParam<ViewStudyCase> {};

TEST_P(ViewStudy, CoversTheViewsRange) {
  const ViewStudyCase& c = GetParam();
  ExpressionEvaluator evaluator;
  const FunctionStudy study = StudyFunction(evaluator, c.formula, kZoom, c.view);
  EXPECT_EQ(study.xMin, c.view.xMin);
  EXPECT_EQ(study.xMax, c.view.xMax);
  ASSERT_EQ(study.zeros.size(), c.zeros.size()) << StudyText(study);
  for (std::size_t i = 0; i < c.zeros.size(); ++i) {
    EXPECT_TRUE(Near(study.zeros[i].x, c.zeros[i], c.view)) << study.zeros[i].x;
  }
  const auto points = [&](const std::vector<StudyPoint>& found,
                          const std::vector<Expected>& wanted) {
    ASSERT_EQ(found.size(), wanted.size()) << StudyText(study);
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      EXPECT_TRUE(Near(found[i].x, wanted[i].x, c.view)) << found[i].x;
      EXPECT_NEAR(found[i].y, wanted[i].y, 1e-5 * (1 + std::fabs(wanted[i].y)));
    }
  };
  points(study.maxima, c.maxima);
  points(study.minima, c.minima);
  ASSERT_EQ(study.asymptotes.size(), c.asymptotes.size()) << StudyText(study);
  for (std::size_t i = 0; i < c.asymptotes.size(); ++i) {
    EXPECT_TRUE(Near(study.asymptotes[i], c.asymptotes[i], c.view)) << study.asymptotes[i];
  }
  ASSERT_EQ(study.yIntercept.has_value(), c.yIntercept.has_value());
  if (c.yIntercept) {
    EXPECT_NEAR(*study.yIntercept, *c.yIntercept, 1e-6 * std::fabs(*c.yIntercept));
  }
  EXPECT_EQ(study.parity, c.parity);
  // Every finding lies in the view; the signs tile it from end to end.
  for (const StudyZero& zero : study.zeros) {
    EXPECT_GE(zero.x, c.view.xMin);
    EXPECT_LE(zero.x, c.view.xMax);
  }
  ASSERT_FALSE(study.signs.empty());
  EXPECT_EQ(study.signs.front().from, c.view.xMin);
  EXPECT_EQ(study.signs.back().to, c.view.xMax);
}

INSTANTIATE_TEST_SUITE_P(Views, ViewStudy, ::testing::ValuesIn(ViewStudyCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A view moved along y alone ("Adatta y") shows the seed's x range: the study is the seed's, to
// the last digit.
TEST(ViewStudySeed, YAloneLeavesTheSeedStudy) {
  ExpressionEvaluator evaluator;
  const std::string seed = StudyText(StudyFunction(evaluator, "x^3-x", kZoom));
  const double r = static_cast<float>(0.2 * kZoom);
  const PlotView fitted{-r, r, -7, 3};
  EXPECT_EQ(StudyText(StudyFunction(evaluator, "x^3-x", kZoom, fitted)), seed);
  EXPECT_EQ(StudyText(StudyFunction(evaluator, "x^3-x", kZoom, std::nullopt)), seed);
}

class StudyMarksInView : public PlotFixture {
 protected:
  // The plotting area with every curve off, moved to view.
  void ShowEmptyView(const PlotView& view) {
    SwitchEverythingOff();
    state.zoomValue.value = kZoom;
    state.view = view;
    Redraw();
  }

  // The cross of a mark centred on (column, row): its centre and the ends of both diagonals.
  bool CrossAt(int column, int row) const {
    for (const int d : {-4, 0, 4}) {
      if (At(column + d, row + d) != kStudyMarkColor) return false;
      if (At(column + d, row - d) != kStudyMarkColor) return false;
    }
    return true;
  }
};

// x^2 - 1 in the view -1.5..2.5 by -2..2 on the 600 x 600 area: x = -1 is column
// 600 x 0.5 / 4 = 75, x = 1 column 375, y = 0 row 300, and the minimum (0, -1) column 225,
// row 450. The seed view would have put x = 1 at column 450.
TEST_F(StudyMarksInView, MarksLandWhereTheMovedViewPutsThem) {
  const PlotView view{-1.5, 2.5, -2, 2};
  ShowEmptyView(view);
  const FunctionStudy study = StudyFunction(evaluator, "x^2-1", kZoom, view);
  std::vector<PlotMark> marks;
  for (const StudyZero& zero : study.zeros) marks.push_back({zero.x, 0});
  for (const StudyPoint& p : study.minima) marks.push_back({p.x, p.y});
  ASSERT_EQ(marks.size(), 3u) << StudyText(study);
  DrawStudyMarks(dialog, kPlotAreaId, {kZoom, marks, {}, view});
  EXPECT_TRUE(CrossAt(75, 300));
  EXPECT_TRUE(CrossAt(375, 300));
  EXPECT_TRUE(CrossAt(225, 450));
  EXPECT_NE(At(450, 300), kStudyMarkColor);
}

// A pole at 1 in the same view: the dashed line runs down column 375, the seed view's column 450
// untouched.
TEST_F(StudyMarksInView, AsymptoteFollowsTheView) {
  const PlotView view{-1.5, 2.5, -2, 2};
  ShowEmptyView(view);
  const FunctionStudy study = StudyFunction(evaluator, "1/(x-1)", kZoom, view);
  ASSERT_EQ(study.asymptotes.size(), 1u) << StudyText(study);
  const std::vector<PlotMark> marks{{study.asymptotes[0], 0, true}};
  DrawStudyMarks(dialog, kPlotAreaId, {kZoom, marks, {}, view});
  int dashes = 0;
  for (int row = 0; row < 600; ++row) {
    dashes += At(375, row) == kStudyMarkColor;
    EXPECT_NE(At(450, row), kStudyMarkColor) << row;
  }
  EXPECT_EQ(dashes, 300);  // 4 on, 4 off
}

// Tangents in the same view: column = 150 x + 225, row = 300 - 150 y. Each row: the ray, pixels
// it must colour and pixels it must leave.
struct RayCase {
  const char* name;
  PlotRay ray;
  std::vector<std::pair<int, int>> on;
  std::vector<std::pair<int, int>> off;
};

const std::vector<RayCase>& RayCases() {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  static const std::vector<RayCase> cases = {
      // x^2 at 1: y = 2x - 1 through (0, -1), (0.5, 0), (1, 1), clipped at the area's bottom.
      {"WholeTangentOfTheParabola",
       {1, 1, 2, 0},
       {{225, 450}, {300, 300}, {375, 150}},
       {{450, 450}, {150, 150}}},
      // ABS(x-1) at 1, its left half y = 1 - x: (0, 1) but not (2, -1).
      {"LeftHalfOfACorner", {1, 0, -1, -1}, {{225, 150}, {300, 225}}, {{525, 450}, {450, 375}}},
      // Its right half y = x - 1: (2, 1) but not (0, -1).
      {"RightHalfOfACorner", {1, 0, 1, 1}, {{525, 150}, {450, 225}}, {{225, 450}, {300, 375}}},
      // SQR(x) at 0: a vertical half-line up from (0, 0) in column 225, nothing below.
      {"VerticalHalfUpwards", {0, 0, kInf, 1}, {{225, 100}, {225, 0}}, {{225, 500}}},
      // A tangent beyond the view's x range on the side asked draws nothing there.
      {"HalfOutsideTheView", {3, 0, 1, 1}, {}, {{525, 150}, {599, 0}}},
  };
  return cases;
}

class StudyRays : public StudyMarksInView, public ::testing::WithParamInterface<RayCase> {};

TEST_P(StudyRays, DrawnWhereTheLineRuns) {
  const PlotView view{-1.5, 2.5, -2, 2};
  ShowEmptyView(view);
  const PlotRay ray = GetParam().ray;
  DrawStudyMarks(dialog, kPlotAreaId, {kZoom, {}, {}, view, std::span(&ray, 1)});
  for (const auto& [column, row] : GetParam().on) {
    EXPECT_EQ(At(column, row), kStudyTangentColor) << column << "," << row;
  }
  for (const auto& [column, row] : GetParam().off) {
    EXPECT_NE(At(column, row), kStudyTangentColor) << column << "," << row;
  }
}

INSTANTIATE_TEST_SUITE_P(Rays, StudyRays, ::testing::ValuesIn(RayCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// x^2 from 0 to 1: hatched between the axis (row 300) and the curve, within columns 225..375
// only, and never above the curve (at x = 0.5, y = 0.25: row 262).
TEST_F(StudyMarksInView, AreaIsHatchedBetweenTheCurveAndTheAxisOnly) {
  const PlotView view{-1.5, 2.5, -2, 2};
  ShowEmptyView(view);
  std::vector<PlotSlopeDot> area;
  for (int k = 0; k <= 100; ++k) area.push_back({k / 100.0, (k / 100.0) * (k / 100.0)});
  DrawStudyMarks(dialog, kPlotAreaId, {kZoom, {}, {}, view, {}, area});
  int inside = 0;
  for (int column = 0; column < 600; ++column) {
    for (int row = 0; row < 600; ++row) {
      if (At(column, row) != kStudyAreaColor) continue;
      const bool within = column >= 225 && column <= 375 && row <= 300 && row >= 150;
      EXPECT_TRUE(within) << column << "," << row;
      inside += within;
    }
  }
  EXPECT_GT(inside, 0);
  for (int row = 0; row < 261; ++row) EXPECT_NE(At(300, row), kStudyAreaColor) << row;
}

}  // namespace
}  // namespace funzioni
