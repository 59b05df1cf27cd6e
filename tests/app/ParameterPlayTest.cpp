#include "app/ParameterPlay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace funzioni {
namespace {

ParamRecord Range(float minimum, float maximum, float value, float step) {
  return {minimum, maximum, value, 1.0f, step};
}

TEST(ParameterPlayNext, EachModeAtTheEndsAndBetween) {
  struct Case {
    const char* name;
    ParamRecord record;
    PlayMode mode;
    int direction;
    PlayStep expected;
  };
  const std::vector<Case> cases = {
      {"forward midway", Range(-10, 10, 1, 0.5f), PlayMode::Forward, 1, {1.5f, 1, false}},
      {"forward to the top", Range(-10, 10, 9.5f, 0.5f), PlayMode::Forward, 1, {10, 1, false}},
      {"forward at the top ends", Range(-10, 10, 10, 0.5f), PlayMode::Forward, 1, {10, 1, true}},
      {"forward ignores a down direction",
       Range(-2, 2, 0, 0.5f),
       PlayMode::Forward,
       -1,
       {0.5f, 1, false}},
      {"whole steps end on the top",
       Range(0, 1, 0.75f, 0.25f),
       PlayMode::Forward,
       1,
       {1, 1, false}},
      // 1 is no whole number of 0.3 steps: after 0.9 a shorter step ends on the top.
      {"uneven step: 0.9 then the top",
       Range(0, 1, 0.875f, 0.3f),
       PlayMode::Forward,
       1,
       {1, 1, false}},
      {"loop at the top wraps", Range(-10, 10, 10, 0.5f), PlayMode::Loop, 1, {-10, 1, false}},
      {"loop midway", Range(-10, 10, -10, 0.5f), PlayMode::Loop, 1, {-9.5f, 1, false}},
      {"bounce at the top turns",
       Range(-10, 10, 10, 0.5f),
       PlayMode::BackAndForth,
       1,
       {9.5f, -1, false}},
      {"bounce at the bottom turns",
       Range(-10, 10, -10, 0.5f),
       PlayMode::BackAndForth,
       -1,
       {-9.5f, 1, false}},
      {"bounce down midway",
       Range(-10, 10, 0, 0.5f),
       PlayMode::BackAndForth,
       -1,
       {-0.5f, -1, false}},
      {"bounce up midway", Range(-10, 10, 0, 0.5f), PlayMode::BackAndForth, 1, {0.5f, 1, false}},
      // A dragged value between two points counts as the nearest: 0.3 as 0.5, then 1.
      {"off the points: from the nearest",
       Range(-10, 10, 0.3f, 0.5f),
       PlayMode::Forward,
       1,
       {1, 1, false}},
      {"one step range bounces end to end",
       Range(0, 1, 1, 1),
       PlayMode::BackAndForth,
       1,
       {0, -1, false}},
  };
  for (const Case& c : cases) {
    const PlayStep next = NextPlayStep(c.record, c.mode, c.direction);
    EXPECT_FLOAT_EQ(next.value, c.expected.value) << c.name;
    EXPECT_EQ(next.direction, c.expected.direction) << c.name;
    EXPECT_EQ(next.ended, c.expected.ended) << c.name;
  }
}

// 0.1f is a little more than a tenth: -10..10 still takes 200 steps, none of them a sliver just
// under 10, and the values stay within a float's rounding of the tenths.
TEST(ParameterPlayNext, TheDefaultRangeTakesTwoHundredTenthsAndEnds) {
  ParamRecord record = kParameterStart;
  record.value = record.minimum;
  int steps = 0;
  for (;;) {
    const PlayStep next = NextPlayStep(record, PlayMode::Forward, 1);
    if (next.ended) break;
    ASSERT_LT(++steps, 1000);
    EXPECT_GT(next.value, record.value);
    record.value = next.value;
    EXPECT_NEAR(record.value, -10.0 + steps / 10.0, 2e-6) << steps;
  }
  EXPECT_EQ(steps, 200);
  EXPECT_EQ(record.value, 10.0f);
}

// Back and forth returns to where it started after twice the range's steps, through both ends.
TEST(ParameterPlayNext, BackAndForthComesBackAfterTwiceTheSteps) {
  ParamRecord record = Range(-1, 1, -1, 0.25f);
  int direction = -1;
  bool sawTop = false;
  for (int i = 0; i < 16; ++i) {
    const PlayStep next = NextPlayStep(record, PlayMode::BackAndForth, direction);
    record.value = next.value;
    direction = next.direction;
    sawTop = sawTop || record.value == 1.0f;
  }
  EXPECT_TRUE(sawTop);
  EXPECT_EQ(record.value, -1.0f);
}

TEST(ParameterPlayStart, AForwardPlayAtTheTopStartsAtTheBottom) {
  struct Case {
    const char* name;
    float value;
    PlayMode mode;
    float start;
  };
  for (const Case& c : std::vector<Case>{{"forward at top", 10, PlayMode::Forward, -10},
                                         {"forward midway", 2, PlayMode::Forward, 2},
                                         {"loop at top", 10, PlayMode::Loop, 10},
                                         {"bounce at top", 10, PlayMode::BackAndForth, 10}}) {
    EXPECT_EQ(PlayStart(Range(-10, 10, c.value, 0.1f), c.mode), c.start) << c.name;
  }
}

TEST(ParameterEnds, InvalidEndsAreRefusedAndChangeNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    ParameterEnds ends;
    bool taken;
  };
  const std::vector<Case> cases = {
      {"the usual", {-10, 10, 0.1}, true},
      {"narrow", {0, 1, 0.01}, true},
      {"step the whole range", {0, 1, 1}, true},
      {"at the limits", {-1e6, 1e6, 20}, true},
      {"min equals max", {2, 2, 0.1}, false},
      {"min above max", {5, -5, 0.1}, false},
      // Ends a float cannot tell apart are one end.
      {"ends one float apart are equal", {1, 1 + 1e-9, 1e-10}, false},
      {"step zero", {-1, 1, 0}, false},
      {"step negative", {-1, 1, -0.1}, false},
      {"step under a float", {-1, 1, 1e-50}, false},
      {"step wider than the range", {-1, 1, 3}, false},
      {"too many steps", {-100, 100, 0.001}, false},
      {"minimum not a number", {nan, 1, 0.1}, false},
      {"infinite maximum", {0, inf, 0.1}, false},
      {"step not a number", {0, 1, nan}, false},
      {"end past the limit", {-2e6, 0, 1000}, false},
  };
  for (const Case& c : cases) {
    ParamRecord record = kParameterStart;
    const std::optional<std::string> refusal = SetParameterEnds(record, c.ends);
    EXPECT_EQ(!refusal.has_value(), c.taken) << c.name;
    if (c.taken) {
      EXPECT_EQ(record.minimum, static_cast<float>(c.ends.minimum)) << c.name;
      EXPECT_EQ(record.maximum, static_cast<float>(c.ends.maximum)) << c.name;
      EXPECT_EQ(record.step, static_cast<float>(c.ends.step)) << c.name;
      continue;
    }
    EXPECT_FALSE(refusal->empty()) << c.name;
    EXPECT_EQ(record.minimum, kParameterStart.minimum) << c.name;
    EXPECT_EQ(record.maximum, kParameterStart.maximum) << c.name;
    EXPECT_EQ(record.step, kParameterStart.step) << c.name;
    EXPECT_EQ(record.value, kParameterStart.value) << c.name;
  }
}

