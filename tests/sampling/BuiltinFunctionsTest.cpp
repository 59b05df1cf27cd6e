// The built-in functions computed directly: the power rule and each function's parameters.

#include <cmath>

#include <gtest/gtest.h>

#include "sampling/BuiltinFunctions.h"
#include "state/PlotState.h"

namespace funzioni {
namespace {

TEST(PowerExtended, Rules) {
  struct Case {
    Extended u, v, expected;
  };
  const Case cases[] = {
      {0, 0, 1},    {-3, 0, 1},    {0, 2.5, 0},      {2, 10, 1024}, {-2, 3, -8}, {-2, 2.4, 4},
      {-2, 2.5, 4}, {-2, 3.5, 16}, {-2, -1.5, 0.25}, {-1, -0.4, 1}, {4, 0.5, 2}, {-2, -3, -0.125},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(static_cast<double>(PowerExtended(c.u, c.v)), static_cast<double>(c.expected),
                1e-12)
        << static_cast<double>(c.u) << " ^ " << static_cast<double>(c.v);
  }
  EXPECT_TRUE(ext::IsNan(PowerExtended(0, -1)));
}

TEST(BuiltinValue, ParametersAndNoValueCases) {
  PlotState state;
  state.paramA[4].value = 1;
  state.paramB[4].value = 1;
  state.paramC[4].value = 1;
  state.paramD[4].value = 0;
  EXPECT_DOUBLE_EQ(static_cast<double>(*BuiltinValue(state, 4, 1.0f)), 2.0);
  EXPECT_FALSE(ext::IsFinite(*BuiltinValue(state, 4, 0.0f)));  // no dot, but a table row

  state.paramA[10].value = -1;
  EXPECT_FALSE(BuiltinValue(state, 10, 0.5f).has_value());
  EXPECT_DOUBLE_EQ(static_cast<double>(*BuiltinValue(state, 10, -4.0f)), 2.0);

  // Function 9 reads b: (a.x)^(b.x), with the exponent rounded for a negative base.
  state.paramB[9].value = 2;
  EXPECT_NEAR(static_cast<double>(*BuiltinValue(state, 9, 1.5f)), std::pow(1.5, 3.0), 1e-12);
  // (-0.6)^round(-1.2) = (-0.6)^-1
  EXPECT_NEAR(static_cast<double>(*BuiltinValue(state, 9, -0.6f)), -1.0 / double{0.6f}, 1e-9);
  EXPECT_NEAR(static_cast<double>(*BuiltinValue(state, 8, 3.0f)), 8.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(*BuiltinValue(state, 5, 0.5f)), std::sin(0.5), 1e-7);
}

}  // namespace
}  // namespace funzioni
