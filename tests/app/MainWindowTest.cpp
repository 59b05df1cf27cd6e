// Start-up, layout, help texts and the end of the program, through the real window.

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "ShellFixture.h"

namespace funzioni::testing {
namespace {

class ShellStartState : public ShellFixture {};

TEST_F(ShellStartState, WindowTitleSizeAndPlace) {
  MainWindow& shell = Start();
  QWidget* widget = shell.dialog().Widget();
  EXPECT_EQ(WindowTitle(), "Funzioni Quilvar Soft (Ver : 28 mar 2007 )");
  EXPECT_EQ(widget->windowTitle().toStdString(), WindowTitle());
  EXPECT_EQ(widget->size(), QSize(974, 720));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  // Centred on the screen, up to the thickness of the window's frame and title bar.
  EXPECT_LE(std::abs(widget->geometry().center().x() - screen.center().x()), 25);
  EXPECT_LE(std::abs(widget->geometry().center().y() - screen.center().y()), 25);
}

TEST_F(ShellStartState, SwitchesMetersPanelsAndLists) {
  MainWindow& shell = Start();
  EXPECT_TRUE(shell.introShown());
  EXPECT_EQ(shell.hoverId(), 0);
  EXPECT_EQ(shell.helpText(), " Aiuto...");
  EXPECT_EQ(shell.dialog().FocusedControl(), kFormulaBoxId);
  for (int k = 1; k <= functionCount; ++k) {
    EXPECT_EQ(shell.state().curveOn[k], k == 3 ? 1 : 0) << k;
    EXPECT_EQ(Value(kSwitchBaseId + k), k == 3 ? 0.0f : 100.0f) << k;
    EXPECT_EQ(Caption(kSwitchBaseId + k),
              std::string(TrimBlanks(shell.state().builtinFunctions[k].text)));
  }
  // 16 parameter meters at 50 with their "a=1.0" captions; none where a function has no letter.
  int meters = 0;
  for (int id = 1000; id < 1400; ++id) {
    const auto meter = ParameterMeterOf(id);
    if (!meter || !shell.dialog().HasControl(id)) continue;
    ++meters;
    EXPECT_EQ(Value(id), 50.0f) << id;
    EXPECT_EQ(Caption(id), std::string(1, meter->letter) + "=1.0") << id;
  }
  EXPECT_EQ(meters, 16);
  EXPECT_FALSE(shell.dialog().HasControl(1101));
  EXPECT_FALSE(shell.dialog().HasControl(1209));
  EXPECT_EQ(Caption(kZoomMeterId), "zoom");
  EXPECT_EQ(Caption(kStepMeterId), "passo");
  EXPECT_EQ(Value(kZoomMeterId), 50.0f);
  EXPECT_EQ(Value(kStepMeterId), 50.0f);

  // The zoom window is blank in the dialog's face colour; the first plot shows the parabola.
  EXPECT_EQ(CountPixels(kZoomWindowId, kFaceColor), 240 * 240);
  EXPECT_GT(CountPixels(kPlotAreaId, kGreyDot), 100);
  EXPECT_EQ(CountPixels(kPlotAreaId, kYellowDot), 0);
  EXPECT_EQ(shell.dialog().ListCount(kHistoryListId), 0);
  EXPECT_EQ(shell.dialog().ListCount(kResultsListId), 0);
  EXPECT_EQ(shell.dialog().GetControlText(kFormulaBoxId), "");
}

TEST_F(ShellStartState, EveryControlAtItsPlace) {
  MainWindow& shell = Start();
  struct Placed {
    int id;
    PixelRect rect;
  };
  const std::vector<Placed> layout = {
      {1501, {4, 622, 95, 20}},     {1510, {877, 622, 95, 20}},   {1001, {4, 644, 95, 16}},
      {1102, {101, 662, 95, 16}},   {1204, {295, 680, 95, 16}},   {1304, {295, 698, 95, 16}},
      {1107, {586, 662, 95, 16}},   {1010, {877, 644, 95, 16}},   {2000, {4, 4, 600, 600}},
      {2050, {4, 605, 599, 16}},    {1400, {606, 564, 364, 20}},  {1950, {606, 586, 364, 20}},
      {1600, {606, 4, 120, 24}},    {1700, {728, 4, 120, 24}},    {1800, {850, 4, 120, 24}},
      {1900, {606, 30, 363, 28}},   {2100, {606, 60, 364, 50}},   {1450, {606, 112, 240, 240}},
      {1470, {848, 112, 120, 240}}, {1460, {606, 354, 362, 180}}, {1480, {606, 536, 362, 22}},
  };
  for (const Placed& placed : layout) {
    EXPECT_EQ(shell.dialog().GetControlRect(placed.id), placed.rect) << placed.id;
  }
  EXPECT_EQ(Caption(1510), "sqr(a.x)");
  EXPECT_EQ(shell.controls().Find(1510)->caption.Padded(), "sqr(a.x)            ");
}

TEST_F(ShellStartState, TimerScrollsTheTicker) {
  MainWindow& shell = Start();
  const int before = shell.dialog().GetControlUserValue(kTickerPanelId, 5);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return shell.dialog().GetControlUserValue(kTickerPanelId, 5) != before; }, 5000));
  EXPECT_EQ(ClockText(7, 5, 9), "07:05:09");
  EXPECT_EQ(ClockText(23, 59, 0), "23:59:00");
  EXPECT_NE(TickerText().find(".example"), std::string::npos);
}

