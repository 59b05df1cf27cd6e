// The plotting area for a view a gesture has moved: the curves where the mapping puts them, the
// accelerated picture the same as the straightforward one (and the seed view's back unchanged
// after it), the readout of the view, and the view across the worker's codec.

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PlotFixture.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotBoard.h"
#include "plot/PlotWorkCodec.h"
#include "plot/ZoomWindow.h"

namespace funzioni {
namespace {

using testing::PlotFixture;

class ViewPlot : public PlotFixture {
 protected:
  std::string Pixels() const { return Plot().GetSurfacePixels(); }
  std::string AcceleratedPixels() {
    RedrawPlot(dialog, kPlotAreaId, state, evaluator, accelerator);
    return Pixels();
  }
  std::string StraightPixels() {
    Redraw();
    return Pixels();
  }
  // A yellow dot within a few pixels of (column, row).
  bool YellowNear(int column, int row) const {
    for (int dy = -2; dy <= 2; ++dy) {
      for (int dx = -2; dx <= 2; ++dx) {
        if (At(column + dx, row + dy) == testing::kYellow) return true;
      }
    }
    return false;
  }

  PlotAccelerator accelerator{2};
};

// 3600 degrees on 600 columns: sin's peaks at 90 + 360 k degrees lie in columns 315 + 60 k and
// its troughs in 345 + 60 k, ten of each; y = 1 of -1.5..1.5 is row 600 - 200 * 2.5 = 100, y = -1
// row 500.
TEST_F(ViewPlot, TenSinePeriodsInDegrees) {
  SwitchEverythingOff();
  state.currentFormula = "SIN(x)";
  state.view = PlotView{-1800, 1800, -1.5, 1.5};
  Redraw();
  for (int k = -5; k <= 4; ++k) {
    EXPECT_TRUE(YellowNear(315 + 60 * k, 100)) << k;  // 90 + 360 k degrees
    EXPECT_TRUE(YellowNear(345 + 60 * k, 500)) << k;  // 270 + 360 k degrees
  }
  // The x axis at row 300 (y = 0 in the middle; the sine crosses it every 30 columns), the y
  // axis at column 300.
  EXPECT_EQ(At(315, 300), testing::kWhite);
  EXPECT_EQ(At(300, 450), testing::kWhite);
}

// Both paths draw the same picture of every view, and the seed view's picture comes back exactly
// once the view is dropped (the kept grid is keyed by the view).
TEST_F(ViewPlot, AcceleratedMatchesStraightAndSeedComesBack) {
  state.curveOn.fill(1);
  state.currentFormula = "TAN(x)";
  const std::string seed = StraightPixels();
  const std::vector<PlotView> views{
      {-1800, 1800, -1.5, 1.5}, {80, 100, -60, 60}, {2, 12, -20, 180}, {-0.001, 0.001, -1, 1}};
  for (const PlotView& view : views) {
    state.view = view;
    EXPECT_EQ(AcceleratedPixels(), StraightPixels()) << view.xMin;
  }
  state.view.reset();
  EXPECT_EQ(AcceleratedPixels(), seed);
}

// The readout of a view: its own edges; the seed view's arithmetic without one.
TEST(ViewReadout, FollowsTheView) {
  PlotState state;
  EXPECT_EQ(PointerReadoutText(100, 0, state), "x=10.00 y=10.00");
  state.view = PlotView{20, 40, -5, 15};
  EXPECT_EQ(PointerReadoutText(50, 50, state), "x=30.00 y=5.00");
  EXPECT_EQ(PointerReadoutText(25, 100, state), "x=25.00 y=-5.00");
}

TEST(ViewCodec, TheViewCrossesToTheWorker) {
  PlotWork work;
  work.picture = PlotWork::Picture::Whole;
  work.state.view = PlotView{-1800, 1800, -1.5, 1.5};
  work.size = PixelSize{600, 600};
  const std::optional<PlotWork> back = DecodePlotWork(EncodePlotWork(work));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->state.view, work.state.view);
  // A view with its edges out of order is refused.
  work.state.view = PlotView{1, -1, 0, 1};
  EXPECT_FALSE(DecodePlotWork(EncodePlotWork(work)));

  PlotOutcome outcome;
  outcome.picture = PlotWork::Picture::Whole;
  CurveDots& dots = outcome.whole.emplace();
  dots.layer.Reset(4, 4);
  dots.view = PlotView{2, 12, -20, 180};
  dots.degrees = true;
  const std::optional<PlotOutcome> decoded = DecodePlotOutcome(EncodePlotOutcome(outcome));
  ASSERT_TRUE(decoded && decoded->whole);
  EXPECT_EQ(decoded->whole->view, dots.view);
  EXPECT_TRUE(decoded->whole->degrees);
}

}  // namespace
}  // namespace funzioni
