// Reading the evaluator's answers: failures, numbers, and a plan's value read without its text.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "HardwareReference.h"
#include "evaluator/BitCast.h"
#include "evaluator/FormulaPlan.h"
#include "evaluator/ResultReading.h"

namespace funzioni {
namespace {

using reference::SameBits;

TEST(EvaluatorAnswers, ErrorsAndNumbers) {
  EXPECT_TRUE(IsEvaluatorError("   Error in Expression: Division by zero"));
  EXPECT_TRUE(IsEvaluatorError("ERROR"));
  EXPECT_FALSE(IsEvaluatorError(" 1.5"));
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c : {Case{" 1.5", 1.5}, Case{"-.2", -0.2}, Case{" .05", 0.05},
                        Case{" 1E+20", 1e20}, Case{" 2.5E-21", 2.5e-21}, Case{"   7", 7}}) {
    const auto value = ReadEvaluatorNumber(c.text);
    ASSERT_TRUE(value.has_value()) << c.text;
    EXPECT_DOUBLE_EQ(static_cast<double>(*value), c.value) << c.text;
  }
  EXPECT_FALSE(ReadEvaluatorNumber("").has_value());
  EXPECT_FALSE(ReadEvaluatorNumber("   ").has_value());
  EXPECT_FALSE(ReadEvaluatorNumber("abc").has_value());
  EXPECT_GT(static_cast<double>(*ReadEvaluatorNumber(" 9.99999999999999999E+998")), 1e308);
  EXPECT_TRUE(ext::IsInf(*ReadEvaluatorNumber(" 1E+99999")));
}

TEST(ReadPlanValue, ValueReadWithoutTheTextIsTheTextsValue) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  const float awkward[] = {0.0f,   -0.0f,          1.0f,     -2.25f,    0.1f,
                           1e-10f, 1e-11f,         3e38f,    kInfinity, -kInfinity,
                           1e18f,  9.99999999e17f, 1.4e-45f, 123456.7f};
  long long checked = 0;
  const auto check = [&](float v) {
    const Extended viaText = *ReadEvaluatorNumber(PlanResultText({PlanOutcome::Kind::Value, v}));
    ASSERT_TRUE(SameBits(ReadPlanValue(v), viaText) || (v == 0 && viaText == 0)) << v;
    ++checked;
  };
  for (const float v : awkward) check(v);
  // Every 4099th bit pattern of the finite floats of both signs.
  for (std::uint64_t bits = 0; bits < (std::uint64_t{1} << 32); bits += 4099) {
    const float v = BitCast<float>(static_cast<std::uint32_t>(bits));
    if (!std::isnan(v)) check(v);
  }
  EXPECT_GT(checked, 1000000);
}

}  // namespace
}  // namespace funzioni
