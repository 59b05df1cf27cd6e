// The results table's rows: the number mask.

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sampling/ResultRows.h"

namespace funzioni {
namespace {

TEST(ResultNumberText, Mask) {
  struct Case {
    float value;
    const char* text;
  };
  const Case cases[] = {
      {0.0f, " 0"},
      {-0.0f, " 0"},
      {5.0f, " 5.0"},
      {-2.0f, "-2.0"},
      {0.04f, " 0.0"},
      {-0.04f, "-0.0"},
      {12.345f, " 12.3"},
      {101.0f, " 101.0"},
      {1.862645e-6f, " 0.0"},
      {-9.9f, "-9.9"},
      {0.96f, " 1.0"},
      // Exact halves round away from zero; a float near a half rounds by its exact value.
      {0.25f, " 0.3"},
      {-0.25f, "-0.3"},
      {0.75f, " 0.8"},
      {-2.25f, "-2.3"},
      {630956.25f, " 630956.3"},
      {-4194303.75f, "-4194303.8"},
      {0.35f, " 0.3"},   // 0.3499999940...
      {0.15f, " 0.2"},   // 0.1500000059...
      {-1.05f, "-1.0"},  // -1.0499999523...
      {std::numeric_limits<float>::infinity(), " inf"},
      {-std::numeric_limits<float>::infinity(), "-inf"},
      {std::numeric_limits<float>::quiet_NaN(), " nan"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResultNumberText(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace funzioni

namespace funzioni {
namespace {

struct ViewTableRow {
  const char* name;
  PlotView view;
  bool degrees;
  double step;
  std::size_t rows;
};

class ViewTable : public testing::TestWithParam<ViewTableRow> {};

// At most 400 rows, never closer than a tenth, at whole multiples of a step of the ticks' rule.
TEST_P(ViewTable, StepKeepsAFewHundredRows) {
  const ViewTableRow& row = GetParam();
  EXPECT_DOUBLE_EQ(ViewTableStep(row.view, row.degrees), row.step);
  PlotState state;
  state.view = row.view;
  const std::vector<float> xs = ResultSampleXs(state, row.degrees);
  ASSERT_EQ(xs.size(), row.rows);
  for (const float x : xs) {
    const double multiple = x / row.step;
    EXPECT_NEAR(multiple, std::round(multiple), 1e-4) << x;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ViewTable,
    testing::Values(ViewTableRow{"SineInDegrees", {-1800, 1800, -1, 1}, true, 15, 241},
                    ViewTableRow{"SameInUnits", {-1800, 1800, -1, 1}, false, 10, 361},
                    ViewTableRow{"NarrowStaysAtTenths", {-1, 1, -1, 1}, false, 0.1, 21},
                    ViewTableRow{"EdgesBetweenMultiples", {0.05, 0.25, -1, 1}, false, 0.1, 2},
                    ViewTableRow{"Widest", {-1e6, 1e6, -1, 1}, false, 5000, 401}),
    [](const testing::TestParamInfo<ViewTableRow>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace funzioni
