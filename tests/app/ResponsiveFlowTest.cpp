// Long redraws through the real window: the window handles its events while the plot is
// computed, and newer input replaces work not yet shown.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "ShellFixture.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/Curves.h"
#include "plot/PlotBoard.h"

namespace funzioni::testing {
namespace {

class ShellResponsive : public ShellFixture {
 protected:
  // Posts an event to the window's thread and reports whether, when it was handled, the plot
  // was still being computed (false for a window that handles nothing while it draws).
  bool HandledWhileComputing() {
    bool handled = false;
    bool computing = false;
    QTimer::singleShot(0, [&] {
      handled = true;
      computing = !window().plotIdle();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return handled; }, 30000));
    return computing;
  }

  // Handles events one pass at a time until the redraw timer has handed a pending redraw over
  // (a longer wait could see that redraw through).
  void UntilRedrawStarted(int redrawsBefore) {
    QDeadlineTimer deadline(5000);
    while (window().plotRedraws() <= redrawsBefore && !deadline.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    EXPECT_GT(window().plotRedraws(), redrawsBefore);
  }
};

TEST_F(ShellResponsive, EventsAreHandledWhileAFarZoomIsDrawnAndTheLastStateWins) {
  MainWindow& shell = Start();
  Move(CentreOf(kZoomMeterId));
  // Every curve and a formula, two million samples each at zoom 5,000. The formula is long
  // enough that its samples take seconds on any machine, so the event below is always handled
  // while they are computed.
  shell.state().curveOn.fill(1);
  std::string formula = "SIN(x)*x^2";
  while (formula.size() < 8000) formula += "+SIN(x)*x^2";
  shell.state().currentFormula = formula;
  shell.state().zoomValue.value = 4999;
  const int redraws = shell.plotRedraws();
  QTest::keyClick(Handle(), Qt::Key_Plus, Qt::KeypadModifier);
  UntilRedrawStarted(redraws);
  EXPECT_TRUE(HandledWhileComputing());

  // Back near the start before zoom 5,000 is complete: that picture is abandoned.
  shell.state().zoomValue.value = 61;
  QTest::keyClick(Handle(), Qt::Key_Minus, Qt::KeypadModifier);
  const std::string shown = SurfacePixels(kPlotAreaId);
  EXPECT_EQ(shell.state().zoomValue.value, 60.0f);
  ExpressionEvaluator evaluator;
  RedrawPlot(dialog(), kPlotAreaId, shell.state(), evaluator);
  EXPECT_EQ(SurfacePixels(kPlotAreaId), shown);
}

TEST_F(ShellResponsive, AHugeHistoryLineKeepsTheWindowAnsweringAndAnotherPickDropsIt) {
  // One megabyte of a formula that is valid, so that every sample costs the whole text.
  std::string huge = "x";
  while (huge.size() < (1 << 20)) huge += "+x";
  WriteHistory(huge + "\r\nx^2\r\n");
  MainWindow& shell = Start();
  // A file this long is listed over a few turns of the event loop.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.history().Loading(); }, 30000));
  const std::string before = SurfacePixels(kPlotAreaId);

  int saveQuestions = 0;
  shell.exportPrompts().askSaveFileName = [&](const SaveFileRequest&) {
    ++saveQuestions;
    return std::optional<std::string>();
  };
  dialog().ListSelect(kHistoryListId, 1);
  EXPECT_TRUE(shell.history().PickLine(kNotifyListDoubleClick));
  EXPECT_TRUE(HandledWhileComputing());
  // Saving the picture waits for it, without holding the window.
  QTest::keyClick(Handle(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(HandledWhileComputing());
  EXPECT_EQ(saveQuestions, 0);
  QWidget* area = dialog().ControlWidget(kPlotAreaId);
  EXPECT_TRUE(QTest::qWaitFor([&] { return area->cursor().shape() == Qt::BusyCursor; }, 5000));
  dialog().ListSelect(kHistoryListId, 2);
  EXPECT_TRUE(shell.history().PickLine(kNotifyListDoubleClick));
  WaitForPlot();
  EXPECT_EQ(area->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(saveQuestions, 1);

  // Only the second pick shows: its table, and its curve over the picture of before.
  const std::vector<std::string> results = ListLines(kResultsListId);
  ASSERT_GT(results.size(), 2u);
  EXPECT_EQ(results[0], "x^2");
  const std::string shown = SurfacePixels(kPlotAreaId);
  ExpressionEvaluator evaluator;
  PlotState start = shell.state();
  start.currentFormula.clear();
  RedrawPlot(dialog(), kPlotAreaId, start, evaluator);
  ASSERT_EQ(SurfacePixels(kPlotAreaId), before);
  PlotFormulaCurve(dialog(), kPlotAreaId, shell.state(), evaluator, "x^2");
  EXPECT_EQ(SurfacePixels(kPlotAreaId), shown);
}

TEST_F(ShellResponsive, ALongHistoryIsListedWhileTheWindowWorksAndEnterStillAppends) {
  // Two megabytes of history: more than is listed at once.
  std::string bytes;
  std::vector<std::string> lines;
  for (int i = 0; bytes.size() < 2 * kHistoryInlineBytes; ++i) {
    lines.push_back("SIN(x)*" + std::to_string(i) + " ' riga " + std::to_string(i));
    bytes += lines.back() + "\r\n";
  }
  WriteHistory(bytes);
  MainWindow& shell = Start();
  // Entered at once, whether the list is complete yet or not.
  QTest::keyClicks(dialog().ControlWidget(kFormulaBoxId), "x^3");
  QTest::keyClick(Handle(), Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !shell.history().Loading(); }, 30000));
  lines.push_back("x^3");
  EXPECT_EQ(ListLines(kHistoryListId), lines);
  EXPECT_EQ(dialog().ListGetSelected(kHistoryListId), "x^3");
  EXPECT_EQ(ReadHistory(), bytes + "x^3\r\n");
}

}  // namespace
}  // namespace funzioni::testing
