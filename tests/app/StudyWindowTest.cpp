// The study window in the real program: what it shows, what it marks on the plotting area while
// it is open and only then, the chosen item on the coordinates line, f' as dots and as a column
// of the copied table, and its text on the clipboard and on the printed page.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "app/ShellFixture.h"
#include "app/StudyPanel.h"
#include "drawing/PrintServices.h"
#include "plot/StudyMarks.h"
#include "plot/ZoomWindow.h"

namespace funzioni::testing {
namespace {

class ShellStudy : public ShellFixture {
 protected:
  StudyPanel& Study() { return window().study(); }

  void EnterFormula(std::string_view formula) {
    dialog().SetControlFocus(kFormulaBoxId);
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(formula);
    Key(Qt::Key_Return);
    WaitForStudy();
  }
  // Until the last request's outcome is shown and the picture drawn with its marks.
  void WaitForStudy() {
    WaitForPlot();
    EXPECT_TRUE(Until([this] { return Study().Answered(); }));
    WaitForPlot();
  }
  // Until what is done now has made a new request and its outcome is shown.
  template <typename Action>
  void Restudy(Action action) {
    const int before = Study().Requests();
    action();
    EXPECT_TRUE(Until([&] { return Study().Requests() > before; }));
    WaitForStudy();
  }
  void Open() {
    dialog().SendCommand(kCommandStudy);
    WaitForStudy();
  }
  void Close() {
    Study().Window().Widget()->close();
    EXPECT_TRUE(Until([this] { return !Study().IsOpen() && !Study().MarksShown(); }));
    WaitForPlot();
  }
  // Until the clipboard holds text, after what is done now.
  template <typename Action>
  void CopyAfter(Action action) {
    QGuiApplication::clipboard()->clear();
    action();
    EXPECT_TRUE(Until([] { return !Clipboard().empty(); }));
  }
  int LineStarting(std::string_view start) {
    for (int i = 0; i < Study().Window().LineCount(); ++i) {
      if (Study().Window().Line(i).rfind(start, 0) == 0) return i;
    }
    return -1;
  }
  static std::string Clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }
};

TEST_F(ShellStudy, MarksOnlyWhileOpenAndTheMainPictureIsAsBeforeOnceClosed) {
  Start();
  EnterFormula("x^3-3*x");
  const std::string before = SurfacePixels(kPlotAreaId);
  EXPECT_EQ(CountPixels(kPlotAreaId, kStudyMarkColor), 0);

  Open();
  ASSERT_TRUE(Study().IsOpen());
  EXPECT_EQ(Study().Heading(),
            "Studio numerico di f(x) = x^3-3*x per x da \xE2\x88\x92"
            "10 a 10, "
            "angoli in gradi");
  EXPECT_GT(CountPixels(kPlotAreaId, kStudyMarkColor), 0);

  Close();
  EXPECT_FALSE(Study().IsOpen());
  EXPECT_EQ(SurfacePixels(kPlotAreaId), before);

  // Closed, a new formula is neither studied nor marked.
  EnterFormula("x^2-4");
  EXPECT_FALSE(Study().Busy());
  EXPECT_EQ(CountPixels(kPlotAreaId, kStudyMarkColor), 0);
}

TEST_F(ShellStudy, FollowsTheFormulaAndTheZoomAndSaysWhenAKindHasNothing) {
  Start();
  Open();
  EXPECT_EQ(Study().Heading(), kStudyNoFormulaHeading);
  EnterFormula("1/x");
  EXPECT_GE(LineStarting("Asintoto verticale: x \xE2\x89\x88 0"), 0);
  EXPECT_GE(LineStarting("Zeri: nessuno nell'intervallo visibile"), 0);
  window().state().zoomValue.value = 100;
  EnterFormula("x^2");
  EXPECT_EQ(Study().Heading(),
            "Studio numerico di f(x) = x^2 per x da \xE2\x88\x92"
            "20 a 20, "
            "angoli in gradi");
  EXPECT_EQ(LineStarting("Asintoto verticale"), -1);
  EXPECT_GE(LineStarting("Asintoti verticali: nessuno nell'intervallo visibile"), 0);
}

TEST_F(ShellStudy, TheChosenItemGoesToTheCoordinatesLine) {
  Start();
  EnterFormula("x^3-3*x");
  Open();
  const int line = LineStarting("Minimo relativo");
  ASSERT_GE(line, 0);
  const std::string minimum = "x=" + CoordinateText(1) + " y=" + CoordinateText(-2);
  Study().Window().SetCurrentLine(line);
  Until([&] { return dialog().GetControlText(kCoordinatesLineId) == minimum; });
  EXPECT_EQ(dialog().GetControlText(kCoordinatesLineId), minimum);

  // A point far beyond the area: the two-decimal mask cannot hold it, a power of ten can.
  EnterFormula("10^20+x^2");
  const int intercept = LineStarting("Intersezione con l'asse y");
  ASSERT_GE(intercept, 0);
  Study().Window().SetCurrentLine(intercept);
  Until([&] { return dialog().GetControlText(kCoordinatesLineId) != minimum; });
  EXPECT_EQ(dialog().GetControlText(kCoordinatesLineId), "x=0.00 y=1.00e20");
}

TEST_F(ShellStudy, CopyKeyCopiesTheStudyAndThePrintedPageCarriesIt) {
  Start();
  EnterFormula("x^2");
  Open();
  CopyAfter([&] {
    QTest::keyClick(Study().Window().Widget()->focusWidget(), Qt::Key_C, Qt::ControlModifier);
  });
  std::string expected = Study().Heading() + "\n";
  for (const std::string& line : Study().Lines()) expected += line + "\n";
  EXPECT_EQ(Clipboard(), expected);

  std::vector<std::string> printed;
  window().exportPrompts().print = [&](const PrintPage& page) {
    for (const PrintLine& line : page.lines) printed.push_back(line.text);
    return PrintResult::Cancelled;
  };
  // Ctrl+P in the study window prints as in the main one.
  QTest::keyClick(Study().Window().Widget()->focusWidget(), Qt::Key_P, Qt::ControlModifier);
  Until([&] { return !printed.empty(); });
  ASSERT_GT(printed.size(), 3u);
  EXPECT_EQ(printed[3], Study().Heading());
  EXPECT_EQ(printed.back(), Study().Lines().back());
}

// A study longer than the room under the picture goes on over further pages: no line is lost.
TEST_F(ShellStudy, ALongStudyIsPrintedWhole) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  }
  Start();
  EnterFormula("SIN(x*500)");
  Open();
  ASSERT_GT(Study().Lines().size(), 60u);
  const std::filesystem::path pdf = directory_ / "studio.pdf";
  bool written = false;
  window().exportPrompts().print = [&](const PrintPage& page) {
    written = PrintToPdf(page, pdf.string());
    return written ? PrintResult::Printed : PrintResult::Failed;
  };
  dialog().SendCommand(kCommandPrint);
  ASSERT_TRUE(Until([&] { return written; }));
  QProcess text;
  text.start("pdftotext", {QString::fromStdString(pdf.string()), "-"});
  ASSERT_TRUE(text.waitForFinished(20000));
  const QString printed = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_GT(printed.count(QChar('\f')), 1);  // a form feed ends each page
  EXPECT_TRUE(printed.contains(QString::fromStdString(Study().Lines().back())));
}

