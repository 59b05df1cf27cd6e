#include "app/Parameters.h"

#include <gtest/gtest.h>

#include <vector>

namespace funzioni {
namespace {

// The pointer's percentage over a meter at its left edge (PointerPercentX adds one pixel).
float LeftEdgePercent(int width) {
  return static_cast<float>(1 * 100.0 / width);
}

TEST(ShellParameterMasks, WriteOneDecimalAndWholeNumbers) {
  struct Case {
    float value;
    const char* oneDecimal;
    const char* whole;
  };
  const std::vector<Case> cases = {
      {0.0f, "0.0", "0"},      {1.0f, "1.0", "1"},    {1.5f, "1.5", "2"},
      {0.05f, "0.1", "0"},     {0.25f, "0.3", "0"},   {-0.04f, "-0.0", "-0"},
      {12.345f, "12.3", "12"}, {9.95f, "9.9", "10"},  {-9.789474f, "-9.8", "-10"},
      {20.2f, "20.2", "20"},   {49.5f, "49.5", "50"}, {0.2747f, "0.3", "0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatOneDecimal(c.value), c.oneDecimal) << c.value;
    EXPECT_EQ(FormatWhole(c.value), c.whole) << c.value;
  }
}

TEST(ShellParameterMeters, IdentifiersNameALetterAndAFunction) {
  struct Case {
    int id;
    char letter;
    int function;
  };
  for (const Case c : std::vector<Case>{
           {1001, 'a', 1}, {1110, 'b', 10}, {1204, 'c', 4}, {1304, 'd', 4}, {1005, 'a', 5}}) {
    const auto meter = ParameterMeterOf(c.id);
    ASSERT_TRUE(meter.has_value()) << c.id;
    EXPECT_EQ(meter->letter, c.letter);
    EXPECT_EQ(meter->function, c.function);
    EXPECT_EQ(ParameterMeterId(*meter), c.id);
  }
  for (const int id : {0, 1000, 1011, 1100, 1311, 1400, 1450, 1501, 1950, 2000}) {
    EXPECT_FALSE(ParameterMeterOf(id).has_value()) << id;
  }
  PlotState state;
  ParameterRecord(state, {'a', 5}).value = 3.0f;
  ParameterRecord(state, {'c', 4}).value = -2.0f;
  EXPECT_EQ(state.paramA[5].value, 3.0f);
  EXPECT_EQ(state.paramA[6].value, 1.0f);
  EXPECT_EQ(state.paramC[4].value, -2.0f);
  EXPECT_EQ(state.paramD[4].value, 1.0f);
}

TEST(ShellParameterValues, DragResetAndKeypad) {
  PlotState state;
  ParamRecord& a = state.paramA[3];

  MeterLook look = DragParameter(a, 'a', 100.0f);
  EXPECT_EQ(a.value, 10.0f);
  EXPECT_EQ(look.needle, 100.0f);
  EXPECT_EQ(look.caption, "a =10.0");

  look = DragParameter(a, 'a', LeftEdgePercent(95));
  EXPECT_LT(a.value, -9.7f);
  EXPECT_GT(a.value, -10.0f);
  EXPECT_EQ(look.caption, "a =-9.8");

  look = ResetParameter(a, 'a');
  EXPECT_EQ(a.value, 1.0f);
  EXPECT_EQ(look.needle, 55.0f);
  EXPECT_EQ(look.caption, "a =1.0");

  ParamRecord& b = state.paramB[2];
  for (int press = 0; press < 5; ++press) look = StepParameter(b, 'b', +1);
  EXPECT_NEAR(b.value, 1.5f, 1e-5f);
  EXPECT_EQ(look.caption, "b =1.5");
  for (int press = 0; press < 100; ++press) look = StepParameter(b, 'b', +1);
  EXPECT_EQ(b.value, 10.0f);
  EXPECT_EQ(look.needle, 100.0f);
  EXPECT_EQ(look.caption, "b =10.0");
  for (int press = 0; press < 300; ++press) look = StepParameter(b, 'b', -1);
  EXPECT_EQ(b.value, -10.0f);
  EXPECT_EQ(look.needle, 0.0f);
  EXPECT_EQ(look.caption, "b =-10.0");

  // A drag beyond the meter (the percentage is capped at 100 by the caller, not below 0) clamps.
  DragParameter(a, 'a', -50.0f);
  EXPECT_EQ(a.value, -10.0f);
}

TEST(ShellParameterValues, EveryStepIsRoundedToSinglePrecision) {
  ParamRecord record{-10.0f, 10.0f, 1.0f, 1.0f, 0.1f};
  StepParameter(record, 'a', +1);
  EXPECT_EQ(record.value, 1.0f + 0.1f);  // float addition, not 1.1 in double
  DragParameter(record, 'a', 33.3f);
  const float fraction = static_cast<float>(33.3f * 0.01);
  EXPECT_EQ(record.value, static_cast<float>(static_cast<float>(fraction * 20.0f) - 10.0f));
}

TEST(ShellZoomValue, DragResetAndKeypad) {
  PlotState state;
  ParamRecord& zoom = state.zoomValue;

  MeterLook look = DragZoom(zoom, 50.0f);
  EXPECT_EQ(zoom.value, 50.0f);
  EXPECT_NEAR(look.needle, 49.4949f, 1e-3f);
  EXPECT_EQ(look.caption, "zoom 9.9");

  look = DragZoom(zoom, 100.0f);
  EXPECT_EQ(zoom.value, 100.0f);
  EXPECT_EQ(look.needle, 100.0f);
  EXPECT_EQ(look.caption, "zoom 20.0");

  look = ResetZoom(zoom);
  EXPECT_EQ(zoom.value, 50.0f);
  EXPECT_EQ(look.needle, 50.0f);
  EXPECT_EQ(look.caption, "zoom 10.0");

  look = DragZoom(zoom, LeftEdgePercent(364));
  EXPECT_EQ(zoom.value, 1.0f);
  EXPECT_EQ(look.needle, 0.0f);
  EXPECT_EQ(look.caption, "zoom 0.0");

  look = StepZoom(zoom, -1);
  EXPECT_EQ(zoom.value, 1.0f);
  EXPECT_EQ(look.caption, "zoom 0.2");

  zoom.value = 100.0f;
  look = StepZoom(zoom, +1);
  EXPECT_EQ(zoom.value, 101.0f);
  EXPECT_EQ(look.needle, 101.0f);
  EXPECT_EQ(look.caption, "zoom 20.2");
}

TEST(ShellStepValue, DragResetAndKeypad) {
  PlotState state;
  ParamRecord& step = state.stepValue;

  MeterLook look = DragStep(step, LeftEdgePercent(364));
  EXPECT_LT(step.value, 1.0f);
  EXPECT_NEAR(step.value, 0.27f, 0.01f);
  EXPECT_EQ(look.caption, "passo 0");

  look = StepStep(step, -1);
  EXPECT_EQ(step.value, 1.0f);
  EXPECT_EQ(look.caption, "passo 1");

  look = DragStep(step, 73.6f);
  EXPECT_EQ(look.needle, 73.6f);
  EXPECT_EQ(look.caption, "passo 74");

  look = ResetStep(step);
  EXPECT_EQ(step.value, 50.0f);
  EXPECT_EQ(look.needle, 50.0f);
  EXPECT_EQ(look.caption, "passo 50");

  step.value = 100.0f;
  look = StepStep(step, +1);
  EXPECT_EQ(step.value, 101.0f);
  EXPECT_EQ(look.caption, "passo 101");
}

}  // namespace
}  // namespace funzioni
