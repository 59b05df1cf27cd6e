// The view's arithmetic: the point under the pointer stays put, the ranges stop at both ends, and
// ticks read well at every scale.

#include "state/PlotView.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace funzioni {
namespace {

// Where a value lies across the view, 0 at the low edge and 1 at the high edge.
double Place(double value, double low, double high) {
  return (value - low) / (high - low);
}

struct ZoomRow {
  const char* name;
  PlotView view;
  double x, y, factor;
  ZoomAxes axes;
};

class ZoomKeepsPoint : public testing::TestWithParam<ZoomRow> {};

TEST_P(ZoomKeepsPoint, UnderThePointer) {
  const ZoomRow& row = GetParam();
  const PlotView zoomed = ZoomViewAt(row.view, row.x, row.y, row.factor, row.axes);
  EXPECT_NEAR(Place(row.x, zoomed.xMin, zoomed.xMax), Place(row.x, row.view.xMin, row.view.xMax),
              1e-9);
  EXPECT_NEAR(Place(row.y, zoomed.yMin, zoomed.yMax), Place(row.y, row.view.yMin, row.view.yMax),
              1e-9);
  const double wantX = row.axes == ZoomAxes::OnlyY ? 1 : row.factor;
  const double wantY = row.axes == ZoomAxes::OnlyX ? 1 : row.factor;
  EXPECT_NEAR(zoomed.HalfX() / row.view.HalfX(), wantX, 1e-12);
  EXPECT_NEAR(zoomed.HalfY() / row.view.HalfY(), wantY, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ZoomKeepsPoint,
    testing::Values(ZoomRow{"InAtCentre", SeedView(50), 0, 0, 0.5, ZoomAxes::Both},
                    ZoomRow{"InOffCentre", SeedView(50), 7.5, -3.25, 1 / 1.25, ZoomAxes::Both},
                    ZoomRow{"OutAtCorner", SeedView(50), 10, 10, 1.25, ZoomAxes::Both},
                    ZoomRow{"OnlyXAtThirty", {20, 40, -1, 1}, 30, 0.5, 4, ZoomAxes::OnlyX},
                    ZoomRow{"OnlyYAtPole", {85, 95, -50, 50}, 90, 20, 0.1, ZoomAxes::OnlyY}),
    [](const testing::TestParamInfo<ZoomRow>& info) { return std::string(info.param.name); });

// Both ends of the ranges: a wheel turned far keeps every half width and centre in range.
TEST(PlotViewLimits, ZoomStopsAtBothEnds) {
  PlotView view = SeedView(50);
  for (int step = 0; step < 200; ++step) view = ZoomViewAt(view, 0.5, 0.5, 0.5, ZoomAxes::Both);
  EXPECT_NEAR(view.HalfX(), kMinHalfWidth, 1e-15);
  EXPECT_NEAR(view.HalfY(), kMinHalfWidth, 1e-15);
  EXPECT_NEAR(view.CentreX(), 0.5, 1e-3);
  // Near 3 the least half width is a thousandth of 3.
  const PlotView nearThree = ZoomViewAt(PlotView{2, 4, 2, 4}, 3, 3, 1e-6, ZoomAxes::Both);
  EXPECT_NEAR(nearThree.HalfX(), 3 * kMinRelativeHalfWidth, 1e-15);
  for (int step = 0; step < 200; ++step) view = ZoomViewAt(view, 0.5, 0.5, 2, ZoomAxes::Both);
  EXPECT_NEAR(view.HalfX(), kMaxHalfWidth, 1e-6);
  EXPECT_NEAR(view.HalfY(), kMaxHalfWidth, 1e-6);
  // Ten whole periods of a sine in degrees fit at the widest.
  EXPECT_GE(view.HalfX(), 1800);
}

// One huge step (a flick of a touchpad, fingers pinched to almost nothing) ends at the same
// limits as many small ones, wherever the point under the pointer lies.
TEST(PlotViewLimits, OneHugeStepStaysInRange) {
  struct Row {
    const char* name;
    PlotView view;
    double x, y, factor;
  };
  const Row rows[] = {
      {"out, far from the point", {100, 300, -1, 1}, -5e5, 0.5, 1e300},
      {"out, at the widest already", {-1e6, 1e6, -1e6, 1e6}, 1e6, -1e6, 1e12},
      {"in, to a point", {2, 4, 2, 4}, 3, 3, 1e-300},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const PlotView view = ZoomViewAt(row.view, row.x, row.y, row.factor, ZoomAxes::Both);
    for (const double v : {view.xMin, view.xMax, view.yMin, view.yMax})
      ASSERT_TRUE(std::isfinite(v));
    EXPECT_LE(std::fabs(view.CentreX()), kMaxCentre);
    EXPECT_LE(std::fabs(view.CentreY()), kMaxCentre);
    EXPECT_LE(view.HalfX(), kMaxHalfWidth * (1 + 1e-12));
    EXPECT_GE(view.HalfX(), kMinHalfWidth * (1 - 1e-12));
    EXPECT_GE(view.HalfY(), kMinHalfWidth * (1 - 1e-12));
  }
}

TEST(PlotViewLimits, CentresStopAndFarViewsStayResolvable) {
  const PlotView view = ClampView(PlotView{1e7 - 1, 1e7 + 1, -1e7 - 1, -1e7 + 1});
  EXPECT_DOUBLE_EQ(view.CentreX(), kMaxCentre);
  EXPECT_DOUBLE_EQ(view.CentreY(), -kMaxCentre);
  // 7 significant digits at 10^6 tell x apart only every unit: the half width is held at 1000.
  EXPECT_DOUBLE_EQ(view.HalfX(), kMinRelativeHalfWidth * kMaxCentre);
  const PlotView wild = ClampView(PlotView{NAN, NAN, -INFINITY, INFINITY});
  EXPECT_TRUE(std::isfinite(wild.xMin) && std::isfinite(wild.xMax));
  EXPECT_TRUE(std::isfinite(wild.yMin) && std::isfinite(wild.yMax));
  // A range already in range is kept to the bit.
  const PlotView given{-0.3, 0.7, 1e-3, 3.5e-3};
  EXPECT_EQ(ClampView(given), given);
}

TEST(PlotViewPan, PictureFollowsTheDrag) {
  // 60 pixels of a 600-pixel area showing 20 units are 2 units; dragging right shows what lay left.
  const PlotView moved = PanViewByPixels(SeedView(50), 60, -30, 600, 600);
  EXPECT_DOUBLE_EQ(moved.xMin, -12);
  EXPECT_DOUBLE_EQ(moved.xMax, 8);
  EXPECT_DOUBLE_EQ(moved.yMin, -11);
  EXPECT_DOUBLE_EQ(moved.yMax, 9);
  const PlotView tenth = PanViewByTenths(SeedView(50), 1, -1);
  EXPECT_DOUBLE_EQ(tenth.xMin, -8);
  EXPECT_DOUBLE_EQ(tenth.yMax, 8);
}

TEST(PlotViewZoomMeter, SetsHalfWidthAroundCentreAndSeedSettles) {
  const PlotView moved{28, 32, -200, 200};
  const PlotView rescaled = ViewAtZoom(moved, 100);  // x half width 20, y in proportion
  EXPECT_DOUBLE_EQ(rescaled.CentreX(), 30);
  EXPECT_DOUBLE_EQ(rescaled.HalfX(), 20);
  EXPECT_DOUBLE_EQ(rescaled.HalfY(), 2000);
  EXPECT_FALSE(SettledView(SeedView(37), 37).has_value());
  EXPECT_TRUE(SettledView(SeedView(37), 38).has_value());
  // 0.2 z is a 32-bit float, as the seed's plot computes it.
  EXPECT_EQ(SeedView(37).xMax, static_cast<double>(static_cast<float>(0.2 * 37)));
}

TEST(PlotViewFit, CentralValuesIgnorePoles) {
  // tan in degrees at every degree from -89 to 89: the extremes are +-57.3; of the 179 values
  // the 9th from each end (index 0.05 * 178 rounded outwards) is tan(-81) and tan(81), 6.31.
  std::vector<double> values;
  for (int d = -89; d <= 89; ++d) values.push_back(std::tan(d * M_PI / 180));
  values.push_back(NAN);
  const std::optional<PlotView> fitted = FitViewY(PlotView{-90, 90, -1, 1}, values);
  ASSERT_TRUE(fitted);
  EXPECT_EQ(fitted->xMin, -90);
  EXPECT_EQ(fitted->xMax, 90);
  const double spread = 2 * std::tan(81 * M_PI / 180);
  EXPECT_NEAR(fitted->yMax, spread / 2 + spread * kFitMargin, 1e-9);
  EXPECT_NEAR(fitted->yMin, -fitted->yMax, 1e-9);
  // A constant sits in the middle of a range of 2; nothing finite gives nothing.
  const std::vector<double> constant(10, 3.0);
  EXPECT_DOUBLE_EQ(FitViewY(SeedView(50), constant)->yMin, 2);
  EXPECT_DOUBLE_EQ(FitViewY(SeedView(50), constant)->yMax, 4);
  EXPECT_FALSE(FitViewY(SeedView(50), std::vector<double>{NAN, INFINITY}));
}

struct StepRow {
  const char* name;
  double minimum;
  bool degrees;
  double step;
};

class TickSteps : public testing::TestWithParam<StepRow> {};

TEST_P(TickSteps, SmallestOfTheRule) {
  EXPECT_DOUBLE_EQ(TickStepAtLeast(GetParam().minimum, GetParam().degrees), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TickSteps,
    testing::Values(
        StepRow{"ExactTwoTenths", 0.2, false, 0.2}, StepRow{"AboveTwo", 2.01, false, 5},
        StepRow{"Thousandths", 0.0031, false, 0.005}, StepRow{"Hundreds", 130, false, 200},
        StepRow{"Millions", 1.1e6, false, 2e6}, StepRow{"DegreesSmallStayDecimal", 3, true, 5},
        StepRow{"DegreesFifteen", 6, true, 15}, StepRow{"DegreesFortyFive", 31, true, 45},
        StepRow{"DegreesHalfTurn", 91, true, 180}, StepRow{"DegreesTurns", 500, true, 720},
        StepRow{"DegreesFiveTurns", 1000, true, 1800}),
    [](const testing::TestParamInfo<StepRow>& info) { return std::string(info.param.name); });

// Labels 7 pixels a character, as the plot's font writes digits.
double SevenPerCharacter(std::string_view label) {
  return 7.0 * static_cast<double>(label.size());
}

struct ChoiceRow {
  const char* name;
  TickAxis axis;
  double step;
};

class TickChoice : public testing::TestWithParam<ChoiceRow> {};

TEST_P(TickChoice, AsManyAsFit) {
  EXPECT_DOUBLE_EQ(ChooseTickStep(GetParam().axis, SevenPerCharacter), GetParam().step);
}

// 600 pixels: -10..10 is 30 px a unit: "-10.0" (35 + 6 px) does not fit at 0.5 (15 px), "-10"
// (21 + 6) fits at 1. -1000..1000 is 0.3 px a unit: "-1000" needs 41 px, 200 units are 60.
// 0.999..1.001: "0.9990" needs 48 px, 0.0002 is 60 px. -1800..1800 degrees at 1/6 px a degree:
// "-1800°" counts 7 bytes (55 px), 180 degrees are 30 px, 360 are 60. -180..180: "-180°" needs
// 48 px, 30 degrees are 50. -10^6..10^6: "-1000000" needs 62 px, 200000 units are 60.
INSTANTIATE_TEST_SUITE_P(Rows, TickChoice,
                         testing::Values(ChoiceRow{"SeedTen", {-10, 10, 600, false}, 1},
                                         ChoiceRow{"Thousand", {-1000, 1000, 600, false}, 200},
                                         ChoiceRow{"Narrow", {0.999, 1.001, 600, false}, 0.0002},
                                         ChoiceRow{"SineDegrees", {-1800, 1800, 600, true}, 360},
                                         ChoiceRow{"OnePeriod", {-180, 180, 600, true}, 30},
                                         ChoiceRow{"Million", {-1e6, 1e6, 600, false}, 500000}),
                         [](const testing::TestParamInfo<ChoiceRow>& info) {
                           return std::string(info.param.name);
                         });

TEST(TickLabels, DecimalsOfTheStepAndDegrees) {
  EXPECT_EQ(TickLabel(0.6000000000000001, 0.2, false), "0.6");
  EXPECT_EQ(TickLabel(-1e-17, 0.05, false), "0");
  EXPECT_EQ(TickLabel(-1500000, 500000, false), "-1500000");
  EXPECT_EQ(TickLabel(90, 45, true), "90\xC2\xB0");
  EXPECT_EQ(TickLabel(1.0005, 0.0005, false), "1.0005");
}

TEST(AngleFunctions, OnlyThoseThatTakeDegrees) {
  EXPECT_TRUE(UsesAngleFunction("SIN(x)"));
  EXPECT_TRUE(UsesAngleFunction("x*cos(2*x)"));
  EXPECT_TRUE(UsesAngleFunction("ARCSIN(x)+COT(x)"));
  EXPECT_FALSE(UsesAngleFunction("SINH(x)+ARCTAN(x)"));
  EXPECT_FALSE(UsesAngleFunction("ARCCOS(x/2)"));
  EXPECT_FALSE(UsesAngleFunction("x^2"));
}

}  // namespace
}  // namespace funzioni