TEST_F(ShellStudy, DerivativeDotsAndTableColumnOnlyWhileSwitchedOn) {
  QLocale::setDefault(QLocale::c());
  Start();
  window().state().zoomValue.value = 1;  // the table runs from -0.2 to 0.2
  EnterFormula("x^2");
  Open();
  CopyAfter([&] { dialog().SendCommand(kCommandCopyTable); });
  EXPECT_EQ(Clipboard().find("f\xE2\x80\xB2"), std::string::npos);
  EXPECT_EQ(CountPixels(kPlotAreaId, kStudySlopeColor), 0);

  // From the list past the three fields to the check box.
  for (int i = 0; i < 4; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_TRUE(qobject_cast<QCheckBox*>(QApplication::focusWidget()));
  Restudy([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); });
  ASSERT_TRUE(Study().SlopesOn());
  EXPECT_GT(CountPixels(kPlotAreaId, kStudySlopeColor), 0);
  CopyAfter([&] { dialog().SendCommand(kCommandCopyTable); });
  // f'(x) = 2x: -0.4 at -0.2, 0 at 0, 0.4 at 0.2.
  EXPECT_EQ(Clipboard().substr(0, Clipboard().find('\n')), "x^2\t\tf\xE2\x80\xB2(x)");
  EXPECT_NE(Clipboard().find("\t-0.4\n"), std::string::npos) << Clipboard();
  EXPECT_NE(Clipboard().find("\n0\t0\t0\n"), std::string::npos) << Clipboard();
  EXPECT_NE(Clipboard().find("\t0.4\n"), std::string::npos) << Clipboard();
  QLocale::setDefault(QLocale::system());
}

