// Typing a formula, picking it from the history list and editing the history file, through the
// real window.

#include <QListWidget>
#include <QWidget>
#include <fstream>

#include <unistd.h>

#include "ShellFixture.h"
#include "support/Unwritable.h"

namespace funzioni::testing {
namespace {

class ShellFormulaEntry : public ShellFixture {
 protected:
  // The centre of a line of the history list (numbered from 1), in client coordinates.
  QPoint HistoryLinePoint(int line) {
    QWidget* viewport = dialog().Widget()->childAt(CentreOf(kHistoryListId));
    auto* list = qobject_cast<QListWidget*>(viewport->parentWidget());
    if (list == nullptr) list = qobject_cast<QListWidget*>(viewport);
    const QRect item = list->visualItemRect(list->item(line - 1));
    return list->viewport()->mapTo(dialog().Widget(), item.center());
  }
};

TEST_F(ShellFormulaEntry, EnterDrawsTabulatesAndAppendsTheFormula) {
  MainWindow& shell = Start();
  Type("SIN(x)*x^2");
  EXPECT_EQ(dialog().GetControlText(kFormulaBoxId), "SIN(x)*x^2");
  Key(Qt::Key_Return);

  EXPECT_EQ(ReadHistory(), "SIN(x)*x^2\r\n");
  EXPECT_EQ(ListLines(kHistoryListId), std::vector<std::string>{"SIN(x)*x^2"});
  EXPECT_EQ(dialog().ListGetSelected(kHistoryListId), "SIN(x)*x^2");
  EXPECT_EQ(shell.state().currentFormula, "SIN(x)*x^2");
  const std::vector<std::string> results = ListLines(kResultsListId);
  ASSERT_GT(results.size(), 2u);
  EXPECT_EQ(results[0], "SIN(x)*x^2");
  EXPECT_EQ(results[1], " ");
  EXPECT_GT(CountPixels(kPlotAreaId, kYellowDot), 50);
  EXPECT_EQ(dialog().GetControlText(kFormulaBoxId), "SIN(x)*x^2");  // the box keeps its text

  // The same formula again is appended again; the new last line is selected.
  Key(Qt::Key_Return);
  EXPECT_EQ(ReadHistory(), "SIN(x)*x^2\r\nSIN(x)*x^2\r\n");
  EXPECT_EQ(dialog().ListCount(kHistoryListId), 2);
  EXPECT_EQ(shell.state().currentFormula, "SIN(x)*x^2");
}

TEST_F(ShellFormulaEntry, EnterWithTheFocusElsewhereDoesNothing) {
  MainWindow& shell = Start();
  Type("x^2");
  dialog().SetControlFocus(kHistoryListId);
  Settle();
  Key(Qt::Key_Return);
  EXPECT_FALSE(ReadHistory().has_value());
  EXPECT_EQ(shell.state().currentFormula, "");
  EXPECT_EQ(dialog().ListCount(kResultsListId), 0);
  EXPECT_FALSE(shell.dialog().IsEnded());
}

TEST_F(ShellFormulaEntry, AnEmptyBoxAppendsAnEmptyLine) {
  MainWindow& shell = Start();
  WriteHistory("x^2\r\n");
  Key(Qt::Key_Return);
  EXPECT_EQ(ReadHistory(), "x^2\r\n\r\n");
  EXPECT_EQ(ListLines(kHistoryListId), (std::vector<std::string>{"x^2", ""}));
  EXPECT_EQ(shell.state().currentFormula, "");
}

TEST_F(ShellFormulaEntry, DoubleClickDrawsTheLineWithoutItsComment) {
  WriteHistory("x^2 'parabola\r\nLOG10(x)+1\r\n");
  MainWindow& shell = Start();
  EXPECT_EQ(ListLines(kHistoryListId), (std::vector<std::string>{"x^2 'parabola", "LOG10(x)+1"}));
  EXPECT_EQ(dialog().ListGetSelected(kHistoryListId), "LOG10(x)+1");

  DoubleClick(HistoryLinePoint(1));
  EXPECT_EQ(shell.state().currentFormula, "x^2 ");
  const std::vector<std::string> results = ListLines(kResultsListId);
  ASSERT_GT(results.size(), 2u);
  EXPECT_EQ(results[0], "x^2 ");
  EXPECT_GT(CountPixels(kPlotAreaId, kYellowDot), 10);
  EXPECT_EQ(ReadHistory(), "x^2 'parabola\r\nLOG10(x)+1\r\n");  // nothing written
}

TEST_F(ShellFormulaEntry, EndOfFileByteAndLoneLineFeeds) {
  WriteHistory("one\r\ntwo\r\nth\x1Aree\r\nfour\r\n");
  Start();
  EXPECT_EQ(ListLines(kHistoryListId), (std::vector<std::string>{"one", "two", "th"}));
  EXPECT_EQ(dialog().ListGetSelected(kHistoryListId), "th");
}

TEST_F(ShellFormulaEntry, SingleByteCommentsShowInTheirCodePage) {
  // A file written on Windows: "più" and a euro sign in single bytes; then a UTF-8 line.
  WriteHistory("x^2 'pi\xF9 \x80\r\nSIN(x) 'gi\xC3\xA0\r\n");
  MainWindow& shell = Start();
  EXPECT_EQ(ListLines(kHistoryListId),
            (std::vector<std::string>{"x^2 'pi\xC3\xB9 \xE2\x82\xAC", "SIN(x) 'gi\xC3\xA0"}));
  DoubleClick(HistoryLinePoint(1));
  EXPECT_EQ(shell.state().currentFormula, "x^2 ");
}

TEST_F(ShellFormulaEntry, LoneLineFeedStaysInItsLine) {
  WriteHistory("a\nb\r\nc");
  Start();
  EXPECT_EQ(ListLines(kHistoryListId), (std::vector<std::string>{"a\nb", "c"}));
  // The last line had no end: the new formula gets its own line.
  Type("x");
  Key(Qt::Key_Return);
  EXPECT_EQ(ReadHistory(), "a\nb\r\nc\r\nx\r\n");
  EXPECT_EQ(ListLines(kHistoryListId), (std::vector<std::string>{"a\nb", "c", "x"}));
}

TEST_F(ShellFormulaEntry, RightButtonOverTheListEditsTheFile) {
  WriteHistory("x^2\r\nSIN(x)\r\n");
  const std::filesystem::path script = directory_ / "edit.sh";
  const std::filesystem::path runs = directory_ / "runs";
  {
    std::ofstream out(script);
    out << "echo run >> '" << runs.string() << "'\n"
        << "printf 'x^3\\r\\nCOS(x)\\r\\nTAN(x)\\r\\n' > \"$1\"\n";
  }
  ::setenv("FUNZIONI_EDITOR", ("/bin/sh " + script.string()).c_str(), 1);
  MainWindow& shell = Start();
  const auto runCount = [&runs] {
    std::ifstream in(runs);
    int count = 0;
    for (std::string line; std::getline(in, line);) ++count;
    return count;
  };

  // A right click on the first line: the edited file is listed with its last line selected, and
  // the formula box keeps the keyboard focus.
  const QPoint first = HistoryLinePoint(1);
  Move(first);
  Press(Qt::RightButton, first);
  // Pointer reports that were queued while the editor ran still carry the held button; they do
  // not start it again.
  Move(first + QPoint(2, 1));
  Move(first + QPoint(4, 2));
  Release(Qt::RightButton, first + QPoint(4, 2));
  EXPECT_EQ(runCount(), 1);
  EXPECT_EQ(ListLines(kHistoryListId), (std::vector<std::string>{"x^3", "COS(x)", "TAN(x)"}));
  EXPECT_EQ(dialog().ListGetSelected(kHistoryListId), "TAN(x)");
  EXPECT_EQ(dialog().FocusedControl(), kFormulaBoxId);
  EXPECT_EQ(shell.helpText(), HelpTextFor(kHistoryListId));
  EXPECT_EQ(shell.state().currentFormula, "");

  // The next right click edits again.
  Click(Qt::RightButton, HistoryLinePoint(1));
  EXPECT_EQ(runCount(), 2);
}

// The wait ends with every editor, one that ends at once as well as one that takes a while, and
// the list shows what each run left in the file.
TEST_F(ShellFormulaEntry, EveryEditorRunEndsTheWaitAndReloadsTheList) {
  WriteHistory("x^2\r\n");
  const std::filesystem::path script = directory_ / "edit.sh";
  {
    std::ofstream out(script);
    out << "sleep \"$EDITOR_PAUSE\"\nprintf 'x^%s\\r\\n' \"$EDITOR_RUN\" > \"$1\"\n";
  }
  ::setenv("FUNZIONI_EDITOR", ("/bin/sh " + script.string()).c_str(), 1);
  MainWindow& shell = Start();
  for (int run = 0; run < 60; ++run) {
    ::setenv("EDITOR_PAUSE", run % 10 == 9 ? "0.2" : "0", 1);
    ::setenv("EDITOR_RUN", std::to_string(run).c_str(), 1);
    shell.history().Edit();
    ASSERT_EQ(ListLines(kHistoryListId), std::vector<std::string>{"x^" + std::to_string(run)});
  }
  ::unsetenv("EDITOR_PAUSE");
  ::unsetenv("EDITOR_RUN");
}

TEST_F(ShellFormulaEntry, AnEditorThatCannotStartIsReported) {
  WriteHistory("x^2\r\n");
  ::setenv("FUNZIONI_EDITOR", (directory_ / "no-such-editor").string().c_str(), 1);
  MainWindow& shell = Start();
  Press(Qt::RightButton, CentreOf(kHistoryListId));
  Release(Qt::RightButton, CentreOf(kHistoryListId));
  EXPECT_EQ(ListLines(kHistoryListId), std::vector<std::string>{"x^2"});
  // The note outlives the pointer's further moves over the list, not a move to another control.
  Move(CentreOf(kHistoryListId) + QPoint(5, 5));
  EXPECT_EQ(shell.helpText(), kEditorMissingText);
  Move(CentreOf(kFormulaBoxId));
  EXPECT_EQ(shell.helpText(), HelpTextFor(kFormulaBoxId));
}

TEST_F(ShellFormulaEntry, AReadOnlyHistoryFileIsReportedAndTheFormulaStillDrawn) {
  WriteHistory("x^2\r\n");
  const test::Unwritable locked(HistoryPath(), 0444, 0644);
  if (!locked.ok()) GTEST_SKIP() << "cannot make a file read-only here";
  MainWindow& shell = Start();
  Type("SIN(x)");
  Key(Qt::Key_Return);
  EXPECT_EQ(shell.state().currentFormula, "SIN(x)");
  EXPECT_GT(dialog().ListCount(kResultsListId), 2);
  EXPECT_GT(CountPixels(kPlotAreaId, kYellowDot), 10);
  EXPECT_EQ(shell.helpText(), kHistoryNotSavedText);
  Move(CentreOf(kFormulaBoxId));
  EXPECT_EQ(shell.helpText(), HelpTextFor(kFormulaBoxId));
  EXPECT_EQ(ListLines(kHistoryListId), std::vector<std::string>{"x^2"});
  EXPECT_EQ(ReadHistory(), "x^2\r\n");
}

}  // namespace
}  // namespace funzioni::testing
