// The typed formula's parameter meters through the real window: a meter appears for each letter
// the formula uses, moves the curve, the table and the readout as the built-in parameters' meters
// move theirs, and goes when the formula stops using its letter.

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <set>

#include "ShellFixture.h"
#include "app/AccessibleControls.h"
#include "app/FormulaParameterValues.h"
#include "app/ParameterFamily.h"
#include "app/ParameterMeters.h"
#include "app/ParameterPlayer.h"
#include "plot/FamilyCurves.h"
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
  // F3 over the meter, and this entry of its menu chosen with the keyboard.
  void ChooseFromMenu(int id, std::string text) {
    ChooseInNextMenu(std::move(text));
    Move(CentreOf(id));
    Key(Qt::Key_F3);
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

// The meter's menu narrows the range and widens the step; a forward play then runs from the
// bottom to the top, one drawn picture per step, while the window keeps answering.
TEST_F(ShellParameterMeters, TheMenuSetsTheEndsAndAPlayCrossesThem) {
  MainWindow& shell = Start();
  Enter("x^3-k*x+9");
  const ParamRecord& k = shell.state().formulaParams[*FormulaParameterIndex('k')];
  ChooseFromMenu(kMeterK, "Estremi -1 .. 1");
  EXPECT_EQ(k.minimum, -1.0f);
  EXPECT_EQ(k.maximum, 1.0f);
  EXPECT_EQ(Value(kMeterK), 100.0f);  // 1 is now the top
  ChooseFromMenu(kMeterK, "Passo 0.5");
  EXPECT_EQ(k.step, 0.5f);
  ChooseFromMenu(kMeterK, "Velocità veloce");

  // At the top, a forward play starts again from the bottom: -1, -0.5, 0, 0.5, 1, each value
  // drawn once (a busy test machine may take two steps between two looks, so only what is seen
  // must lie on those points).
  const std::set<float> points = {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f};
  std::set<float> values;
  std::set<std::string> pictures;
  const int redrawsBefore = shell.plotRedraws();
  ChooseFromMenu(kMeterK, "Anima k: avanti");
  ASSERT_EQ(shell.parameterPlayer().Playing(), FormulaParameterIndex('k'));
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        values.insert(k.value);
        pictures.insert(SurfacePixels(kPlotAreaId));
        return !shell.parameterPlayer().Playing();
      },
      10000));
  for (const float value : values) EXPECT_EQ(points.count(value), 1u) << value;
  EXPECT_GE(shell.plotRedraws() - redrawsBefore, 5);
  EXPECT_GE(pictures.size(), 2u);
  EXPECT_EQ(Caption(kMeterK), "k =1.0");
  EXPECT_EQ(shell.state().currentFormula, "x^3- 1*x+9");
  EXPECT_EQ(ListLines(kResultsListId).at(0), "x^3- 1*x+9");

  // The range persists with the letter, and a loop stops on the keypad over the meter.
  Enter("k*x");
  EXPECT_EQ(k.minimum, -1.0f);
  ChooseFromMenu(kMeterK, "Anima k: ciclo");
  EXPECT_TRUE(shell.parameterPlayer().Playing());
  Key(Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_FALSE(shell.parameterPlayer().Playing());
  const float stopped = k.value;
  QTest::qWait(300);
  EXPECT_EQ(k.value, stopped);
  // A formula without k forgets its range.
  Enter("x^2");
  Enter("k*x");
  EXPECT_EQ(k.minimum, -10.0f);
}

