// The event stream a dialog's handler receives, driven through the real window offscreen (the
// QTest overloads that take the QWindow behave like real input).
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <unistd.h>

#include "drawing/DialogServices.h"
#include "drawing/PlatformServices.h"

namespace funzioni {
namespace {

constexpr int kBoard = 2000;
constexpr int kSwitch = 1501;
constexpr int kList = 1460;
constexpr int kBox = 1480;
constexpr int kFaceSurface = 0;  // a surface with identifier 0 reports no clicks

const QPoint kOnBoard(50, 50);
const QPoint kOnSwitch(30, 175);
const QPoint kOnFace(300, 280);
const QPoint kOnBox(250, 140);
const QPoint kOnZeroSurface(150, 175);

std::string Describe(const DialogEvent& e) {
  static const char* const names[] = {"init", "timer",   "paint",  "shape",
                                      "menu", "command", "destroy"};
  std::ostringstream out;
  out << names[static_cast<int>(e.kind)];
  if (e.kind == EventKind::Timer || e.kind == EventKind::PointerShape ||
      e.kind == EventKind::ContextMenu) {
    out << " " << e.id;
  }
  if (e.kind == EventKind::Command) out << " " << e.id << "/" << e.code;
  return out.str();
}

class DialogEventTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_ = std::make_unique<Dialog>("Prova", 0, 0, 400, 300, true);
    Dialog& d = *dialog_;
    d.SetFaceColor(0x003C4E3C);
    d.AddControl(ControlKind::Surface, kBoard, "", 4, 4, 200, 150);
    d.AddControl(ControlKind::Surface, kSwitch, "", 4, 160, 95, 20);
    d.AddControl(ControlKind::Surface, kFaceSurface, "", 120, 160, 60, 20);
    d.AddControl(ControlKind::TextList, kList, "", 210, 4, 180, 120);
    d.AddControl(ControlKind::TextBox, kBox, "", 210, 130, 180, 22);
    d.SetEventHandler([this](const DialogEvent& e) {
      if (e.kind == EventKind::Paint) {
        ++paints_;
        return;
      }
      if (e.kind == EventKind::PointerShape)
        leftHeld_.push_back(dialog_->IsMouseButtonDown(MouseButton::Left));
      events_.push_back(Describe(e));
      if (onEvent_) onEvent_(e);
    });
  }

  void ShowDialog() {
    dialog_->Show();
    window_ = dialog_->Widget()->windowHandle();
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    ASSERT_TRUE(QTest::qWaitFor([this] { return paints_ >= 1; }, 2000));
    // Qt drops a move to where the pointer already is: start every test from the same corner.
    QTest::mouseMove(window_, QPoint(399, 1));
    events_.clear();
    leftHeld_.clear();
  }

  std::vector<std::string> Take() { return std::exchange(events_, {}); }

  std::unique_ptr<Dialog> dialog_;
  QWindow* window_ = nullptr;
  std::vector<std::string> events_;
  std::vector<bool> leftHeld_;
  int paints_ = 0;
  std::function<void(const DialogEvent&)> onEvent_;
};

using Events = std::vector<std::string>;

TEST_F(DialogEventTest, InitialiseComesFirstThenPaint) {
  dialog_->Show();
  EXPECT_EQ(Take(), (Events{"init"}));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_->Widget()->windowHandle()));
  EXPECT_TRUE(QTest::qWaitFor([this] { return paints_ >= 1; }, 2000));
}

TEST_F(DialogEventTest, PointerMovesReportTheControlUnderThePointer) {
  ShowDialog();
  QTest::mouseMove(window_, kOnBoard);
  QTest::mouseMove(window_, kOnFace);
  QTest::mouseMove(window_, kOnSwitch);
  QTest::mouseMove(window_, QPoint(300, 60));  // the list's viewport
  QTest::mouseMove(window_, kOnBox);
  QTest::mouseMove(window_, kOnZeroSurface);
  EXPECT_EQ(Take(),
            (Events{"shape 2000", "shape 0", "shape 1501", "shape 1460", "shape 1480", "shape 0"}));
  EXPECT_EQ(dialog_->GetPointerPosition(), (PixelPoint{150, 175}));
}

