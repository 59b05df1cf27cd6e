// The running 32-bit sums that every walk over x takes.

#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "sampling/RunningSum.h"

namespace funzioni {
namespace {

TEST(RunningSum, DriftsAsASinglePrecisionSumAndAlwaysEnds) {
  std::vector<float> xs;
  ForEachRunningValue(-10.0f, 10.0f, 0.1f, [&](float x) { xs.push_back(x); });
  ASSERT_EQ(xs.size(), 200u);
  EXPECT_FLOAT_EQ(xs[100], 1.862645e-6f);  // passes near 0, never exactly
  EXPECT_NEAR(xs.back(), 9.9f, 1e-5f);     // and falls one step short of 10

  // A step below half the spacing of floats at x: x + step == x. The walk stops there.
  int visits = 0;
  ForEachRunningValue(-200000.0f, 200000.0f, 0.0005f, [&](float) { ++visits; });
  EXPECT_EQ(visits, 1);
  for (const float bad : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
    visits = 0;
    ForEachRunningValue(0.0f, 1.0f, bad, [&](float) { ++visits; });
    EXPECT_EQ(visits, 1) << bad;
  }
}

TEST(RunningSum, TakenInBlocksGivesTheSameWalk) {
  struct Walk {
    float start, limit, step;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const Walk w : {Walk{-10, 10, 0.3f}, Walk{-200000, 200000, 0.0005f}, Walk{0, 1, 0},
                       Walk{0, 1, nan}, Walk{1, 0, 1}, Walk{-0.1f, 0.1f, 0.001f}}) {
    std::vector<float> whole;
    ForEachRunningValue(w.start, w.limit, w.step, [&](float x) { whole.push_back(x); });
    RunningValues blocks(w.start, w.limit, w.step);
    std::vector<float> joined;
    for (std::vector<float> block; !(block = blocks.Next(7)).empty();) {
      joined.insert(joined.end(), block.begin(), block.end());
    }
    EXPECT_EQ(joined, whole) << w.start << " " << w.step;
  }
}

}  // namespace
}  // namespace funzioni
