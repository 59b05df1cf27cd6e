// The dots of the built-in curves and of the typed formula.

#include <set>
#include <string>
#include <vector>

#include "PlotFixture.h"
#include "plot/Curves.h"
#include "plot/PlotBoard.h"

namespace funzioni::testing {
namespace {

class Curves : public PlotFixture {
 protected:
  // Columns of the pixels of one colour, each column counted once.
  std::set<int> ColumnsOf(Color color) const {
    std::set<int> columns;
    for (int y = 2; y < 598; ++y) {
      for (int x = 2; x < 598; ++x) {
        if (At(x, y) == color) columns.insert(x);
      }
    }
    return columns;
  }
  std::string Pixels() const { return Plot().GetSurfacePixels(); }
};

TEST_F(Curves, StartStateDrawsGreyParabolaOfXSquaredPlusOne) {
  Redraw();
  // x = 0, +-1, +-2, +-3 at 30 pixels per unit; y = x^2 + 1 from row 300 upwards.
  struct Dot {
    int x, y;
  };
  for (const Dot d : {Dot{300, 270}, Dot{330, 240}, Dot{270, 240}, Dot{360, 150}, Dot{240, 150},
                      Dot{390, 0 + 0}}) {
    if (d.y <= 1) continue;  // x = 3 gives y = 10: row 0, under the frame
    EXPECT_EQ(At(d.x, d.y), kGrey) << d.x << "," << d.y;
  }
  EXPECT_NE(At(300, 280), kGrey);
  EXPECT_NE(At(330, 270), kGrey);
  // Nothing below y = 1 and nothing outside |x| <= 3.
  const std::set<int> columns = ColumnsOf(kGrey);
  ASSERT_FALSE(columns.empty());
  EXPECT_GE(*columns.begin(), 205);  // x = -3.16
  EXPECT_LE(*columns.rbegin(), 395);
  for (int y = 271; y < 598; ++y) EXPECT_NE(At(300, y), kGrey) << y;
}

TEST_F(Curves, SquareRootWithNegativeAOnlyLeftOfZero) {
  SwitchEverythingOff();
  state.curveOn[10] = 1;
  state.paramA[10].value = -1;
  Redraw();
  const std::set<int> columns = ColumnsOf(kBlack);
  ASSERT_FALSE(columns.empty());
  EXPECT_LE(*columns.rbegin(), 300);
  EXPECT_EQ(At(270, 270), kBlack);  // x = -1: sqrt(1) = 1
  EXPECT_EQ(At(180, 240), kBlack);  // x = -4: sqrt(4) = 2
}

TEST_F(Curves, HyperbolaLeavesNoMarkNextToZero) {
  SwitchEverythingOff();
  state.curveOn[4] = 1;
  state.paramC[4].value = 1;
  state.paramD[4].value = 0;
  Redraw();
  EXPECT_EQ(At(330, 240), kRed);  // x = 1: (1 + 1) / 1 = 2
  EXPECT_EQ(At(240, 285), kRed);  // x = -2: (-2 + 1) / -2 = 0.5
  for (int y = 2; y < 598; ++y) EXPECT_NE(At(300, y), kRed) << y;
  // Both branches, each with dots above and below the asymptote y = 1.
  int left = 0;
  int right = 0;
  for (const int x : ColumnsOf(kRed)) (x < 300 ? left : right) += 1;
  EXPECT_GT(left, 100);
  EXPECT_GT(right, 100);

  // c = d = 0: every sample divides by zero; no dot, no failure.
  state.paramC[4].value = 0;
  Redraw();
  EXPECT_TRUE(ColumnsOf(kRed).empty());
}

TEST_F(Curves, PowerWithNegativeBaseUsesTheRoundedExponent) {
  SwitchEverythingOff();
  state.curveOn[9] = 1;
  Redraw();
  EXPECT_EQ(At(270, 330), kGreen);  // x = -1: (-1)^-1 = -1
  EXPECT_EQ(At(330, 270), kGreen);  // x = 1: 1^1 = 1
  EXPECT_EQ(At(360, 180), kGreen);  // x = 2: 2^2 = 4
  // Between x = -1.5 and -0.5 the exponent rounds to -1: y = 1/x, below the axis.
  for (int x = 258; x <= 282; ++x) {
    for (int y = 2; y < 300; ++y) EXPECT_NE(At(x, y), kGreen) << x << "," << y;
  }
}

TEST_F(Curves, AllTenCurvesInTheirColours) {
  state.curveOn.fill(1);
  Redraw();
  // One point of each curve where no other curve passes (a = b = c = d = 1, 30 pixels a unit).
  struct Dot {
    int function, x, y;
    Color color;
  };
  const Dot dots[] = {
      {1, 150, 450, kYellow},     // x = -5: -5
      {2, 150, 420, 0x00FF00FF},  // x = -5: -4
      {3, 360, 150, kGrey},       // x = 2: 5
      {4, 210, 270, kRed},        // x = -3: (-3 + 1) / (-3 + 1) = 1
      {6, 120, 271, 0x00FF0000},  // x = -6: cos(-6) = 0.96
      {7, 345, 169, kWhite},      // x = 1.5: 4.375
      {8, 390, 60, 0x00FFFF00},   // x = 3: 8
      {9, 270, 330, kGreen},      // x = -1: (-1)^-1, drawn over a.x at the same x
      {10, 420, 240, kBlack},     // x = 4: 2
  };
  for (const Dot& d : dots) EXPECT_EQ(At(d.x, d.y), d.color) << "function " << d.function;
}

TEST_F(Curves, TypedFormulaDotsThreePixelsApart) {
  SwitchEverythingOff();
  state.stepValue.value = 100;
  state.currentFormula = "x^2";
  Redraw();
  EXPECT_EQ(FormulaSampleXs(state).size(), 200u);
  EXPECT_EQ(At(300, 300), kYellow);
  EXPECT_EQ(At(330, 270), kYellow);
  EXPECT_EQ(At(360, 180), kYellow);
  EXPECT_EQ(At(240, 180), kYellow);
  const std::set<int> columns = ColumnsOf(kYellow);
  // x^2 <= 10 inside the area: x from -3.1 to 3.1, one dot every 0.1.
  EXPECT_EQ(columns.size(), 63u);
  int previous = *columns.begin() - 3;
  for (const int x : columns) {
    EXPECT_EQ(x - previous, 3) << x;
    previous = x;
  }
}

TEST_F(Curves, RejectedFormulaDrawsNothing) {
  Redraw();
  const std::string before = Pixels();
  PlotFormulaCurve(dialog, kPlotAreaId, state, evaluator, "x+");
  EXPECT_EQ(Pixels(), before);
}

TEST_F(Curves, NewFormulaIsDrawnOverTheOldWithoutClearing) {
  SwitchEverythingOff();
  state.stepValue.value = 100;
  state.currentFormula = "x^2";
  Redraw();
  PlotFormulaCurve(dialog, kPlotAreaId, state, evaluator, "0-x");
  EXPECT_EQ(At(330, 270), kYellow);  // the old x^2 at x = 1
  EXPECT_EQ(At(330, 330), kYellow);  // the new 0-x at x = 1
  EXPECT_EQ(At(360, 180), kYellow);
}

}  // namespace
}  // namespace funzioni::testing