class ShellHelpPanel : public ShellFixture {};

TEST_F(ShellHelpPanel, ExplainsTheControlUnderThePointer) {
  MainWindow& shell = Start();
  struct Case {
    int id;
    std::string_view firstLine;
    int lines;
  };
  const std::vector<Case> cases = {
      {kZoomWindowId, " Finestra zoom.", 1},
      {kResultsListId, " Finestra dei risultati.", 1},
      {kCoordinatesLineId, " Coordinate del mouse nel grafico.", 1},
      {kFormulaBoxId, " Scrivi l'enunciato della funzione e batti enter.", 3},
      {kHistoryListId, " Doppio click per visualizzare la funzione.", 3},
      {1505, " Mouse + il tasto sinistro: accendi o spegni.", 3},
      {1304, " Mouse + il tasto sinistro: cambi il valore.", 3},
      {kZoomMeterId, " Muovi il mouse + il tasto sinistro: cambi lo zoom.", 3},
      {kStepMeterId, " Muovi il mouse + il tasto sinistro: cambi il passo.", 3},
      {kPlotAreaId, " Col tasto sinistro del mouse vedi la zoommata.", 3},
  };
  for (const Case& c : cases) {
    Move(CentreOf(c.id));
    EXPECT_EQ(shell.hoverId(), c.id);
    const std::string& help = shell.helpText();
    EXPECT_EQ(help.substr(0, c.firstLine.size()), c.firstLine) << c.id;
    int lines = 1;
    for (std::size_t at = help.find("\r\n"); at != std::string::npos;
         at = help.find("\r\n", at + 2)) {
      ++lines;
    }
    EXPECT_EQ(lines, c.lines) << c.id;
  }
  EXPECT_EQ(std::string(HelpTextFor(kFormulaBoxId)),
            " Scrivi l'enunciato della funzione e batti enter.\r\n"
            " Verr\xC3\xA0 visualizzata e salvata nell'elenco delle\r\n"
            " funzioni.");
  EXPECT_EQ(std::string(HelpTextFor(1001)),
            " Mouse + il tasto sinistro: cambi il valore.\r\n"
            " Tasto destro resetti il valore del parametro.\r\n"
            " Tastierino numerico: + e - varia il parametro.");

  // Controls without help, and the dialog's face, leave the panel as it was.
  const std::string last = shell.helpText();
  Move(CentreOf(kHelpPanelId));
  EXPECT_EQ(shell.hoverId(), kHelpPanelId);
  Move(CentreOf(kAllOnButtonId));
  Move(QPoint(10, 670));  // under the a meter of function 1: no control there
  EXPECT_EQ(shell.hoverId(), 0);
  EXPECT_EQ(shell.helpText(), last);
}

class ShellLifecycle : public ShellFixture {};

TEST_F(ShellLifecycle, EscEndsTheProgram) {
  MainWindow& shell = Start();
  Key(Qt::Key_Return);  // Enter never closes the window
  EXPECT_FALSE(shell.dialog().IsEnded());
  Key(Qt::Key_Escape);
  EXPECT_TRUE(shell.dialog().IsEnded());
}

TEST_F(ShellLifecycle, CloseBoxEndsTheProgram) {
  MainWindow& shell = Start();
  shell.dialog().Widget()->close();
  Settle();
  EXPECT_TRUE(shell.dialog().IsEnded());
}

}  // namespace
}  // namespace funzioni::testing