// Every way of moving the played meter stops the play where the input left the value; moving
// another meter, or pointing at the played one, leaves it playing.
TEST_F(ShellParameterMeters, AnyOtherInputToThePlayedMeterStopsThePlay) {
  MainWindow& shell = Start();
  Enter("a*x^2+k");
  const int zoomMeter = kZoomMeterId;
  struct Case {
    const char* name;
    DialogEvent input;
    bool stops;
    bool hoverFirst;  // the keypad acts on the meter last under the pointer
  };
  const std::vector<Case> cases = {
      {"keypad plus", {EventKind::Command, kCommandKeypadPlus, 0, 0}, true, true},
      {"arrow key", {EventKind::Key, kMeterK, static_cast<int>(ControlKey::Left), 0}, true, false},
      {"home key", {EventKind::Key, kMeterK, static_cast<int>(ControlKey::Home), 0}, true, false},
      {"screen reader value",
       {EventKind::Access, kMeterK, static_cast<int>(AccessRequest::SetValue), 2.5},
       true,
       false},
      {"screen reader step",
       {EventKind::Access, kMeterK, static_cast<int>(AccessRequest::Increase), 0},
       true,
       false},
      {"pointing without a button", {EventKind::PointerShape, kMeterK, 0, 0}, false, false},
      {"another parameter's meter",
       {EventKind::Key, kMeterA, static_cast<int>(ControlKey::Right), 0},
       false,
       false},
      {"the zoom meter",
       {EventKind::Key, zoomMeter, static_cast<int>(ControlKey::Right), 0},
       false,
       false},
  };
  ParameterChoice loop;
  loop.kind = ParameterChoice::Kind::Play;
  loop.mode = PlayMode::Loop;
  for (const Case& c : cases) {
    shell.parameterPlayer().Choose(kMeterK, loop);
    WaitForPlot();
    if (c.hoverFirst) Move(CentreOf(kMeterK));
    ASSERT_TRUE(shell.parameterPlayer().Playing()) << c.name;
    shell.MainDialogProc(c.input);
    EXPECT_EQ(shell.parameterPlayer().Playing().has_value(), !c.stops) << c.name;
    WaitForPlot();
  }
  // The right button over the meter resets it, and that is input too.
  shell.parameterPlayer().Choose(kMeterK, loop);
  Click(Qt::RightButton, CentreOf(kMeterK));
  EXPECT_FALSE(shell.parameterPlayer().Playing());
  EXPECT_EQ(Caption(kMeterK), "k =1.0");
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

// The family switch of the k meter's menu draws five shades, says so in the plotting area's
// description, leaves the table at the current value, and goes with the letter.
TEST_F(ShellParameterMeters, TheMenusFamilyDrawsItsShadesAndGoesWithTheLetter) {
  MainWindow& shell = Start();
  Enter("x^3-k*x+9");
  // The entry that switches the family off draws the picture whole, as every family entry does.
  ChooseFromMenu(kMeterK, "Famiglia spenta");
  const std::string without = SurfacePixels(kPlotAreaId);
  ChooseFromMenu(kMeterK, "Famiglia di k: 5 curve");
  ASSERT_EQ(shell.state().family.curves, 5);
  for (int i = 0; i < 5; ++i) EXPECT_GT(CountPixels(kPlotAreaId, FamilyCurveColor(i, 5)), 100) << i;
  EXPECT_NE(PlotSummary(shell.state()).find("Famiglia di k: 5 curve da -10 a 10."),
            std::string::npos);
  EXPECT_EQ(ListLines(kResultsListId).at(0), "x^3- 1*x+9");
  // The menu marks the family drawn; another count replaces it.
  const std::vector<FamilyMenuEntry> entries =
      FamilyMenuEntries(shell.state(), *FormulaParameterIndex('k'));
  EXPECT_EQ(entries.at(1).text, "\xE2\x9C\x93 Famiglia di k: 5 curve");
  ChooseFromMenu(kMeterK, "Famiglia di k: 3 curve");
  EXPECT_EQ(shell.state().family.curves, 3);
  EXPECT_EQ(CountPixels(kPlotAreaId, FamilyCurveColor(1, 5)), 0);  // a shade of five only

  // Off: every pixel as before the family.
  ChooseFromMenu(kMeterK, "Famiglia spenta");
  EXPECT_EQ(SurfacePixels(kPlotAreaId), without);
  EXPECT_EQ(PlotSummary(shell.state()).find("Famiglia"), std::string::npos);

  // A formula without k takes the family off the picture; k coming back does not bring it back.
  const auto shades = [&] {
    int count = 0;
    for (int i = 0; i < 9; ++i) count += CountPixels(kPlotAreaId, FamilyCurveColor(i, 9));
    return count;
  };
  ChooseFromMenu(kMeterK, "Famiglia di k: 9 curve");
  EXPECT_GT(shades(), 500);
  Enter("x^2");
  EXPECT_EQ(shell.state().family.curves, 0);
  EXPECT_EQ(shades(), 0);
  Enter("x^3-k*x+9");
  EXPECT_EQ(shell.state().family.curves, 0);
  EXPECT_EQ(shades(), 0);
}

}  // namespace
}  // namespace funzioni::testing