// The fields typed into as a pupil does (the keyboard, Enter): the tangent and the area are
// written, drawn on the plot, and taken away again once the fields are emptied.
TEST_F(ShellStudy, FieldsDrawTheTangentAndShadeTheArea) {
  Start();
  EnterFormula("x^2");
  Open();
  const QList<QLineEdit*> fields = Study().Window().Widget()->findChildren<QLineEdit*>();
  ASSERT_EQ(fields.size(), 3);
  const auto ask = [&](int field, const char* text) {
    fields[field]->setFocus();
    fields[field]->selectAll();
    QTest::keyClick(fields[field], Qt::Key_Backspace);
    QTest::keyClicks(fields[field], text);
    Restudy([&] { QTest::keyClick(fields[field], Qt::Key_Return); });
  };
  EXPECT_EQ(CountPixels(kPlotAreaId, kStudyTangentColor), 0);
  ask(0, "1");
  EXPECT_GE(LineStarting("Tangente in x\xE2\x82\x80 \xE2\x89\x88 1: y \xE2\x89\x88 2\xC2\xB7x "),
            0);
  EXPECT_GT(CountPixels(kPlotAreaId, kStudyTangentColor), 100);
  EXPECT_EQ(CountPixels(kPlotAreaId, kStudyAreaColor), 0);

  // The decimal comma, and the area once both ends are there.
  ask(1, "0");
  EXPECT_GE(LineStarting("Area: scrivi entrambi"), 0);
  ask(2, "1,5");
  EXPECT_GE(LineStarting("Integrale da 0 a 1.5 \xE2\x89\x88 1.125 ("), 0);
  EXPECT_GT(CountPixels(kPlotAreaId, kStudyAreaColor), 100);
  if (const char* shots = std::getenv("FUNZIONI_SHOT_DIR")) {
    dialog().Widget()->grab().save(QString(shots) + "/study-main.png");
    Study().Window().Widget()->grab().save(QString(shots) + "/study-side.png");
  }

  // What is not a number says so; emptied, nothing is asked and nothing drawn.
  ask(0, "uno");
  EXPECT_GE(LineStarting("Tangente: x\xE2\x82\x80 non \xC3\xA8 un numero"), 0);
  EXPECT_EQ(CountPixels(kPlotAreaId, kStudyTangentColor), 0);
  for (const int field : {0, 1, 2}) ask(field, "");
  EXPECT_EQ(CountPixels(kPlotAreaId, kStudyAreaColor), 0);
  EXPECT_LT(LineStarting("Integrale"), 0);
}

// The sign chart drawn under the list: read as its lines, taking no place in the Tab order, and
// the window grown to hold it.
TEST_F(ShellStudy, TheDrawnSignChartReadsAsItsLines) {
  Start();
  EnterFormula("x^2-1");
  Open();
  const QWidget* chart = Study().Window().ChartWidget();
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(chart->isVisible());
  std::string expected;
  for (const std::string& line : Study().Lines()) {
    if (line.rfind("Schema dei segni di ", 0) != 0) continue;
    expected += (expected.empty() ? "" : "\n") + line;
  }
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(chart->accessibleName().toStdString(), "Schema dei segni");
  EXPECT_EQ(chart->accessibleDescription().toStdString(), expected);
  EXPECT_EQ(chart->focusPolicy(), Qt::NoFocus);
  const QWidget* list = Study().Window().Widget()->findChild<QListWidget*>();
  ASSERT_NE(list, nullptr);
  EXPECT_GE(list->height(), 100) << "the chart squeezed the list";
  if (const char* shots = std::getenv("FUNZIONI_SHOT_DIR")) {
    Study().Window().Widget()->grab().save(QString(shots) + "/study-chart.png");
  }

  // Rows too dense to draw say so; a formula without a value anywhere has no chart at all.
  EnterFormula("SIN(x*500)");
  EXPECT_TRUE(chart->isVisible());
  EXPECT_NE(chart->accessibleDescription().toStdString().find("troppo fitto"), std::string::npos);
  EnterFormula("SQR(0-1-x^2)");
  EXPECT_FALSE(chart->isVisible());
}

