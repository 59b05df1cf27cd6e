// Worksheet links through the real window: entered in the formula box, copied from its menu,
// given at start, refused with a note; and the exam examples loaded from the history's menus.

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <memory>

#include "ShellFixture.h"
#include "app/FormulaParameterValues.h"
#include "app/HistoryActions.h"
#include "app/WorksheetLoading.h"
#include "plot/KeptCurves.h"

namespace funzioni::testing {
namespace {

constexpr std::string_view kSheet =
    "#f=-x%5E3%2Bk*x%2B9&keep=k*x%2B9&k=3,-5,5,0.5&zoom=20&view=-3,5,-4,12&on=1";

class ShellWorksheet : public ShellFixture {
 protected:
  void Enter(std::string_view text) {
    dialog().SetControlText(kFormulaBoxId, text);
    dialog().SetControlFocus(kFormulaBoxId);
    Settle(0);
    Key(Qt::Key_Return);
    WaitForPlot();
  }

  // The next popup menus, one after the other, get their item of these texts chosen (Esc when
  // one has none): a menu opened from another's choice.
  void ChooseInNextMenus(std::vector<std::string> texts) {
    auto* poll = new QTimer(QCoreApplication::instance());
    auto done = std::make_shared<QPointer<QMenu>>();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, texts, done]() mutable {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr || menu == done->data()) return;
      *done = menu;
      const std::string text = texts.front();
      texts.erase(texts.begin());
      if (texts.empty()) {
        poll->stop();
        poll->deleteLater();
      }
      for (QAction* action : menu->actions()) {
        if (action->text().toStdString() == text && action->isEnabled()) {
          menu->setActiveAction(action);
        }
      }
      QTest::keyClick(menu, menu->activeAction() != nullptr ? Qt::Key_Return : Qt::Key_Escape);
    });
    poll->start(5);
  }
};

TEST_F(ShellWorksheet, EnteredLinkShowsItsStateOnEveryControl) {
  MainWindow& shell = Start();
  Enter(std::string("https://scuola.example/funzioni.html") + std::string(kSheet));
  const PlotState& state = shell.state();
  EXPECT_EQ(state.typedFormula, "-x^3+k*x+9");
  EXPECT_EQ(state.currentFormula, "-x^3+ 3*x+9");
  EXPECT_EQ(state.keptFormulas, std::vector<std::string>{"k*x+9"});
  EXPECT_EQ(state.curveOn[1] + state.curveOn[3], 1);
  ASSERT_TRUE(state.view.has_value());
  EXPECT_EQ(*state.view, (PlotView{-3, 5, -4, 12}));
  // The box shows the formula, the k meter its value and the switches their state.
  EXPECT_EQ(dialog().GetControlText(kFormulaBoxId), "-x^3+k*x+9");
  EXPECT_NE(Caption(FormulaMeterId(3)).find("3.0"), std::string::npos);
  EXPECT_EQ(Value(FormulaMeterId(3)), 80.0f);  // 3 on -5..5
  EXPECT_EQ(Value(kSwitchBaseId + 1), 0.0f);   // on
  EXPECT_EQ(Value(kSwitchBaseId + 3), 100.0f);
  EXPECT_GT(CountPixels(kPlotAreaId, kYellowDot), 50);
  EXPECT_GT(CountPixels(kPlotAreaId, KeptCurveColor(0)), 50);
  EXPECT_EQ(ListLines(kResultsListId).front(), "-x^3+ 3*x+9");
  // A link is no formula: the history file is left alone.
  EXPECT_FALSE(ReadHistory().has_value());
  // The window's own link names the same state.
  EXPECT_EQ(shell.WorksheetLink(), kSheet);
}

