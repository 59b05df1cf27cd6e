// The browser backend's dialog against a fake page: the page's input becomes the same events, in
// the same order, as the desktop window gives, and the handler is never re-entered.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FakePage.h"
#include "drawing/DialogServices.h"
#include "drawing/web/PageAccess.h"
#include "drawing/web/PageBridge.h"

namespace funzioni {
namespace {

using web::PointerAction;
using web::testing::FireTimeouts;
using web::testing::Page;

constexpr int kSurface = 5;
constexpr int kTopSurface = 9;  // added later, over part of kSurface
constexpr int kList = 7;
constexpr int kLeft = 0;
constexpr int kRight = 2;

std::string Describe(const DialogEvent& e) {
  switch (e.kind) {
    case EventKind::PointerShape:
      return "shape " + std::to_string(e.id);
    case EventKind::Command:
      return "command " + std::to_string(e.id) + "/" + std::to_string(e.code);
    case EventKind::ContextMenu:
      return "menu " + std::to_string(e.id);
    case EventKind::Timer:
      return "timer " + std::to_string(e.id);
    case EventKind::Paint:
      return "paint";
    case EventKind::Initialise:
      return "initialise";
    case EventKind::Destroy:
      return "destroy";
    default:
      return "other";
  }
}

class DialogWebTest : public ::testing::Test {
 protected:
  void SetUp() override {
    web::testing::ResetPage();
    dialog_.AddControl(ControlKind::Surface, kSurface, "", 0, 0, 100, 100);
    dialog_.AddControl(ControlKind::Surface, 0, "", 100, 0, 50, 50);
    dialog_.AddControl(ControlKind::TextList, kList, "", 200, 0, 100, 100);
    dialog_.AddControl(ControlKind::Surface, kTopSurface, "", 50, 50, 100, 100);
    for (const char* line : {"x", "x^2", "sin(x)"}) dialog_.ListAdd(kList, line);
    dialog_.SetEventHandler([this](const DialogEvent& e) {
      events_.push_back(Describe(e));
      if (onEvent_) onEvent_(e);
    });
    dialog_.Show();
    FireTimeouts();  // the first paint
    events_.clear();
  }
  void TearDown() override { web::testing::ResetPage(); }

  void Pointer(PointerAction action, int x, int y, int button = kLeft, int clicks = 0,
               int line = -1) {
    const int held = action == PointerAction::Press ? (button == kLeft ? 1 : 2) : 0;
    web::ShownDialog()->OnPointer({action, {x, y}, button, held, clicks, line});
  }

