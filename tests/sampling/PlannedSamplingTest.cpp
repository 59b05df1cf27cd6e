// The compiled sampling path as the plot uses it: the values of a run of samples.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/FormulaPlan.h"
#include "sampling/FormulaSampling.h"
#include "sampling/PlannedSampling.h"

namespace funzioni {
namespace {

bool SameBits(Extended a, Extended b) {
  return ext::Bits(a) == ext::Bits(b);  // the 80 bits of the extended format
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
    std::vector<std::optional<Extended>> values(xs.size());
    EvaluatePlannedMany(plan ? &*plan : nullptr, evaluator, formula, xs, values);
    for (std::size_t i = 0; i < xs.size(); ++i) {
      const std::optional<Extended> expected = EvaluateFormulaAt(evaluator, formula, xs[i]);
      ASSERT_EQ(values[i].has_value(), expected.has_value()) << formula << " at " << xs[i];
      if (expected) {
        ASSERT_TRUE(SameBits(*values[i], *expected)) << formula << " at " << xs[i];
      }
    }
  }
}

}  // namespace
}  // namespace funzioni
