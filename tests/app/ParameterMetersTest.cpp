// The typed formula's parameter meters through the real window: a meter appears for each letter
// the formula uses, moves the curve, the table and the readout as the built-in parameters' meters
// move theirs, and goes when the formula stops using its letter.

#include <QTest>

#include "ShellFixture.h"
#include "app/FormulaParameterValues.h"
#include "app/ParameterMeters.h"
#include "plot/PlotIds.h"

namespace funzioni::testing {
namespace {

const int kMeterK = FormulaMeterId(*FormulaParameterIndex('k'));
const int kMeterA = FormulaMeterId(*FormulaParameterIndex('a'));

class ShellParameterMeters : public ShellFixture {
 protected:
  void Enter(std::string_view formula) {
    dialog().SetControlText(kFormulaBoxId, formula);
    dialog().SetControlFocus(kFormulaBoxId);
    Settle();
    Key(Qt::Key_Return);
    WaitForPlot();
  }
  void DragTo(int id, int dx) {
    const PixelRect r = dialog().GetControlRect(id);
    Press(Qt::LeftButton, Inside(id, 1, r.height / 2));
    for (int x = 1; x < dx; x += 5) Move(Inside(id, x, r.height / 2));
    Move(Inside(id, dx, r.height / 2));
    Release(Qt::LeftButton, Inside(id, dx, r.height / 2));
    WaitForPlot();
  }
  // Every pixel of the surface is the window's face.
  bool Blank(int id) {
    const DrawingSurface* surface = dialog().FindSurface(id);
    const PixelSize size = surface->GetSurfaceSize();
    return CountPixels(id, kFaceColor) == size.width * size.height;
  }
};

TEST_F(ShellParameterMeters, TheCubicFamilyGetsAKMeterThatMovesItsCurve) {
  MainWindow& shell = Start();
  EXPECT_FALSE(dialog().HasControl(kMeterK));
  Enter("x^3-k*x+9");

  ASSERT_TRUE(dialog().HasControl(kMeterK));
  EXPECT_FALSE(dialog().HasControl(kMeterA));
  EXPECT_EQ(Caption(kMeterK), "k =1.0");
  EXPECT_EQ(Value(kMeterK), 55.0f);
  EXPECT_EQ(shell.state().typedFormula, "x^3-k*x+9");
  EXPECT_EQ(shell.state().currentFormula, "x^3- 1*x+9");
  EXPECT_EQ(ReadHistory(), "x^3-k*x+9\r\n");  // the history keeps the letters
  const std::string atOne = SurfacePixels(kPlotAreaId);

  // To the right end: k = 10, and the curve is that of x^3-10*x+9.
  DragTo(kMeterK, dialog().GetControlRect(kMeterK).width - 1);
  EXPECT_EQ(shell.state().formulaParams[*FormulaParameterIndex('k')].value, 10.0f);
  EXPECT_EQ(Caption(kMeterK), "k =10.0");
  EXPECT_EQ(shell.state().currentFormula, "x^3- 10*x+9");
  const std::string atTen = SurfacePixels(kPlotAreaId);
  EXPECT_NE(atTen, atOne);
  EXPECT_EQ(ListLines(kResultsListId).at(0), "x^3- 10*x+9");

  // The right button resets it, the keypad steps it.
  Click(Qt::RightButton, CentreOf(kMeterK));
  WaitForPlot();
  EXPECT_EQ(Caption(kMeterK), "k =1.0");
  EXPECT_EQ(SurfacePixels(kPlotAreaId), atOne);
  Move(CentreOf(kMeterK));
  for (int press = 0; press < 3; ++press) Key(Qt::Key_Plus, Qt::KeypadModifier);
  WaitForPlot();
  EXPECT_EQ(Caption(kMeterK), "k =1.3");
  EXPECT_EQ(shell.state().currentFormula, "x^3- 1.3*x+9");

  // The same letter in the next formula keeps its value; none: the meter goes, k starts again.
  Enter("k*x");
  EXPECT_EQ(Caption(kMeterK), "k =1.3");
  Enter("x^2");
  EXPECT_TRUE(Blank(kMeterK));
  EXPECT_EQ(shell.state().currentFormula, "x^2");
  Enter("k*x");
  EXPECT_EQ(Caption(kMeterK), "k =1.0");
}

TEST_F(ShellParameterMeters, TheMeterPictureEqualsTheWrittenValuesPicture) {
  Start();
  Enter("(a*x^3+b)/x^2");
  ASSERT_TRUE(dialog().HasControl(kMeterA));
  DragTo(kMeterA, 40);
  const std::string moved = SurfacePixels(kPlotAreaId);
  const std::string formula = window().state().currentFormula;
  // The formula with the values written in, drawn afresh (the zoom's reset redraws it all):
  // the same dots.
  Enter(formula);
  Click(Qt::RightButton, CentreOf(kZoomMeterId));
  EXPECT_EQ(window().state().currentFormula, formula);
  EXPECT_TRUE(Blank(kMeterA));
  EXPECT_EQ(SurfacePixels(kPlotAreaId), moved);
}

// The six slots lie in the window and over no control that is always there.
TEST_F(ShellParameterMeters, TheMetersCoverNoOtherControl) {
  Start();
  Enter("a+b+c+k+m+n+x");
  const auto overlaps = [](const PixelRect& p, const PixelRect& q) {
    return p.x < q.x + q.width && q.x < p.x + p.width && p.y < q.y + q.height &&
           q.y < p.y + p.height;
  };
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    const int id = FormulaMeterId(i);
    ASSERT_TRUE(dialog().HasControl(id)) << i;
    const PixelRect slot = dialog().GetControlRect(id);
    EXPECT_GE(slot.x, 0);
    EXPECT_LE(slot.x + slot.width, kClientWidth);
    EXPECT_LE(slot.y + slot.height, kClientHeight);
    for (int other = 0; other <= kLastControlId; ++other) {
      if (FormulaMeterIndexOf(other) || !dialog().HasControl(other)) continue;
      EXPECT_FALSE(overlaps(slot, dialog().GetControlRect(other))) << i << " over " << other;
    }
  }
}

TEST_F(ShellParameterMeters, AFormulaWithoutLettersMakesNoMeter) {
  Start();
  for (const std::string_view formula : {"x^2", "ABS(x)", "2*x+1", "EXP(x)"}) {
    Enter(formula);
    EXPECT_EQ(window().state().currentFormula, formula);
  }
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    EXPECT_FALSE(dialog().HasControl(FormulaMeterId(i))) << i;
  }
}

}  // namespace
}  // namespace funzioni::testing
