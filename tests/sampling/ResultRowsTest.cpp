// The results table's rows: the number mask.

#include <limits>

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
