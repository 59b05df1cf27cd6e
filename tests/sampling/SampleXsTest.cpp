// Where the samples lie: their counts and steps follow the zoom and the step.

#include <string>
#include <vector>

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

namespace funzioni {
namespace {

struct ViewSamplesRow {
  const char* name;
  PlotView view;
  float step;  // the step meter's value
  std::size_t count;
  double spacing;  // between neighbours, in x
};

class ViewSamples : public testing::TestWithParam<ViewSamplesRow> {};

// Within the seed views' widths (0.4 to 40) the step meter means 0.001 p units a sample; a wider
// view takes as many steps across as z = 100 (40 / 0.05 = 800 at p = 50), a narrower one as many
// as z = 1 (0.4 / 0.05 = 8).
TEST_P(ViewSamples, CountedFromTheLowEdge) {
  PlotState state;
  state.stepValue.value = GetParam().step;
  state.view = GetParam().view;
  const std::vector<float> xs = FormulaSampleXs(state);
  ASSERT_EQ(xs.size(), GetParam().count);
  EXPECT_EQ(xs.front(), static_cast<float>(GetParam().view.xMin));
  EXPECT_NEAR(xs.back(), GetParam().view.xMax, GetParam().spacing * 1e-6);
  EXPECT_NEAR(xs[1] - xs[0], GetParam().spacing, GetParam().spacing * 1e-3);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ViewSamples,
    testing::Values(ViewSamplesRow{"WithinSeedWidths", {-1, 1, -1, 1}, 50, 41, 0.05},
                    ViewSamplesRow{"TenSinePeriods", {-1800, 1800, -1, 1}, 50, 801, 4.5},
                    ViewSamplesRow{"CloseToZero", {-0.001, 0.001, -1, 1}, 50, 9, 0.00025},
                    ViewSamplesRow{"OffCentre", {28, 32, 0, 1}, 100, 41, 0.1}),
    [](const testing::TestParamInfo<ViewSamplesRow>& info) {
      return std::string(info.param.name);
    });

// A running 32-bit sum of 0.05 moves by whole float spacings at 10^6 (0.0625 there) and drifts;
// counted samples round each to the float grid, every grid point once, in order.
TEST(ViewSamplesFar, NeverStallOrRepeat) {
  PlotState state;
  state.stepValue.value = 1;  // 0.001 a unit; 2000 units wide: 0.05 apart
  state.view = PlotView{1e6 - 1000, 1e6 + 1000, -1, 1};
  const std::vector<float> xs = FormulaSampleXs(state);
  ASSERT_EQ(xs.size(), 32001u);  // 2000 / 0.0625 grid steps, each hit
  for (std::size_t i = 1; i < xs.size(); ++i) ASSERT_EQ(xs[i] - xs[i - 1], 0.0625f) << i;
  EXPECT_EQ(xs.back(), 1e6f + 1000);
  // The walk a block at a time gives the same values.
  SampleWalk walk = FormulaSampleWalk(state);
  std::vector<float> blocks;
  for (std::vector<float> block = walk.Next(1000); !block.empty(); block = walk.Next(1000)) {
    blocks.insert(blocks.end(), block.begin(), block.end());
  }
  EXPECT_EQ(blocks, xs);
}

}  // namespace
}  // namespace funzioni
