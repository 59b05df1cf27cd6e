// The page's view gestures against a fake page: the wheel, the held keys and middle button, two
// fingers' pinch and Ctrl with the keys reach the handler as the desktop window delivers them,
// and nothing the script sends that cannot be meant gets through.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "FakePage.h"
#include "drawing/DialogServices.h"
#include "drawing/web/PageAccess.h"
#include "drawing/web/PageBridge.h"

namespace funzioni {
namespace {

using web::PointerAction;
using web::testing::FireTimeouts;

constexpr int kSurface = 5;
constexpr int kList = 7;
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

class PageGestureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    web::testing::ResetPage();
    dialog_.AddControl(ControlKind::Surface, kSurface, "", 0, 0, 100, 100);
    dialog_.AddControl(ControlKind::TextList, kList, "", 200, 0, 100, 100);
    dialog_.SetEventHandler([this](const DialogEvent& e) {
      if (e.kind != EventKind::Paint && e.kind != EventKind::Initialise) got_.push_back(e);
    });
    dialog_.Show();
    FireTimeouts();  // the first paint
    got_.clear();
  }
  void TearDown() override { web::testing::ResetPage(); }

  Dialog dialog_{"prova", 0, 0, 400, 300, true};
  std::vector<DialogEvent> got_;
};