TEST(ParameterEnds, TheValueAndItsResetComeInsideTheNewRange) {
  struct Case {
    const char* name;
    float value;
    ParameterEnds ends;
    float expectedValue;
    float expectedReset;
  };
  for (const Case& c : std::vector<Case>{{"inside stays", 0.5f, {-1, 1, 0.1}, 0.5f, 1},
                                         {"above comes to the top", 7, {-5, 5, 1}, 5, 1},
                                         {"below comes to the bottom", -7, {0, 10, 1}, 0, 1},
                                         {"reset above the range", 0, {-1, 0.5, 0.1}, 0, 0.5f}}) {
    ParamRecord record = kParameterStart;
    record.value = c.value;
    ASSERT_FALSE(SetParameterEnds(record, c.ends)) << c.name;
    EXPECT_EQ(record.value, c.expectedValue) << c.name;
    EXPECT_EQ(record.resetValue, c.expectedReset) << c.name;
  }
}

TEST(ParameterPlaySpeed, PeriodsAreWholeMillisecondsPerStep) {
  EXPECT_EQ(PlayPeriodMs(4), 250);
  EXPECT_EQ(PlayPeriodMs(10), 100);
  EXPECT_EQ(PlayPeriodMs(25), 40);
  EXPECT_EQ(PlayPeriodMs(0), 1000);  // never a division by zero
}

}  // namespace
}  // namespace funzioni
