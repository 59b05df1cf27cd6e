// The view's gestures through the real window: the wheel zooms around the point under the pointer
// (the coordinates line reads the same before and after), the middle button drags the picture
// with it, and the zoom meter's right click puts the start picture back pixel for pixel.

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "ShellFixture.h"
#include "app/StudyJob.h"
#include "app/StudyJobCodec.h"
#include "app/StudyPanel.h"
#include "drawing/PrintServices.h"
#include "plot/StudyMarks.h"

namespace funzioni::testing {
namespace {

class ShellView : public ShellFixture {
 protected:
  // One notch (or several) of the wheel over a point of the client area.
  void Wheel(QPoint point, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent wheel(QPointF(point), QPointF(Handle()->mapToGlobal(point)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Handle(), &wheel);
    Settle(0);
  }
  std::string Readout() { return window().dialog().GetControlText(kCoordinatesLineId); }
  // The drag of MiddleDragMovesThePicture: the view becomes -12..8 by -9..11.
  void DragToTheSameView() {
    Press(Qt::MiddleButton, Inside(kPlotAreaId, 300, 300));
    Move(Inside(kPlotAreaId, 330, 315));
    Move(Inside(kPlotAreaId, 360, 330));
    Release(Qt::MiddleButton, Inside(kPlotAreaId, 360, 330));
  }
};

TEST_F(ShellView, WheelKeepsThePointUnderThePointerAndTheZoomResetRestoresTheStart) {
  MainWindow& shell = Start();
  const std::string start = SurfacePixels(kPlotAreaId);
  const QPoint point = Inside(kPlotAreaId, 420, 180);
  Move(point);
  const std::string before = Readout();
  Wheel(point, 1);
  ASSERT_TRUE(shell.state().view);
  EXPECT_NEAR(shell.state().view->HalfX(), 10 / 1.25, 1e-9);
  EXPECT_NEAR(shell.state().view->HalfY(), 10 / 1.25, 1e-9);
  EXPECT_EQ(Readout(), before);
  Move(point);
  EXPECT_EQ(Readout(), before);
  EXPECT_NE(SurfacePixels(kPlotAreaId), start);
  // Shift: only x; Ctrl: only y.
  Wheel(point, -2, Qt::ShiftModifier);
  EXPECT_NEAR(shell.state().view->HalfX(), 10 * 1.25, 1e-9);
  EXPECT_NEAR(shell.state().view->HalfY(), 10 / 1.25, 1e-9);
  Wheel(point, 1, Qt::ControlModifier);
  EXPECT_NEAR(shell.state().view->HalfY(), 10 / 1.25 / 1.25, 1e-9);
  Move(point);
  EXPECT_EQ(Readout(), before);

  // The plotting area's menu puts the start view back, as does the zoom meter's right click.
  ChooseInNextMenu("Vista iniziale");
  Click(Qt::RightButton, point);
  EXPECT_FALSE(shell.state().view);
  EXPECT_EQ(SurfacePixels(kPlotAreaId), start);
  Wheel(point, -3);
  ASSERT_TRUE(shell.state().view);
  Click(Qt::RightButton, CentreOf(kZoomMeterId));
  EXPECT_FALSE(shell.state().view);
  EXPECT_EQ(shell.state().zoomValue.value, 50.0f);
  EXPECT_EQ(SurfacePixels(kPlotAreaId), start);
}

// "Adatta y" over SIN(x) in degrees zoomed out to +-1800: y from the central values, close to
// -1..1 with the margin, x untouched.
TEST_F(ShellView, FitYTakesTheCurvesValues) {
  MainWindow& shell = Start();
  shell.state().curveOn.fill(0);
  shell.state().currentFormula = "SIN(x)";
  const QPoint centre = CentreOf(kPlotAreaId);
  Wheel(centre, -1);
  ASSERT_TRUE(shell.state().view);
  shell.state().view = PlotView{-1800, 1800, -10, 10};
  ChooseInNextMenu("Adatta y");
  Click(Qt::RightButton, centre);
  ASSERT_TRUE(shell.state().view);
  EXPECT_EQ(shell.state().view->xMin, -1800);
  EXPECT_NEAR(shell.state().view->yMax, 1.1, 0.05);
  EXPECT_NEAR(shell.state().view->yMin, -1.1, 0.05);
}

// Dragging 60 pixels right and 30 down with the middle button shows what lay 2 units left and 1
// below: the parabola's vertex (0, 1), at column 300 and row 270, moves to column 360, row 300.
TEST_F(ShellView, MiddleDragMovesThePicture) {
  MainWindow& shell = Start();
  Press(Qt::MiddleButton, Inside(kPlotAreaId, 300, 300));
  Move(Inside(kPlotAreaId, 330, 315));
  Move(Inside(kPlotAreaId, 360, 330));
  Release(Qt::MiddleButton, Inside(kPlotAreaId, 360, 330));
  ASSERT_TRUE(shell.state().view);
  EXPECT_NEAR(shell.state().view->xMin, -12, 1e-3);
  EXPECT_NEAR(shell.state().view->xMax, 8, 1e-3);
  EXPECT_NEAR(shell.state().view->yMin, -9, 1e-3);
  EXPECT_NEAR(shell.state().view->yMax, 11, 1e-3);
  WaitForPlot();
  int grey = 0;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      grey += dialog().FindSurface(kPlotAreaId)->PixelAt(360 + dx, 300 + dy) == kGreyDot ? 1 : 0;
    }
  }
  EXPECT_GT(grey, 0);
  // The zoom meter says which view is shown.
  EXPECT_EQ(Caption(kZoomMeterId), "x -12..8  y -9..11");
}

// The page's ways to the same views: a Shift+left drag pans as the middle drag does, two fingers
// spread to 1.25 times their distance zoom as one notch of the wheel there, and Ctrl+Home on the
// focused plotting area puts the start view back.
TEST_F(ShellView, PageGesturesReachTheDesktopsViews) {
  MainWindow& shell = Start();
  const std::string start = SurfacePixels(kPlotAreaId);
  const QPoint from = Inside(kPlotAreaId, 300, 300);
  const QPoint to = Inside(kPlotAreaId, 360, 330);
  QTest::mousePress(Handle(), Qt::LeftButton, Qt::ShiftModifier, from);
  QTest::mouseEvent(QTest::MouseMove, Handle(), Qt::NoButton, Qt::ShiftModifier,
                    Inside(kPlotAreaId, 330, 315));
  QTest::mouseEvent(QTest::MouseMove, Handle(), Qt::NoButton, Qt::ShiftModifier, to);
  QTest::mouseRelease(Handle(), Qt::LeftButton, Qt::ShiftModifier, to);
  Settle(0);
  ASSERT_TRUE(shell.state().view);
  const PlotView shiftDragged = *shell.state().view;
  shell.state().view.reset();
  DragToTheSameView();
  EXPECT_EQ(*shell.state().view, shiftDragged);

  Wheel(to, 1);
  const PlotView notch = *shell.state().view;
  shell.state().view = shiftDragged;
  Move(to);
  shell.MainDialogProc({EventKind::Wheel, kPlotAreaId, kHeldPinch, 1.25});
  EXPECT_EQ(*shell.state().view, notch);

  dialog().SetControlFocus(kPlotAreaId);
  Key(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_NEAR(shell.state().view->xMin, notch.xMin - (notch.xMax - notch.xMin) / 10, 1e-9);
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_FALSE(shell.state().view);
  WaitForPlot();
  EXPECT_EQ(SurfacePixels(kPlotAreaId), start);
}

// The printed page and the screen reader's summary of the plotting area name the moved view's
// ranges in place of the zoom; the start view brings the zoom's own words back unchanged.
TEST_F(ShellView, PrintAndSummaryNameTheMovedView) {
  MainWindow& shell = Start();
  std::vector<std::string> printed;
  window().exportPrompts().print = [&printed](const PrintPage& page) {
    printed.clear();
    for (const PrintLine& line : page.lines) printed.push_back(line.text);
    return PrintResult::Printed;
  };
  const auto summary = [this] {
    return QAccessible::queryAccessibleInterface(dialog().ControlWidget(kPlotAreaId))
        ->text(QAccessible::Description)
        .toStdString();
  };
  const std::string startSummary = summary();
  Key(Qt::Key_P, Qt::ControlModifier);
  const std::vector<std::string> startPage = printed;
  ASSERT_FALSE(startPage.empty());
  EXPECT_EQ(startPage.back(), "zoom 10.0 (x e y da -10.0 a 10.0)      passo 50");

  DragToTheSameView();
  ASSERT_TRUE(shell.state().view);
  WaitForPlot();
  Key(Qt::Key_P, Qt::ControlModifier);
  ASSERT_EQ(printed.size(), startPage.size());
  EXPECT_EQ(printed.back(), "vista x da -12 a 8, y da -9 a 11      passo 50");
  EXPECT_EQ(summary().rfind("Vista x da -12 a 8, y da -9 a 11, passo 50. Curve: a.x^2+b", 0), 0u)
      << summary();

  Click(Qt::RightButton, CentreOf(kZoomMeterId));
  ASSERT_FALSE(shell.state().view);
  Key(Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(printed, startPage);
  EXPECT_EQ(summary(), startSummary);
}

// The study's marks follow the moved view: x^2 - 1 over -12..8 by -9..11 has its zeros at columns
// 600 x 11 / 20 = 330 and 390 on row 600 - 600 x 9 / 20 = 330, its minimum (0, -1) at column 360,
// row 360. The seed view's place for the zero at 1, (330, 300), stays clear.
TEST_F(ShellView, StudyMarksFollowTheMovedView) {
  MainWindow& shell = Start();
  shell.state().curveOn.fill(0);
  dialog().SetControlFocus(kFormulaBoxId);
  Type("x^2-1");
  Key(Qt::Key_Return);
  // Until the last request's outcome is shown and the picture drawn with its marks.
  const auto waitForStudy = [&] {
    WaitForPlot();
    EXPECT_TRUE(Until([&] { return window().study().Answered(); }));
    WaitForPlot();
  };
  dialog().SendCommand(kCommandStudy);
  waitForStudy();
  ASSERT_TRUE(window().study().IsOpen());
  DragToTheSameView();
  ASSERT_TRUE(shell.state().view);
  waitForStudy();
  const DrawingSurface& plot = *dialog().FindSurface(kPlotAreaId);
  for (const auto& [column, row] :
       {std::pair{330, 330}, std::pair{390, 330}, std::pair{360, 360}}) {
    for (const int d : {-4, 0, 4}) {
      EXPECT_EQ(plot.PixelAt(column + d, row + d), kStudyMarkColor) << column << ',' << row;
      EXPECT_EQ(plot.PixelAt(column + d, row - d), kStudyMarkColor) << column << ',' << row;
    }
  }
  EXPECT_NE(plot.PixelAt(330, 300), kStudyMarkColor);
  // The heading names the view's x range (with the typographic minus).
  EXPECT_NE(window().study().Heading().find("per x da \xE2\x88\x92"
                                            "12 a 8,"),
            std::string::npos)
      << window().study().Heading();
}

// The study job works over the moved view and hands it back with the outcome, also across the
// page's codec, so that the marks are drawn with that view's mapping; a view the sampling could
// not walk is refused.
TEST(ViewStudyJob, TheOutcomeCarriesTheMovedView) {
  StudyRequest request;
  request.state.currentFormula = "x^2-1";
  request.state.view = PlotView{-12, 8, -9, 11};
  const std::optional<StudyOutcome> outcome = ComputeStudy(request);
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->view, request.state.view);
  EXPECT_EQ(outcome->xMin, -12);
  EXPECT_EQ(outcome->xMax, 8);
  const std::optional<StudyOutcome> back = DecodeStudyOutcome(EncodeStudyOutcome(*outcome));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->view, request.state.view);
  EXPECT_EQ(back->lines.size(), outcome->lines.size());
  StudyOutcome seed = *outcome;
  seed.view.reset();
  EXPECT_FALSE(DecodeStudyOutcome(EncodeStudyOutcome(seed))->view);
  seed.view = PlotView{1, 1, 0, 1};
  EXPECT_FALSE(DecodeStudyOutcome(EncodeStudyOutcome(seed)));
  const StudyOutcome failed = FailedStudy(request, kStudyFailedLine);
  EXPECT_EQ(failed.view, request.state.view);
  EXPECT_EQ(failed.xMin, -12);
}

}  // namespace
}  // namespace funzioni::testing