TEST_F(DialogEventTest, DragWithButtonHeldReportsEachControlInTurn) {
  ShowDialog();
  QTest::mouseMove(window_, kOnBoard);
  Take();
  leftHeld_.clear();
  QTest::mousePress(window_, Qt::LeftButton, {}, kOnBoard);
  QTest::mouseMove(window_, kOnSwitch);
  QTest::mouseMove(window_, kOnFace);
  QTest::mouseMove(window_, QPoint(300, 60));
  QTest::mouseRelease(window_, Qt::LeftButton, {}, QPoint(300, 60));
  EXPECT_EQ(Take(), (Events{"shape 2000", "command 2000/0", "shape 1501", "shape 0", "shape 1460",
                            "shape 1460"}));
  EXPECT_EQ(leftHeld_, (std::vector<bool>{true, true, true, true, false}));
  EXPECT_FALSE(dialog_->IsMouseButtonDown(MouseButton::Left));
}

TEST_F(DialogEventTest, ClicksOnSurfacesGiveCommands) {
  ShowDialog();
  // Each click is a move to the point, a press and a release.
  for (const QPoint& p : {kOnSwitch, kOnZeroSurface, kOnFace}) {
    QTest::mouseMove(window_, p);
    QTest::mouseClick(window_, Qt::LeftButton, {}, p);
  }
  EXPECT_EQ(Take(), (Events{"shape 1501", "shape 1501", "command 1501/0", "shape 1501", "shape 0",
                            "shape 0", "shape 0", "shape 0", "shape 0", "shape 0"}));
}

TEST_F(DialogEventTest, DoubleClickOnASurfaceGivesCodeOneForTheSecondPress) {
  ShowDialog();
  QTest::mouseMove(window_, kOnSwitch);
  QTest::mouseDClick(window_, Qt::LeftButton, {}, kOnSwitch);
  Events commands;
  for (const auto& e : Take()) {
    if (e.rfind("command", 0) == 0) commands.push_back(e);
  }
  EXPECT_EQ(commands, (Events{"command 1501/0", "command 1501/1"}));
}

TEST_F(DialogEventTest, RightReleaseIsAContextMenuForTheControlClicked) {
  ShowDialog();
  QTest::mouseMove(window_, kOnSwitch);
  QTest::mousePress(window_, Qt::RightButton, {}, kOnSwitch);
  EXPECT_TRUE(dialog_->IsMouseButtonDown(MouseButton::Right));
  QTest::mouseRelease(window_, Qt::RightButton, {}, kOnSwitch);
  QTest::mouseMove(window_, kOnFace);
  QTest::mouseClick(window_, Qt::RightButton, {}, kOnFace);
  EXPECT_EQ(Take(), (Events{"shape 1501", "shape 1501", "shape 1501", "menu 1501", "shape 0",
                            "shape 0", "shape 0", "menu 0"}));
}