TEST_F(ShellWorksheet, MalformedLinkChangesNothingAndSaysSo) {
  MainWindow& shell = Start();
  Enter("x^2");
  const std::string before = SurfacePixels(kPlotAreaId);
  struct Row {
    const char* name;
    const char* text;
  };
  const Row rows[] = {
      {"unknown key", "#f=x&zz=1"},
      {"half good: the formula is not taken either", "#f=x%5E3&k=inf"},
      {"ends the menu refuses", "#f=k*x&k=1,5,-5,1"},
      {"six kept", "#f=x&keep=1&keep=2&keep=3&keep=4&keep=5&keep=6"},
  };
  for (const Row& row : rows) {
    Enter(row.text);
    EXPECT_EQ(shell.state().typedFormula, "x^2") << row.name;
    EXPECT_TRUE(shell.state().keptFormulas.empty()) << row.name;
    EXPECT_EQ(shell.helpText().rfind(" Link del foglio non valido", 0), 0u) << row.name;
    EXPECT_EQ(SurfacePixels(kPlotAreaId), before) << row.name;
  }
  EXPECT_EQ(ReadHistory(), "x^2\r\n");
}

TEST_F(ShellWorksheet, CopiedLinkReopensTheSamePicture) {
  MainWindow& shell = Start();
  Enter(kSheet);
  const std::string picture = SurfacePixels(kPlotAreaId);
  shell.MainDialogProc({EventKind::Command, kCommandCopySheet, 0});
  EXPECT_EQ(shell.helpText(), kSheetCopiedText);
  const std::string copied = QGuiApplication::clipboard()->text().toStdString();
  EXPECT_EQ(copied, kSheet);

  // Everything else changed, then the copied link brings the picture back.
  Enter("#f=x&zoom=70");
  ASSERT_NE(SurfacePixels(kPlotAreaId), picture);
  Enter(copied);
  EXPECT_EQ(SurfacePixels(kPlotAreaId), picture);
}

TEST_F(ShellWorksheet, LinkGivenAtStartIsShownOnceStarted) {
  MainWindow& shell = Start();
  Enter(kSheet);
  const std::string picture = SurfacePixels(kPlotAreaId);

  MainWindow started;
  started.OpenWorksheetAtStart(std::string(kSheet));
  started.Show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return started.introShown(); }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return started.plotIdle(); }, 10000));
  Settle(50);
  ASSERT_TRUE(QTest::qWaitFor([&] { return started.plotIdle(); }, 10000));
  EXPECT_EQ(started.state().typedFormula, shell.state().typedFormula);
  EXPECT_EQ(started.dialog().AttachSurface(kPlotAreaId).GetSurfacePixels(), picture);
}

TEST_F(ShellWorksheet, ExamExampleLoadsInOneChoice) {
  MainWindow& shell = Start();
  const Worksheet example = DecodeWorksheet(ExamExamples()[1].link).sheet.value();
  // F4 opens the examples' menu from wherever the focus is.
  ChooseInNextMenu(ExampleLabel(example));
  Key(Qt::Key_F4);
  WaitForPlot();
  EXPECT_EQ(shell.state().typedFormula, "-x^3+k*x+9");
  EXPECT_EQ(shell.state().formulaParams[3].value, 3.0f);
  EXPECT_EQ(shell.state().keptFormulas, std::vector<std::string>{"k*x+9"});
  EXPECT_NE(Caption(FormulaMeterId(3)).find("3.0"), std::string::npos);
  // Entered as a formula is: saved and selected in the history.
  EXPECT_EQ(ReadHistory(), "-x^3+k*x+9\r\n");
  EXPECT_EQ(dialog().ListGetSelected(kHistoryListId), "-x^3+k*x+9");

  // The history line's menu reaches the same examples.
  const Worksheet first = DecodeWorksheet(ExamExamples()[0].link).sheet.value();
  ChooseInNextMenus({std::string(kExamExamplesItem), ExampleLabel(first)});
  const QPoint at = CentreOf(kHistoryListId);
  QTest::mousePress(Handle(), Qt::RightButton, Qt::ShiftModifier, at);
  Settle(0);
  QTest::mouseRelease(Handle(), Qt::RightButton, Qt::ShiftModifier, at);
  Settle();
  WaitForPlot();
  EXPECT_EQ(shell.state().currentFormula, "( 1*x^3+ 4)/x^2");
  EXPECT_TRUE(shell.state().keptFormulas.empty());
}

}  // namespace
}  // namespace funzioni::testing