  Dialog dialog_{"prova", 0, 0, 400, 300, true};
  std::vector<std::string> events_;
  std::function<void(const DialogEvent&)> onEvent_;
};

TEST_F(DialogWebTest, PointerInputGivesTheDesktopsEvents) {
  struct Row {
    const char* name;
    PointerAction action;
    int x, y, button, clicks, line;
    std::vector<std::string> events;
  };
  const Row rows[] = {
      {"move", PointerAction::Move, 10, 10, kLeft, 0, -1, {"shape 5"}},
      {"press", PointerAction::Press, 10, 10, kLeft, 1, -1, {"shape 5", "command 5/0"}},
      {"double click", PointerAction::Press, 10, 10, kLeft, 2, -1, {"shape 5", "command 5/1"}},
      {"third click presses",
       PointerAction::Press,
       10,
       10,
       kLeft,
       3,
       -1,
       {"shape 5", "command 5/0"}},
      {"later control on top",
       PointerAction::Press,
       60,
       60,
       kLeft,
       1,
       -1,
       {"shape 9", "command 9/0"}},
      {"surface 0 is not clickable", PointerAction::Press, 110, 10, kLeft, 1, -1, {"shape 0"}},
      {"right press", PointerAction::Press, 10, 10, kRight, 1, -1, {"shape 5"}},
      {"right release", PointerAction::Release, 10, 10, kRight, 0, -1, {"shape 5", "menu 5"}},
      {"left release", PointerAction::Release, 10, 10, kLeft, 0, -1, {"shape 5"}},
      {"list double click", PointerAction::Press, 210, 20, kLeft, 2, 1, {"shape 7", "command 7/2"}},
      {"list double click off the lines", PointerAction::Press, 210, 90, kLeft, 2, -1, {"shape 7"}},
      {"face", PointerAction::Press, 350, 250, kLeft, 1, -1, {"shape 0"}},
      {"outside the client area", PointerAction::Press, 500, 10, kLeft, 1, -1, {}},
  };
  for (const Row& row : rows) {
    events_.clear();
    Pointer(row.action, row.x, row.y, row.button, row.clicks, row.line);
    EXPECT_EQ(events_, row.events) << row.name;
  }
}

TEST_F(DialogWebTest, ListPressesSelectOnlyWithTheLeftButton) {
  Pointer(PointerAction::Press, 210, 20, kLeft, 1, 2);
  EXPECT_EQ(dialog_.ListGetSelected(kList), "sin(x)");
  EXPECT_EQ(Page().selected[kList], 2);
  EXPECT_EQ(Page().focused, kList);
  Pointer(PointerAction::Press, 210, 5, kRight, 1, 0);
  EXPECT_EQ(dialog_.ListGetSelected(kList), "sin(x)");
  web::ShownDialog()->OnListChoice(kList, 0);  // the keyboard's Up and Down
  EXPECT_EQ(dialog_.ListGetSelected(kList), "x");
  dialog_.ListSelect(kList, 4);  // no such line: none selected
  EXPECT_EQ(dialog_.ListGetSelected(kList), "");
}

TEST_F(DialogWebTest, ButtonsHeldFollowThePage) {
  Pointer(PointerAction::Press, 10, 10, kRight, 1);
  EXPECT_TRUE(dialog_.IsMouseButtonDown(MouseButton::Right));
  EXPECT_FALSE(dialog_.IsMouseButtonDown(MouseButton::Left));
  EXPECT_EQ(dialog_.GetPointerPosition(), (PixelPoint{10, 10}));
  web::ShownDialog()->OnButtons(0);  // released outside the window
  EXPECT_FALSE(dialog_.IsMouseButtonDown(MouseButton::Right));
}

// A pause inside the handler holds it: input meanwhile is dropped, except the cancel, which
// arrives once the handler is free.
TEST_F(DialogWebTest, NothingReachesABusyHandlerButTheCancelWaits) {
  onEvent_ = [this](const DialogEvent& e) {
    if (e.kind == EventKind::Command && e.id == kSurface) dialog_.PauseMilliseconds(100);
  };
  Page().duringPause = [] {
    web::ShownDialog()->OnPointer({PointerAction::Press, {10, 10}, kLeft, 1, 1, -1});
    web::ShownDialog()->OnCommandKey(kCommandOk);
    web::ShownDialog()->OnCommandKey(kCommandCancel);
  };
  Pointer(PointerAction::Press, 10, 10, kLeft, 1);
  EXPECT_EQ(events_, (std::vector<std::string>{"shape 5", "command 5/0"}));
  Page().duringPause = nullptr;
  FireTimeouts();
  EXPECT_EQ(events_, (std::vector<std::string>{"shape 5", "command 5/0", "command 2/0"}));
}

// A pause with a call after it returns at once, so that the page shows each frame drawn before
// it; the handler stays held (input dropped, the cancel kept, the page busy) until the last call
// has run.
TEST_F(DialogWebTest, PauseThenHoldsTheHandlerUntilItsCallsHaveRun) {
  std::vector<int> frames;
  std::function<void(int)> frame = [&](int n) {
    frames.push_back(n);
    if (n < 3) dialog_.PauseThen(4, [&frame, n] { frame(n + 1); });
  };
  onEvent_ = [&](const DialogEvent& e) {
    if (e.kind == EventKind::Command && e.id == kSurface) frame(1);
  };
  Pointer(PointerAction::Press, 10, 10, kLeft, 1);
  EXPECT_EQ(frames, (std::vector<int>{1}));
  for (int expected = 2; expected <= 3; ++expected) {
    EXPECT_EQ(web::ShownDialog()->PageState(), 1);  // painted, busy
    web::ShownDialog()->OnCommandKey(kCommandOk);
    web::ShownDialog()->OnCommandKey(kCommandCancel);
    FireTimeouts();
    EXPECT_EQ(frames.back(), expected);
  }
  for (int round = 0; round < 3 && !Page().timeouts.empty(); ++round) FireTimeouts();
  EXPECT_EQ(events_, (std::vector<std::string>{"shape 5", "command 5/0", "command 2/0"}));
  EXPECT_EQ(web::ShownDialog()->PageState(), 3);
}

TEST_F(DialogWebTest, TimersTickUntilStoppedAndKeepThePageBusy) {
  EXPECT_EQ(web::ShownDialog()->PageState(), 3);  // painted and idle
  dialog_.StartTimer(4, 0);                       // as soon as possible: work under way
  EXPECT_EQ(web::ShownDialog()->PageState(), 1);
  FireTimeouts();
  FireTimeouts();
  EXPECT_EQ(events_, (std::vector<std::string>{"timer 4", "timer 4"}));
  dialog_.StopTimer(4);
  dialog_.StartTimer(3, 100);  // a clock's tick is no work
  EXPECT_EQ(web::ShownDialog()->PageState(), 3);
  FireTimeouts();
  EXPECT_EQ(events_, (std::vector<std::string>{"timer 4", "timer 4", "timer 3"}));
}

// A redraw asked for, and a background instance's wake, come right after the page's task under
// way instead of after a timeout; one asked for from such a call waits for a timeout, so that
// the browser's own tasks still come between.
TEST_F(DialogWebTest, WorkWantedAtOnceComesRightAfterTheTaskUnderWay) {
  const auto delays = [] {
    std::vector<int> all;
    for (const auto& entry : Page().timeouts) all.push_back(entry.second);
    return all;
  };
  dialog_.StartTimer(4, 0);
  EXPECT_EQ(delays(), (std::vector<int>{web::kSoonDelay}));
  FireTimeouts();
  EXPECT_EQ(events_, (std::vector<std::string>{"timer 4"}));
  EXPECT_EQ(delays(), (std::vector<int>{1})) << "ticking on while not stopped";
  dialog_.StopTimer(4);
  EXPECT_TRUE(Page().timeouts.empty());

  const std::function<void(int)> wake = dialog_.WakeFromAnyThread(6);
  wake(0);
  EXPECT_EQ(delays(), (std::vector<int>{web::kSoonDelay}));
  onEvent_ = [&](const DialogEvent& e) {
    if (e.kind != EventKind::Timer || e.id != 6) return;
    dialog_.StartTimer(4, 0);
    wake(0);
  };
  FireTimeouts();
  EXPECT_EQ(events_, (std::vector<std::string>{"timer 4", "timer 6"}));
  EXPECT_EQ(delays(), (std::vector<int>{1, 0})) << "asked for from a soon call";
  onEvent_ = nullptr;
  FireTimeouts();
  EXPECT_EQ(events_, (std::vector<std::string>{"timer 4", "timer 6", "timer 4", "timer 6"}));
  dialog_.StopTimer(4);
  dialog_.StartTimer(4, 0);  // the soon call over, the next is soon again
  EXPECT_EQ(delays(), (std::vector<int>{web::kSoonDelay}));
}

TEST_F(DialogWebTest, TheCancelEndsTheDialogOnce) {
  onEvent_ = [this](const DialogEvent& e) {
    if (e.kind == EventKind::Command && e.id == kCommandCancel) dialog_.EndDialog(1);
  };
  web::ShownDialog()->OnCommandKey(kCommandCancel);
  EXPECT_TRUE(dialog_.IsEnded());
  EXPECT_TRUE(Page().ended);
  EXPECT_EQ(events_, (std::vector<std::string>{"command 2/0", "destroy"}));
  EXPECT_EQ(web::ShownDialog()->PageState() & 4, 4);
  Pointer(PointerAction::Press, 10, 10);
  web::ShownDialog()->OnCommandKey(kCommandCancel);
  EXPECT_EQ(events_.size(), 2u);
}

// Drawn controls take the focus only in the keyboard order, and take only the keys and requests
// the desktop gives their kind; their mirrors follow the order the controls were added in.
TEST_F(DialogWebTest, DrawnControlsFollowTheDesktopsRules) {
  web::DrawnControls& drawn = web::DrawnControlsOf(dialog_);
  const auto described = [](AccessibleRole role) {
    ControlDescription about;
    about.role = role;
    return about;
  };
  drawn.Describe(kSurface, described(AccessibleRole::Slider));
  drawn.Describe(kTopSurface, described(AccessibleRole::CheckBox));
  const int order[] = {kSurface, kList};
  drawn.SetKeyboardOrder(order);
  EXPECT_EQ(Page().mirrors[kSurface], std::make_pair(0, kList));
  EXPECT_EQ(Page().mirrors[kTopSurface], std::make_pair(3, 0));
  dialog_.SetControlFocus(kTopSurface);
  EXPECT_EQ(Page().focusedMirror, 0);
  dialog_.SetControlFocus(kSurface);
  EXPECT_EQ(dialog_.FocusedControl(), kSurface);

  std::vector<DialogEvent> got;
  onEvent_ = [&got](const DialogEvent& e) { got.push_back(e); };
  struct Row {
    const char* name;
    int id;
    int request;  // -1: a key instead, `key`
    int key;
    double value;
    bool delivered;
  };
  const double nan = std::nan("");
  const Row rows[] = {
      {"slider steps", kSurface, static_cast<int>(AccessRequest::Increase), 0, 0, true},
      {"slider set", kSurface, static_cast<int>(AccessRequest::SetValue), 0, 4.5, true},
      {"slider set to nothing", kSurface, static_cast<int>(AccessRequest::SetValue), 0, nan, false},
      {"slider toggled", kSurface, static_cast<int>(AccessRequest::Toggle), 0, 0, false},
      {"check box toggled", kTopSurface, static_cast<int>(AccessRequest::Toggle), 0, 0, true},
      {"check box pressed", kTopSurface, static_cast<int>(AccessRequest::Press), 0, 0, false},
      {"unknown request", kSurface, 9, 0, 0, false},
      {"undescribed control", 0, static_cast<int>(AccessRequest::Press), 0, 0, false},
      {"End", kSurface, -1, static_cast<int>(ControlKey::End), 0, true},
      {"unknown key", kSurface, -1, 42, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    got.clear();
    if (row.request < 0) {
      drawn.OnKey(row.id, row.key);
    } else {
      drawn.OnRequest(row.id, row.request, row.value);
    }
    ASSERT_EQ(got.size(), row.delivered ? 1u : 0u);
    if (!row.delivered) continue;
    EXPECT_EQ(got[0].id, row.id);
    EXPECT_EQ(got[0].kind, row.request < 0 ? EventKind::Key : EventKind::Access);
  }
}

}  // namespace
}  // namespace funzioni