TEST_F(DialogEventTest, KeypadPlusAndMinusAreCommandsWhateverHasTheFocus) {
  ShowDialog();
  dialog_->SetControlFocus(kBox);
  QTest::keyClick(window_, Qt::Key_Plus, Qt::KeypadModifier);
  QTest::keyClick(window_, Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(Take(), (Events{"command 2200/0", "command 2300/0"}));
  EXPECT_EQ(dialog_->GetControlText(kBox), "");
  // The main keyboard's + is an ordinary character.
  QTest::keyClick(window_, Qt::Key_Plus, Qt::NoModifier);
  EXPECT_EQ(dialog_->GetControlText(kBox), "+");
  EXPECT_TRUE(Take().empty());
  dialog_->SetControlFocus(kList);
  QTest::keyClick(window_, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(Take(), (Events{"command 2200/0"}));
}

TEST_F(DialogEventTest, EnterAndEscapeAreOkAndCancel) {
  ShowDialog();
  dialog_->SetControlFocus(kBox);
  for (const char c : std::string("SIN(x)*x^2")) QTest::keyClick(window_, c);
  QTest::keyClick(window_, Qt::Key_Return);
  QTest::keyClick(window_, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(window_, Qt::Key_Escape);
  EXPECT_EQ(Take(), (Events{"command 1/0", "command 1/0", "command 2/0"}));
  EXPECT_EQ(dialog_->GetControlText(kBox), "SIN(x)*x^2");
  EXPECT_EQ(dialog_->FocusedControl(), kBox);
  EXPECT_FALSE(dialog_->IsEnded());  // the handler decides
}

TEST_F(DialogEventTest, CloseBoxIsCancel) {
  ShowDialog();
  dialog_->Widget()->close();
  EXPECT_EQ(Take(), (Events{"command 2/0"}));
  EXPECT_TRUE(dialog_->Widget()->isVisible());
}

TEST_F(DialogEventTest, TheCloseBoxWhileTheHandlerIsBusyIsACancelOnceItIsFree) {
  ShowDialog();
  auto closeTwiceSoon = [this] {
    QTimer::singleShot(20, dialog_->Widget(), [this] {
      dialog_->Widget()->close();
      dialog_->Widget()->close();
    });
  };
  const std::function<void()> dialogWaits[] = {
      [this] { dialog_->PauseMilliseconds(150); },
      [this] { ASSERT_TRUE(dialog_->RunAndWait("sleep 0.15")); }};
  for (const auto& wait : dialogWaits) {
    closeTwiceSoon();
    wait();
    EXPECT_TRUE(Take().empty());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !events_.empty(); }, 2000));
    QTest::qWait(40);  // and only once
    EXPECT_EQ(Take(), (Events{"command 2/0"}));
  }

  // A handler that pauses (a button's flash) gets the cancel after it returns, unless it ended
  // the dialog meanwhile.
  for (const bool endsTheDialog : {false, true}) {
    onEvent_ = [&](const DialogEvent& e) {
      if (e.kind != EventKind::Timer) return;
      dialog_->StopTimer(3);
      closeTwiceSoon();
      PauseMilliseconds(150);
      if (endsTheDialog) dialog_->EndDialog(1);
    };
    dialog_->StartTimer(3, 5);
    EXPECT_TRUE(QTest::qWaitFor([this] { return events_.size() >= 2; }, 2000));
    QTest::qWait(40);
    EXPECT_EQ(Take(),
              endsTheDialog ? (Events{"timer 3", "destroy"}) : (Events{"timer 3", "command 2/0"}));
  }
}

// Closing the window while the dialog waits for a program ends the wait at once; the program
// goes on running on its own.
TEST_F(DialogEventTest, TheCloseBoxLeavesAProgramWaitedForRunning) {
  ShowDialog();
  const std::string marker = testing::TempDir() + "/left-running-" + std::to_string(::getpid());
  std::remove(marker.c_str());
  QTimer::singleShot(50, dialog_->Widget(), [this] { dialog_->Widget()->close(); });
  ASSERT_TRUE(dialog_->RunAndWait("sh -c \"sleep 0.8; touch " + marker + "\""));
  EXPECT_FALSE(std::ifstream(marker).good());
  EXPECT_TRUE(QTest::qWaitFor([this] { return !events_.empty(); }, 2000));
  EXPECT_EQ(Take(), (Events{"command 2/0"}));
  EXPECT_TRUE(QTest::qWaitFor([&marker] { return std::ifstream(marker).good(); }, 5000));
  std::remove(marker.c_str());
}

TEST_F(DialogEventTest, DoubleClickOnAListLineNotifiesCodeTwo) {
  for (const char* line : {"x^2", "SIN(x)", "LOG10(x)+1"}) dialog_->ListAdd(kList, line);
  ShowDialog();
  auto* list =
      static_cast<QListWidget*>(dialog_->Widget()->childAt(QPoint(300, 60))->parentWidget());
  ASSERT_NE(list, nullptr);
  const QRect item = list->visualItemRect(list->item(1));
  const QPoint at = list->viewport()->mapTo(dialog_->Widget(), item.center());
  QTest::mouseMove(window_, at);
  QTest::mouseDClick(window_, Qt::LeftButton, {}, at);
  Events commands;
  for (const auto& e : Take()) {
    if (e.rfind("command", 0) == 0) commands.push_back(e);
  }
  EXPECT_EQ(commands, (Events{"command 1460/2"}));
  EXPECT_EQ(dialog_->ListGetSelected(kList), "SIN(x)");
}

