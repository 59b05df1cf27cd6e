// Keeping formulas of the history list drawn beside the typed one, through the real window: the
// line's menu (Shift with the right button), the curve in its own colour, the limit of five.

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "ShellFixture.h"
#include "app/HistoryActions.h"
#include "plot/KeptCurves.h"
#include "state/KeptFormulas.h"

namespace funzioni::testing {
namespace {

class ShellKeptFormulas : public ShellFixture {
 protected:
  // Shift with the right button over the list: the selected line's menu.
  void ShiftRightClickList(std::string item) {
    ChooseInNextMenu(std::move(item));
    const QPoint at = CentreOf(kHistoryListId);
    QTest::mousePress(Handle(), Qt::RightButton, Qt::ShiftModifier, at);
    Settle(0);
    QTest::mouseRelease(Handle(), Qt::RightButton, Qt::ShiftModifier, at);
    Settle();
  }
};

TEST_F(ShellKeptFormulas, TheLinesMenuKeepsAndDropsItsFormula) {
  WriteHistory("x+2\r\nx^2\r\n");
  MainWindow& shell = Start();
  dialog().ListSelect(kHistoryListId, 1);
  Settle();

  struct Step {
    const char* name;
    const char* item;
    std::vector<std::string> kept;
    bool drawn;  // the first kept colour on the plot
  };
  const Step steps[] = {
      {"keep the selected line", "Tieni nel grafico", {"x+2"}, true},
      {"its menu now takes it off", "Togli dal grafico", {}, false},
      {"kept again", "Tieni nel grafico", {"x+2"}, true},
      {"all taken off", "Togli tutte dal grafico", {}, false},
  };
  for (const Step& s : steps) {
    ShiftRightClickList(s.item);
    EXPECT_EQ(shell.state().keptFormulas, s.kept) << s.name;
    EXPECT_EQ(CountPixels(kPlotAreaId, KeptCurveColor(0)) > 100, s.drawn) << s.name;
  }
  // No editor ran for any of these, and the typed formula stayed as it was.
  EXPECT_EQ(shell.state().currentFormula, "");
  EXPECT_EQ(ListLines(kHistoryListId), (std::vector<std::string>{"x+2", "x^2"}));
}

// Without a mouse: Shift+F10 on the focused history list opens the same menu; elsewhere it
// keeps its usual meaning.
TEST_F(ShellKeptFormulas, ShiftF10OnTheListOpensTheLinesMenu) {
  WriteHistory("x+2\r\nx^2\r\n");
  MainWindow& shell = Start();
  dialog().ListSelect(kHistoryListId, 1);
  dialog().SetControlFocus(kHistoryListId);
  Settle();
  ChooseInNextMenu("Tieni nel grafico");
  QTest::keyClick(Handle(), Qt::Key_F10, Qt::ShiftModifier);
  Settle();
  EXPECT_EQ(shell.state().keptFormulas, (std::vector<std::string>{"x+2"}));

  dialog().SetControlFocus(kZoomMeterId);
  Settle();
  QTest::keyClick(Handle(), Qt::Key_F10, Qt::ShiftModifier);
  Settle();
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(shell.state().keptFormulas, (std::vector<std::string>{"x+2"}));
}

TEST_F(ShellKeptFormulas, NoMoreThanFiveAndTheNoteSaysWhy) {
  MainWindow& shell = Start();
  for (const char* formula : {"x", "x+1", "x+2", "x+3", "x+4"}) {
    EXPECT_TRUE(shell.history().ToggleKept(formula)) << formula;
  }
  EXPECT_FALSE(shell.history().ToggleKept("x+5"));
  EXPECT_EQ(shell.state().keptFormulas.size(), kMaxKeptFormulas);
  EXPECT_EQ(shell.helpText(), kKeptFullText);
  Settle();
  for (std::size_t i = 0; i < kMaxKeptFormulas; ++i) {
    EXPECT_GT(CountPixels(kPlotAreaId, KeptCurveColor(i)), 100) << i;
  }
}

}  // namespace
}  // namespace funzioni::testing
