// Where a value lands on the plotting area.

#include <cmath>

#include <gtest/gtest.h>

#include "plot/PlotMapping.h"

namespace funzioni {
namespace {

// The column of a sample is computed from r + x without rounding the sum to 32 bits: at zoom 50
// the running x just above 8.75 lies a hair right of column 562.5, so its dot is in column 563.
TEST(PlotMapping, ColumnSumIsNotRoundedTo32Bits) {
  const PlotMapping mapping = MakePlotMapping(PixelSize{600, 600}, 50);
  const float x = 8.75000095f;
  ASSERT_GT(x, 8.75f);
  EXPECT_GT(mapping.Column(x), 562.5);
  EXPECT_EQ(std::nearbyint(mapping.Column(x)), 563);
  EXPECT_EQ(mapping.Column(-10.0f), 0);
  EXPECT_EQ(mapping.Column(10.0f), 600);
}

}  // namespace
}  // namespace funzioni