TEST_F(PageGestureTest, WheelReachesTheControlUnderThePointer) {
  struct Row {
    const char* name;
    PixelPoint at;
    int held;
    double notches;
    bool kept;  // the page keeps the browser's own scrolling from it
    std::optional<DialogEvent> event;
  };
  const Row rows[] = {
      {"notch over a surface", {10, 20}, 0, 1, true, DialogEvent{EventKind::Wheel, kSurface, 0, 1}},
      {"Shift, toward the user",
       {10, 20},
       kHeldShift,
       -2.5,
       true,
       DialogEvent{EventKind::Wheel, kSurface, kHeldShift, -2.5}},
      {"Ctrl and middle",
       {99, 99},
       kHeldControl | kHeldMiddle,
       0.25,
       true,
       DialogEvent{EventKind::Wheel, kSurface, kHeldControl | kHeldMiddle, 0.25}},
      {"a list scrolls as well",
       {210, 20},
       0,
       1,
       false,
       DialogEvent{EventKind::Wheel, kList, 0, 1}},
      {"the face", {350, 250}, 0, 1, false, DialogEvent{EventKind::Wheel, 0, 0, 1}},
      {"outside the client area", {500, 10}, 0, 1, false, std::nullopt},
      {"a pinch claimed by the wheel",
       {10, 20},
       kHeldPinch,
       2,
       true,
       DialogEvent{EventKind::Wheel, kSurface, 0, 2}},
      {"no turn", {10, 20}, 0, 0, false, std::nullopt},
      {"not a number", {10, 20}, 0, kNan, false, std::nullopt},
      {"endless", {10, 20}, 0, kInfinity, false, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    got_.clear();
    const std::optional<web::WheelInput> wheel = web::WheelOf(row.at, row.held, row.notches);
    const bool kept = wheel && web::ShownDialog()->OnWheel(*wheel);
    EXPECT_EQ(kept, row.kept);
    ASSERT_EQ(got_.size(), row.event ? 1u : 0u);
    if (!row.event) continue;
    EXPECT_EQ(got_[0].kind, row.event->kind);
    EXPECT_EQ(got_[0].id, row.event->id);
    EXPECT_EQ(got_[0].code, row.event->code);
    EXPECT_EQ(got_[0].value, row.event->value);
    EXPECT_EQ(dialog_.GetPointerPosition(), row.at);
  }
}

// Two fingers spread to 1.25 times their distance: a pinch; a distance that cannot be one is
// dropped before it reaches the program.
TEST_F(PageGestureTest, PinchIsAWheelEventWithTheRatio) {
  struct Row {
    const char* name;
    double ratio;
    bool delivered;
  };
  const Row rows[] = {
      {"spread", 1.25, true},        {"closed", 0.5, true},   {"unchanged", 1, false},
      {"to a point", 0, false},      {"negative", -2, false}, {"not a number", kNan, false},
      {"endless", kInfinity, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    got_.clear();
    const std::optional<web::WheelInput> pinch = web::PinchOf({40, 60}, row.ratio);
    if (pinch) web::ShownDialog()->OnWheel(*pinch);
    ASSERT_EQ(got_.size(), row.delivered ? 1u : 0u);
    if (!row.delivered) continue;
    EXPECT_EQ(got_[0].kind, EventKind::Wheel);
    EXPECT_EQ(got_[0].id, kSurface);
    EXPECT_EQ(got_[0].code, kHeldPinch);
    EXPECT_EQ(got_[0].value, row.ratio);
  }
}

// The pointer's held keys and middle button come on its shape events, as the desktop's do; the
// middle button neither clicks the surface nor counts as the left or right one.
TEST_F(PageGestureTest, HeldKeysAndMiddleButtonComeWithThePointer) {
  struct Row {
    const char* name;
    PointerAction action;
    int button;
    int held;
    std::vector<int> codes;  // the events' codes, shape first
  };
  constexpr int kMiddle = 1;
  const Row rows[] = {
      {"Shift held, moving", PointerAction::Move, 0, kHeldShift, {kHeldShift}},
      {"middle pressed", PointerAction::Press, kMiddle, kHeldMiddle, {kHeldMiddle}},
      {"Ctrl with the middle",
       PointerAction::Move,
       0,
       kHeldControl | kHeldMiddle,
       {kHeldControl | kHeldMiddle}},
      {"a pinch claimed by the pointer",
       PointerAction::Move,
       0,
       kHeldPinch | kHeldShift,
       {kHeldShift}},
      {"Shift with the left press clicks",
       PointerAction::Press,
       0,
       kHeldShift,
       {kHeldShift, kNotifyClicked}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    got_.clear();
    const int buttons = row.button == 0 && row.action == PointerAction::Press ? 1 : 0;
    web::ShownDialog()->OnPointer(
        {row.action, {10, 10}, row.button, buttons, 1, -1, web::PointerHeld(row.held)});
    std::vector<int> codes;
    for (const DialogEvent& e : got_) codes.push_back(e.code);
    EXPECT_EQ(codes, row.codes);
    EXPECT_EQ(got_.at(0).kind, EventKind::PointerShape);
    EXPECT_FALSE(dialog_.IsMouseButtonDown(MouseButton::Right));
  }
}

// Ctrl with an arrow, Home or End reaches a drawn control marked, as on the desktop; Ctrl with
// the keypad's + and - marks the command.
TEST_F(PageGestureTest, CtrlKeysComeMarked) {
  web::DrawnControls& drawn = web::DrawnControlsOf(dialog_);
  ControlDescription about;
  about.role = AccessibleRole::Graphic;
  drawn.Describe(kSurface, about);
  struct Row {
    const char* name;
    int key;
    bool delivered;
  };
  const auto marked = [](ControlKey key) { return static_cast<int>(key) | kKeyWithControl; };
  const Row rows[] = {
      {"Ctrl+Left", marked(ControlKey::Left), true},
      {"Ctrl+Down", marked(ControlKey::Down), true},
      {"Ctrl+Home", marked(ControlKey::Home), true},
      {"Ctrl+End", marked(ControlKey::End), true},
      {"Ctrl+PageUp is no view key", marked(ControlKey::PageUp), false},
      {"Ctrl+Space is no view key", marked(ControlKey::Space), false},
      {"marked beyond the keys", 42 | kKeyWithControl, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    got_.clear();
    drawn.OnKey(kSurface, row.key);
    ASSERT_EQ(got_.size(), row.delivered ? 1u : 0u);
    if (!row.delivered) continue;
    EXPECT_EQ(got_[0].kind, EventKind::Key);
    EXPECT_EQ(got_[0].code, row.key);
  }
  got_.clear();
  web::ShownDialog()->OnCommandKey(kCommandKeypadPlus, kKeyWithControl);
  ASSERT_EQ(got_.size(), 1u);
  EXPECT_EQ(got_[0].id, kCommandKeypadPlus);
  EXPECT_EQ(got_[0].code, kKeyWithControl);
}

}  // namespace
}  // namespace funzioni
