// The compiled sampling path as the plot uses it: the value read from a result without its text,
// and the values of a run of samples.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/FormulaPlan.h"
#include "sampling/FormulaSampling.h"
#include "sampling/PlannedSampling.h"

namespace funzioni {
namespace {

bool SameBits(long double a, long double b) {
  return std::memcmp(&a, &b, 10) == 0;  // the 80 bits of the extended format
}

TEST(PlannedSampling, ValueReadWithoutTheTextIsTheTextsValue) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  const float awkward[] = {0.0f,   -0.0f,          1.0f,     -2.25f,    0.1f,
                           1e-10f, 1e-11f,         3e38f,    kInfinity, -kInfinity,
                           1e18f,  9.99999999e17f, 1.4e-45f, 123456.7f};
  long long checked = 0;
  const auto check = [&](float v) {
    const long double viaText = *ReadEvaluatorNumber(PlanResultText({PlanOutcome::Kind::Value, v}));
    ASSERT_TRUE(SameBits(ReadPlanValue(v), viaText) || (v == 0 && viaText == 0)) << v;
    ++checked;
  };
  for (const float v : awkward) check(v);
  // Every 4099th bit pattern of the finite floats of both signs.
  for (std::uint64_t bits = 0; bits < (std::uint64_t{1} << 32); bits += 4099) {
    const float v = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
    if (!std::isnan(v)) check(v);
  }
  EXPECT_GT(checked, 1000000);
}

// The plot's values of a run of samples, the plan running them side by side and the text engine
// answering the samples it declines, are the values of the text engine, bit for bit.
TEST(PlannedSampling, SamplesSideBySideGiveTheTextEnginesValues) {
  const char* const formulas[] = {"SIN(x)*x^2", "LOG(x)",    "1/(x-x)",  "x MOD 3",
                                  "2^-0^x",     "x^3-x^4/9", "SQR(x)+1", "x!"};
  std::vector<float> xs;
  for (float x = -3; x <= 3; x += 0.0173f) xs.push_back(x);
  xs.insert(xs.end(), {0.0f, -0.0f, 1e-4f, -2.5e-4f, 1e7f});
  ExpressionEvaluator evaluator;
  for (const char* formula : formulas) {
    const std::optional<FormulaPlan> plan = FormulaPlan::Compile(formula);
    std::vector<std::optional<long double>> values(xs.size());
    EvaluatePlannedMany(plan ? &*plan : nullptr, evaluator, formula, xs, values);
    for (std::size_t i = 0; i < xs.size(); ++i) {
      const std::optional<long double> expected = EvaluateFormulaAt(evaluator, formula, xs[i]);
      ASSERT_EQ(values[i].has_value(), expected.has_value()) << formula << " at " << xs[i];
      if (expected) {
        ASSERT_TRUE(SameBits(*values[i], *expected)) << formula << " at " << xs[i];
      }
    }
  }
}

}  // namespace
}  // namespace funzioni
