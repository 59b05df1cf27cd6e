// Meters, switches, buttons, the pointer readout and the zoom window, through the real window.

#include <QTest>
#include <QWidget>

#include "ShellFixture.h"
#include "controls/Panels.h"
#include "plot/PlotBoard.h"
#include "plot/ZoomWindow.h"

namespace funzioni::testing {
namespace {

class ShellMeters : public ShellFixture {
 protected:
  // Drags with the left button from the meter's left edge to its right edge, or the reverse.
  void DragAcross(int id, bool rightwards) {
    const PixelRect r = dialog().GetControlRect(id);
    const int from = rightwards ? 0 : r.width - 1;
    const int to = rightwards ? r.width - 1 : 0;
    Press(Qt::LeftButton, Inside(id, from, r.height / 2));
    const int step = rightwards ? 7 : -7;
    for (int x = from; rightwards ? x < to : x > to; x += step) Move(Inside(id, x, r.height / 2));
    Move(Inside(id, to, r.height / 2));
    Release(Qt::LeftButton, Inside(id, to, r.height / 2));
  }
  void PressAt(int id, int dx) {
    const PixelRect r = dialog().GetControlRect(id);
    Press(Qt::LeftButton, Inside(id, dx, r.height / 2));
    Release(Qt::LeftButton, Inside(id, dx, r.height / 2));
  }
};

TEST_F(ShellMeters, ParameterDragResetAndKeypad) {
  MainWindow& shell = Start();
  const std::string before = SurfacePixels(kPlotAreaId);

  DragAcross(1003, true);
  EXPECT_EQ(shell.state().paramA[3].value, 10.0f);
  EXPECT_EQ(Value(1003), 100.0f);
  EXPECT_EQ(Caption(1003), "a =10.0");
  EXPECT_NE(SurfacePixels(kPlotAreaId), before);  // the parabola was redrawn steeper

  // A right click resets during the hover event; no results table opens.
  Click(Qt::RightButton, CentreOf(1003));
  EXPECT_EQ(shell.state().paramA[3].value, 1.0f);
  EXPECT_EQ(Value(1003), 55.0f);
  EXPECT_EQ(Caption(1003), "a =1.0");
  EXPECT_EQ(dialog().ListCount(kResultsListId), 0);
  EXPECT_EQ(SurfacePixels(kPlotAreaId), before);

  // The keypad steps the meter under the pointer, the b meter of function 2.
  Move(CentreOf(1102));
  for (int press = 0; press < 5; ++press) Key(Qt::Key_Plus, Qt::KeypadModifier);
  Key(Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_NEAR(shell.state().paramB[2].value, 1.4f, 1e-5f);
  EXPECT_EQ(Caption(1102), "b =1.4");
  // Each function has its own parameters.
  EXPECT_EQ(shell.state().paramB[3].value, 1.0f);
  EXPECT_EQ(shell.state().paramB[7].value, 1.0f);
}

TEST_F(ShellMeters, ZoomDragResetAndKeypad) {
  MainWindow& shell = Start();
  PressAt(kZoomMeterId, 0);  // the left end: clamped to 1
  EXPECT_EQ(shell.state().zoomValue.value, 1.0f);
  EXPECT_EQ(Caption(kZoomMeterId), "zoom 0.0");

  DragAcross(kZoomMeterId, true);
  EXPECT_EQ(shell.state().zoomValue.value, 100.0f);
  EXPECT_EQ(Caption(kZoomMeterId), "zoom 20.0");
  Key(Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(Caption(kZoomMeterId), "zoom 20.2");

  Click(Qt::RightButton, CentreOf(kZoomMeterId));
  EXPECT_EQ(shell.state().zoomValue.value, 50.0f);
  EXPECT_EQ(Value(kZoomMeterId), 50.0f);
  EXPECT_EQ(Caption(kZoomMeterId), "zoom 10.0");

  // The pointer at 182 of 364 pixels is exactly 50 %: the needle falls short of the middle.
  PressAt(kZoomMeterId, 181);
  EXPECT_EQ(shell.state().zoomValue.value, 50.0f);
  EXPECT_NEAR(Value(kZoomMeterId), 49.49f, 0.01f);
  EXPECT_EQ(Caption(kZoomMeterId), "zoom 9.9");
}

// Presses queued faster than the plot is drawn end in one redraw, of the last zoom, with the
// picture the plain redraw gives for that state.
TEST_F(ShellMeters, KeypadBurstEndsInOneRedrawOfTheLastState) {
  MainWindow& shell = Start();
  Move(CentreOf(kZoomMeterId));
  const std::string start = SurfacePixels(kPlotAreaId);
  const int redraws = shell.plotRedraws();
  // Delivered one after another with no event handled in between (QTest::keyClick would handle
  // the queued events after each key, the redraw timer among them on a slow machine).
  for (int press = 0; press < 50; ++press) {
    qt_handleKeyEvent(Handle(), QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, "+");
    qt_handleKeyEvent(Handle(), QEvent::KeyRelease, Qt::Key_Plus, Qt::KeypadModifier, "+");
  }
  const std::string burst = SurfacePixels(kPlotAreaId);
  EXPECT_EQ(shell.plotRedraws(), redraws + 1);
  EXPECT_NE(burst, start);
  ExpressionEvaluator evaluator;
  RedrawPlot(dialog(), kPlotAreaId, shell.state(), evaluator);
  EXPECT_EQ(SurfacePixels(kPlotAreaId), burst);
}

TEST_F(ShellMeters, StepDragResetAndKeypad) {
  MainWindow& shell = Start();
  PressAt(kStepMeterId, 0);
  EXPECT_LT(shell.state().stepValue.value, 1.0f);
  EXPECT_GT(shell.state().stepValue.value, 0.0f);
  Key(Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(Caption(kStepMeterId), "passo 1");
  Click(Qt::RightButton, CentreOf(kStepMeterId));
  EXPECT_EQ(shell.state().stepValue.value, 50.0f);
  EXPECT_EQ(Caption(kStepMeterId), "passo 50");
}

TEST_F(ShellMeters, KeypadActsOnlyOnTheMeterLastUnderThePointer) {
  MainWindow& shell = Start();
  Key(Qt::Key_Plus, Qt::KeypadModifier);  // nothing has been under the pointer yet
  for (const int id : {kPlotAreaId, 1504, kHistoryListId, kFormulaBoxId}) {
    Move(CentreOf(id));
    Key(Qt::Key_Plus, Qt::KeypadModifier);
    Key(Qt::Key_Minus, Qt::KeypadModifier);
  }
  EXPECT_EQ(shell.state().zoomValue.value, 50.0f);
  EXPECT_EQ(shell.state().stepValue.value, 50.0f);
  EXPECT_EQ(Caption(kZoomMeterId), "zoom");
  EXPECT_EQ(shell.state().curveOn[4], 0);

  // The last control under the pointer keeps the keys when the pointer leaves it for the face.
  Move(CentreOf(kStepMeterId));
  Move(QPoint(10, 670));
  Key(Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(shell.state().stepValue.value, 50.0f);
  EXPECT_EQ(shell.hoverId(), 0);
}

class ShellSwitches : public ShellFixture {};

TEST_F(ShellSwitches, ClickTogglesACurve) {
  MainWindow& shell = Start();
  Click(Qt::LeftButton, CentreOf(1503));
  EXPECT_EQ(shell.state().curveOn[3], 0);
  EXPECT_EQ(Value(1503), 100.0f);
  EXPECT_EQ(CountPixels(kPlotAreaId, kGreyDot), 0);
  Click(Qt::LeftButton, CentreOf(1503));
  EXPECT_EQ(shell.state().curveOn[3], 1);
  EXPECT_EQ(Value(1503), 0.0f);
  EXPECT_GT(CountPixels(kPlotAreaId, kGreyDot), 100);
  Click(Qt::LeftButton, CentreOf(1501));
  EXPECT_EQ(shell.state().curveOn[1], 1);
  EXPECT_GT(CountPixels(kPlotAreaId, kYellowDot), 100);  // a.x is drawn in yellow
}

TEST_F(ShellSwitches, AllOnAndAllOff) {
  MainWindow& shell = Start();
  Type("x^2");
  Key(Qt::Key_Return);
  ASSERT_EQ(shell.state().currentFormula, "x^2");

  Click(Qt::LeftButton, CentreOf(kAllOnButtonId));
  for (int k = 1; k <= functionCount; ++k) {
    EXPECT_EQ(shell.state().curveOn[k], 1) << k;
    EXPECT_EQ(Value(kSwitchBaseId + k), 0.0f) << k;
  }
  EXPECT_EQ(Value(kAllOnButtonId), 0.0f);  // the flash is over

  Click(Qt::LeftButton, CentreOf(kAllOffButtonId));
  for (int k = 1; k <= functionCount; ++k) {
    EXPECT_EQ(shell.state().curveOn[k], 0) << k;
    EXPECT_EQ(Value(kSwitchBaseId + k), 100.0f) << k;
  }
  EXPECT_EQ(shell.state().currentFormula, "");
  EXPECT_EQ(CountPixels(kPlotAreaId, kYellowDot), 0);
  EXPECT_EQ(CountPixels(kPlotAreaId, kGreyDot), 0);

  // All on again does not bring the formula back.
  Click(Qt::LeftButton, CentreOf(kAllOnButtonId));
  EXPECT_EQ(shell.state().currentFormula, "");
}

TEST_F(ShellSwitches, RightClickOpensTheFunctionsTable) {
  MainWindow& shell = Start();
  Click(Qt::RightButton, CentreOf(1510));
  const std::vector<std::string> lines = ListLines(kResultsListId);
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[0], shell.state().builtinFunctions[10].text);
  EXPECT_EQ(lines[1], " ");
  EXPECT_EQ(shell.state().curveOn[10], 0);  // the switch itself is not toggled
}

class ShellPlotArea : public ShellFixture {
 protected:
  // The coordinates line as it looks with this text on it, drawn on a panel of its own.
  std::string ExpectedCoordinatesLine(std::string_view text) {
    Dialog scratch("scratch", 0, 0, 974, 720, false);
    ControlTable table;
    CreatePanel(scratch, table, kCoordinatesLineId, {4, 605, 599, 16},
                {.frameWidth = 1,
                 .frameColor = "oro",
                 .scale = 14,
                 .textColor = 0x00FFFFFF,
                 .faceColor = "verde",
                 .faceMode = 3});
    SetPanelText(scratch, table, kCoordinatesLineId, text);
    return scratch.FindSurface(kCoordinatesLineId)->GetSurfacePixels();
  }
};

TEST_F(ShellPlotArea, ReadoutAndZoomWindow) {
  MainWindow& shell = Start();
  const QPoint centre = CentreOf(kPlotAreaId);
  Move(centre);
  const std::string readout =
      PointerReadoutText(PointerPercentX(dialog(), kPlotAreaId),
                         PointerPercentY(dialog(), kPlotAreaId), shell.state().zoomValue.value);
  EXPECT_EQ(SurfacePixels(kCoordinatesLineId), ExpectedCoordinatesLine(readout));
  EXPECT_EQ(CountPixels(kZoomWindowId, kFaceColor), 240 * 240);  // no button: no zoom

  Move(Inside(kPlotAreaId, 599, 1));  // the top-right corner
  EXPECT_EQ(SurfacePixels(kCoordinatesLineId), ExpectedCoordinatesLine("x=10.00 y=10.00"));

  // Leaving the area keeps the line.
  Move(QPoint(10, 670));
  EXPECT_EQ(SurfacePixels(kCoordinatesLineId), ExpectedCoordinatesLine("x=10.00 y=10.00"));

  // The left button shows the neighbourhood of the pointer, refreshed while moving.
  Press(Qt::LeftButton, centre);
  EXPECT_LT(CountPixels(kZoomWindowId, kFaceColor), 240 * 240 / 2);
  const std::string atCentre = SurfacePixels(kZoomWindowId);
  Move(centre + QPoint(40, -60));
  EXPECT_NE(SurfacePixels(kZoomWindowId), atCentre);
  Release(Qt::LeftButton, centre + QPoint(40, -60));
  const std::string kept = SurfacePixels(kZoomWindowId);
  Move(centre);
  EXPECT_EQ(SurfacePixels(kZoomWindowId), kept);

  // The right button blanks it.
  Click(Qt::RightButton, centre);
  EXPECT_EQ(CountPixels(kZoomWindowId, kFaceColor), 240 * 240);
}

}  // namespace
}  // namespace funzioni::testing
