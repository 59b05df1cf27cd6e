// The view's gestures through the real window: the wheel zooms around the point under the pointer
// (the coordinates line reads the same before and after), the middle button drags the picture
// with it, and the zoom meter's right click puts the start picture back pixel for pixel.

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "ShellFixture.h"

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
  // The next popup menu gets this item chosen with the keyboard once it shows.
  void ChooseInNextMenu(std::string text) {
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, text] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      poll->deleteLater();
      poll->stop();
      for (QAction* action : menu->actions()) {
        if (action->text().toStdString() == text) menu->setActiveAction(action);
      }
      QTest::keyClick(menu, menu->activeAction() != nullptr ? Qt::Key_Return : Qt::Key_Escape);
    });
    poll->start(5);
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

}  // namespace
}  // namespace funzioni::testing
