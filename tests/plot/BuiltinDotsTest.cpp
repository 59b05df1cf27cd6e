// The fast path underneath the accelerated redraw: built-in rows in double precision against the
// extended-precision rows.

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "evaluator/ExpressionEvaluator.h"
#include "plot/BuiltinDots.h"
#include "plot/Curves.h"
#include "plot/PlotMapping.h"
#include "state/PlotState.h"

namespace funzioni {
namespace {

PlotMapping AreaMapping(float zoom) {
  return MakePlotMapping(PixelSize{600, 600}, zoom);
}

// A parameter as the meters make them: -10..10 in steps of 0.1 from 1.0 as 32-bit sums, or
// dragged to anywhere in between.
float RandomParameter(std::mt19937& random) {
  std::uniform_int_distribution<int> kind(0, 3);
  std::uniform_real_distribution<float> any(-10, 10);
  std::uniform_int_distribution<int> tenths(-110, 90);
  switch (kind(random)) {
    case 0:
      return any(random);
    case 1: {
      float value = 1.0f;
      const int presses = tenths(random);
      for (int i = 0; i < std::abs(presses); ++i) value += presses < 0 ? -0.1f : 0.1f;
      return std::fmax(-10.0f, std::fmin(10.0f, value));
    }
    case 2:
      return static_cast<float>(std::uniform_int_distribution<int>(-40, 40)(random)) / 4;
    default:
      return 0;
  }
}

TEST(BuiltinRows, FastRowsEqualExtendedRowsOverMillionsOfSamples) {
  std::mt19937 random(20261207);
  const float zooms[] = {1, 3.7f, 9, 10, 50, 77.3f, 100, 137, 1000};
  long long samples = 0;
  long long fallbacks = 0;
  for (int round = 0; round < 60; ++round) {
    PlotState state;
    for (int n = 1; n <= functionCount; ++n) {
      state.paramA[n].value = RandomParameter(random);
      state.paramB[n].value = RandomParameter(random);
      state.paramC[n].value = RandomParameter(random);
      state.paramD[n].value = RandomParameter(random);
    }
    const float zoom = zooms[round % std::size(zooms)];
    state.zoomValue.value = zoom;
    state.stepValue.value = 1 + static_cast<float>(round % 7) * 13;
    const BuiltinRows rows(state, AreaMapping(zoom));
    const float r = HalfRange(zoom);
    const float step = BuiltinSampleStep(state);
    for (int n = 1; n <= functionCount; ++n) {
      for (float x = -r; x <= r; x += step) {
        ASSERT_EQ(rows.Row(n, x), rows.ExactRow(n, x))
            << "function " << n << " x " << x << " zoom " << zoom << " a " << state.paramA[n].value
            << " b " << state.paramB[n].value << " c " << state.paramC[n].value << " d "
            << state.paramD[n].value;
        ++samples;
      }
    }
    fallbacks += rows.Fallbacks();
  }
  EXPECT_GT(samples, 2'000'000);
  // Falling back is the rare case, or the fast path would gain nothing.
  EXPECT_LT(fallbacks, samples / 100);
}

TEST(BuiltinRows, RowsOnARoundingBoundaryComeFromTheExtendedValue) {
  // At zoom 50 y maps to row 300 - 30 y: y = 0.25 gives row 292.5, which rounds to the even 292;
  // y = 0.35 (as a float) lies a hair away from 289.5.
  PlotState state;
  state.zoomValue.value = 50;
  state.paramA[2].value = 0;
  const float bs[] = {0.25f, -0.25f, 0.35f, 0.15f, 10.0f, -10.0f, 9.983333f};
  for (const float b : bs) {
    state.paramB[2].value = b;
    const BuiltinRows rows(state, AreaMapping(50));
    EXPECT_EQ(rows.Row(2, 1.0f), rows.ExactRow(2, 1.0f)) << b;
  }
  state.paramB[2].value = 0.25f;
  const BuiltinRows rows(state, AreaMapping(50));
  EXPECT_EQ(rows.Row(2, 3.0f), 292);
  EXPECT_EQ(rows.Fallbacks(), 1);
  // The bottom edge: y = -10 is row 600, just off the area.
  state.paramB[2].value = -10;
  EXPECT_EQ(BuiltinRows(state, AreaMapping(50)).Row(2, 0.5f), std::nullopt);
}

TEST(BuiltinRows, NoDotWhereTheFunctionHasNoValue) {
  PlotState state;
  state.zoomValue.value = 50;
  state.paramA[10].value = -1;
  state.paramA[9].value = 0;
  state.paramB[9].value = -1;  // 0 raised to a negative power
  state.paramC[4].value = 0;
  state.paramD[4].value = 0;  // a division by zero everywhere
  const BuiltinRows rows(state, AreaMapping(50));
  EXPECT_EQ(rows.Row(10, 2.0f), std::nullopt);
  EXPECT_EQ(rows.Row(10, -4.0f), 240);  // sqrt(4) = 2
  EXPECT_EQ(rows.Row(9, 2.0f), std::nullopt);
  EXPECT_EQ(rows.Row(9, 0.0f), 270);  // any power 0 is 1
  EXPECT_EQ(rows.Row(4, 1.0f), std::nullopt);
  EXPECT_EQ(PixelOnArea(-0.5, 600), 0);  // halves to even
  EXPECT_EQ(PixelOnArea(599.5, 600), std::nullopt);
  EXPECT_EQ(PixelOnArea(598.5, 600), 598);
  EXPECT_EQ(PixelOnArea(NAN, 600), std::nullopt);
}

}  // namespace
}  // namespace funzioni