TEST_F(DialogEventTest, RightButtonOnAListKeepsItsSelectionAndTheFocus) {
  for (const char* line : {"x^2", "SIN(x)", "LOG10(x)+1"}) dialog_->ListAdd(kList, line);
  ShowDialog();
  dialog_->ListSelect(kList, 3);
  dialog_->SetControlFocus(kBox);
  auto* list =
      static_cast<QListWidget*>(dialog_->Widget()->childAt(QPoint(300, 60))->parentWidget());
  const QPoint first =
      list->viewport()->mapTo(dialog_->Widget(), list->visualItemRect(list->item(0)).center());
  QTest::mouseMove(window_, first);
  QTest::mouseClick(window_, Qt::RightButton, {}, first);
  QTest::mouseDClick(window_, Qt::RightButton, {}, first);
  const Events events = Take();
  EXPECT_EQ(std::count(events.begin(), events.end(), "menu 1460"), 3);  // one per release
  EXPECT_EQ(std::count(events.begin(), events.end(), "command 1460/2"), 0);
  EXPECT_EQ(dialog_->ListGetSelected(kList), "LOG10(x)+1");
  EXPECT_EQ(dialog_->FocusedControl(), kBox);

  // The left button still picks a line and takes the focus.
  QTest::mouseClick(window_, Qt::LeftButton, {}, first);
  EXPECT_EQ(dialog_->ListGetSelected(kList), "x^2");
  EXPECT_EQ(dialog_->FocusedControl(), kList);
}

TEST_F(DialogEventTest, TimersTickWithTheirIdentifierUntilStopped) {
  ShowDialog();
  dialog_->StartTimer(3, 10);
  EXPECT_TRUE(QTest::qWaitFor([this] { return events_.size() >= 2; }, 2000));
  dialog_->StopTimer(3);
  const Events ticks = Take();
  ASSERT_GE(ticks.size(), 2u);
  for (const auto& t : ticks) EXPECT_EQ(t, "timer 3");
  QTest::qWait(40);
  EXPECT_TRUE(Take().empty());
}

TEST_F(DialogEventTest, TheDialogsPauseKeepsTheHandlerOutOfTimerTicks) {
  ShowDialog();
  dialog_->StartTimer(3, 5);
  dialog_->PauseMilliseconds(60);
  EXPECT_TRUE(Take().empty());
  EXPECT_TRUE(QTest::qWaitFor([this] { return !events_.empty(); }, 2000));
  dialog_->StopTimer(3);
}

TEST_F(DialogEventTest, TheDialogsRunAndWaitKeepsTheWindowsGoingButHoldsTheHandler) {
  ShowDialog();
  dialog_->StartTimer(3, 5);
  bool windowsServed = false;
  QTimer::singleShot(40, [&windowsServed] { windowsServed = true; });
  ASSERT_TRUE(dialog_->RunAndWait("sleep 0.2"));
  EXPECT_TRUE(windowsServed);
  EXPECT_TRUE(Take().empty());
  dialog_->StopTimer(3);
}

// On the desktop RunThen is RunAndWait followed by its end, before it returns.
TEST_F(DialogEventTest, RunThenReportsTheProgramsEndBeforeReturning) {
  ShowDialog();
  const std::string marker = testing::TempDir() + "/run-then-" + std::to_string(::getpid());
  std::remove(marker.c_str());
  std::vector<std::string> ends;
  dialog_->RunThen("sh -c \"sleep 0.1; touch " + marker + "\"", [&](bool started) {
    ends.push_back(std::string(started ? "started" : "not started") +
                   (std::ifstream(marker).good() ? ", ended" : ", running"));
  });
  dialog_->RunThen("a-program-that-does-not-exist file",
                   [&](bool started) { ends.push_back(started ? "started" : "not started"); });
  EXPECT_EQ(ends, (std::vector<std::string>{"started, ended", "not started"}));
  std::remove(marker.c_str());
}

TEST_F(DialogEventTest, WaitsCalledFromTheHandlerKeepItFromBeingEnteredAgain) {
  const std::function<void()> waits[] = {[] { PauseMilliseconds(60); },
                                         [] { ASSERT_TRUE(RunAndWait("sleep 0.06")); }};
  ShowDialog();
  for (const auto& wait : waits) {
    bool inside = false;
    int reentered = 0;
    int waited = 0;
    onEvent_ = [&](const DialogEvent& e) {
      if (e.kind != EventKind::Timer) return;
      if (inside) ++reentered;
      if (inside || waited > 0) return;
      inside = true;
      wait();
      inside = false;
      ++waited;
    };
    dialog_->StartTimer(3, 5);
    EXPECT_TRUE(QTest::qWaitFor([this] { return events_.size() >= 2; }, 2000));
    dialog_->StopTimer(3);
    EXPECT_EQ(waited, 1);
    EXPECT_EQ(reentered, 0);
    onEvent_ = nullptr;
    Take();
  }
}

