// Where the samples lie: their counts and steps follow the zoom and the step.

#include <gtest/gtest.h>

#include "sampling/SampleXs.h"
#include "state/PlotState.h"

namespace funzioni {
namespace {

TEST(SampleCounts, FollowZoomAndStep) {
  PlotState state;
  EXPECT_EQ(FormulaSampleXs(state).size(), 400u);  // z = 50, p = 50
  state.stepValue.value = 100;
  EXPECT_EQ(FormulaSampleXs(state).size(), 200u);
  EXPECT_FLOAT_EQ(FormulaSampleStep(state), 0.1f);
  EXPECT_FLOAT_EQ(BuiltinSampleStep(state), 0.05f);
  state.zoomValue.value = 1e6f;  // far past the meter's range, by the keypad
  state.stepValue.value = 1;
  EXPECT_EQ(FormulaSampleXs(state).size(), 1u);
}

}  // namespace
}  // namespace funzioni