// The buttons take the x the coordinates line shows after the keyboard moved the plot's cursor,
// and the x of the results table's chosen row.
TEST_F(ShellStudy, TheTangentAtTheKeyboardCursor) {
  Start();
  EnterFormula("x^2");
  Open();
  dialog().SetControlFocus(kPlotAreaId);
  for (int i = 0; i < 25; ++i) Key(Qt::Key_Right);  // 25 steps of 1% at zoom 50: x = 5
  Until([&] { return dialog().GetControlText(kCoordinatesLineId).rfind("x=5.00 ", 0) == 0; });
  const std::string coordinates = dialog().GetControlText(kCoordinatesLineId);
  ASSERT_EQ(coordinates.rfind("x=5.00 ", 0), 0u) << coordinates;
  const QList<QPushButton*> buttons = Study().Window().Widget()->findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 2);
  Restudy([&] { QTest::mouseClick(buttons[0], Qt::LeftButton); });
  const QList<QLineEdit*> fields = Study().Window().Widget()->findChildren<QLineEdit*>();
  ASSERT_EQ(fields.size(), 3);
  EXPECT_EQ(fields[0]->text().toStdString(), "5.00");
  // f'(5) = 10, f(5) = 25: y = 10x - 25.
  EXPECT_GE(LineStarting("Tangente in x\xE2\x82\x80 \xE2\x89\x88 5: y \xE2\x89\x88 10\xC2\xB7x "
                         "\xE2\x88\x92 25"),
            0);
  EXPECT_GT(CountPixels(kPlotAreaId, kStudyTangentColor), 100);

  // The chosen row of the results table: f'(2) = 4, f(2) = 4.
  const std::vector<std::string> rows = ListLines(kResultsListId);
  const auto row = std::find_if(rows.begin(), rows.end(),
                                [](const std::string& r) { return r.rfind(" 2.0 ;", 0) == 0; });
  ASSERT_NE(row, rows.end());
  dialog().ListSelect(kResultsListId, static_cast<int>(row - rows.begin()) + 1);
  Settle(0);
  Restudy([&] { QTest::mouseClick(buttons[1], Qt::LeftButton); });
  EXPECT_EQ(fields[0]->text().toStdString(), "2.0");
  EXPECT_GE(LineStarting("Tangente in x\xE2\x82\x80 \xE2\x89\x88 2: y \xE2\x89\x88 4\xC2\xB7x "
                         "\xE2\x88\x92 4"),
            0);
}

// Keeping a formula of the history, or taking it off, studies the typed one again: its
// intersections follow at once.
TEST_F(ShellStudy, KeptFormulasRestudyTheIntersections) {
  WriteHistory("x+2\r\n");
  Start();
  EnterFormula("x^2");
  Open();
  const std::string meet = "Intersezione con x+2: (x \xE2\x89\x88 2, y \xE2\x89\x88 4)";
  EXPECT_LT(LineStarting(meet), 0);
  const std::vector<std::string> history = ListLines(kHistoryListId);
  const auto at = std::find(history.begin(), history.end(), "x+2");
  ASSERT_NE(at, history.end());
  for (const auto& [item, there] :
       {std::pair{"Tieni nel grafico", true}, std::pair{"Togli dal grafico", false}}) {
    dialog().ListSelect(kHistoryListId, static_cast<int>(at - history.begin()) + 1);
    Settle();
    ChooseInNextMenu(item);
    const QPoint point = CentreOf(kHistoryListId);
    QTest::mousePress(Handle(), Qt::RightButton, Qt::ShiftModifier, point);
    Settle(0);
    QTest::mouseRelease(Handle(), Qt::RightButton, Qt::ShiftModifier, point);
    Settle();
    WaitForStudy();
    EXPECT_EQ(LineStarting(meet) >= 0, there) << item;
  }
}

}  // namespace
}  // namespace funzioni::testing