TEST_F(DialogEventTest, AWakeFromAnotherThreadComesOnceTheHandlerIsFree) {
  ShowDialog();
  const std::function<void(int)> wake = dialog_->WakeFromAnyThread(7);
  const struct {
    const char* name;
    int delayMs;
    int pauseMs;  // the handler is held this long right after the wake
  } cases[] = {
      {"at once", 0, 0},
      {"after its delay", 30, 0},
      {"while the handler is busy: not dropped", 0, 60},
  };
  for (const auto& c : cases) {
    std::thread([&wake, &c] { wake(c.delayMs); }).join();
    if (c.pauseMs > 0) dialog_->PauseMilliseconds(c.pauseMs);
    EXPECT_TRUE(Take().empty()) << c.name << ": never inside the caller's own turn";
    EXPECT_TRUE(QTest::qWaitFor([this] { return !events_.empty(); }, 2000)) << c.name;
    QTest::qWait(c.delayMs + 20);
    EXPECT_EQ(Take(), (Events{"timer 7"})) << c.name;
  }
  // Once the dialog has gone the wake does nothing.
  dialog_.reset();
  std::thread([&wake] { wake(0); }).join();
  QTest::qWait(20);
  EXPECT_TRUE(Take().empty());
}

TEST_F(DialogEventTest, AHandlerThatThrowsLeavesTheDialogListening) {
  ShowDialog();
  onEvent_ = [](const DialogEvent& e) {
    if (e.kind == EventKind::Command && e.id == kCommandOk) throw std::runtime_error("handler");
  };
  EXPECT_THROW(dialog_->PostEvent({EventKind::Command, kCommandOk}), std::runtime_error);
  dialog_->PostEvent({EventKind::Command, kCommandCancel});
  QTest::keyClick(window_, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(Take(), (Events{"command 1/0", "command 2/0", "command 2200/0"}));
}

TEST_F(DialogEventTest, RunModalEndsWithTheResultAndDestroy) {
  onEvent_ = [this](const DialogEvent& e) {
    if (e.kind == EventKind::Initialise) dialog_->StartTimer(3, 5);
    if (e.kind == EventKind::Timer) dialog_->EndDialog(7);
  };
  EXPECT_EQ(dialog_->RunModal(), 7);
  const Events events = Take();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.front(), "init");
  EXPECT_EQ(events.back(), "destroy");
  EXPECT_TRUE(dialog_->IsEnded());
  EXPECT_FALSE(dialog_->Widget()->isVisible());
}

TEST_F(DialogEventTest, EscapeEndsARunningModalDialogThroughTheHandler) {
  onEvent_ = [this](const DialogEvent& e) {
    if (e.kind == EventKind::Initialise) {
      QTimer::singleShot(
          30, [this] { QTest::keyClick(dialog_->Widget()->windowHandle(), Qt::Key_Escape); });
    }
    if (e.kind == EventKind::Command && e.id == kCommandCancel) dialog_->EndDialog(1);
  };
  EXPECT_EQ(dialog_->RunModal(), 1);
  EXPECT_EQ(Take(), (Events{"init", "command 2/0", "destroy"}));
}

TEST_F(DialogEventTest, RedrawShowsTheWholeBufferedPictureAtOnce) {
  ShowDialog();
  DrawingSurface& s = dialog_->AttachSurface(kBoard);
  s.ClearSurface(0x000000FF);
  s.DrawBox(10, 10, 50, 50, 0, 0x00FF0000, 0x0000FF00, 0);
  auto shown = [this](QPoint p) { return dialog_->Widget()->grab().toImage().pixelColor(p); };
  EXPECT_NE(shown(QPoint(4 + 1, 4 + 1)), QColor(255, 0, 0));  // not shown yet
  dialog_->RedrawSurface();
  EXPECT_EQ(shown(QPoint(4 + 1, 4 + 1)), QColor(255, 0, 0));
  EXPECT_EQ(shown(QPoint(4 + 10, 4 + 10)), QColor(0, 0, 255));
  EXPECT_EQ(shown(QPoint(4 + 20, 4 + 20)), QColor(0, 255, 0));
  EXPECT_EQ(shown(kOnFace), QColor(0x3C, 0x4E, 0x3C));
}

}  // namespace
}  // namespace funzioni
