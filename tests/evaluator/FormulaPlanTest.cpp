// The compiled plan against the text engine: every sample the plan answers must give the text
// the engine gives for the substituted formula, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "evaluator/BitCast.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/FormulaPlan.h"
#include "evaluator/NumberReading.h"
#include "evaluator/NumberText.h"

namespace funzioni {
namespace {

// School formulas, and the awkward ones: signs before operands and parts, "--", joined parts,
// words, factorials, overflow, samples that fail.
const char* const kFormulas[] = {
    "SIN(x)*x^2",
    "x^2",
    "3*x^3-2*x+1",
    "(x+1)/(x-1)",
    "EXP(-x^2/2)",
    "LOG10(ABS(x)+1)",
    "SQR(x)",
    "1/x",
    "x^x",
    "COS(x)^2+SIN(x)^2",
    "ATN(x)",
    "INT(x)",
    "x MOD 3",
    "2^-x",
    "-x^2+4",
    "LOG(x)",
    "x",
    "-x",
    "+x",
    "(x)",
    "(-x)",
    "-(x)",
    "-(x-5)^2",
    "2*-(x+1)",
    "1-x",
    "1--x",
    "1+-x",
    "2*-x",
    "2^x^2",
    "x^-2",
    "x^0.5",
    "x^3",
    "(x-1)^3",
    "x\\2",
    "7\\x",
    "3 MOD x",
    "x MOD 0.3",
    "-SIN(x)^2",
    "1-SIN(x)",
    "ABS(x)-x",
    "x*x*x*x*x*x*x*x",
    "x^20",
    "EXP(x)",
    "EXP(x^2)",
    "x^x^x",
    "SIN(COS(TAN(x)))",
    "SEC(x)",
    "COT(x*90)",
    "FRAC(x)+FIX(x)+CEIL(x)+SGN(x)",
    "LN(x)+LOG2(ABS(x))+EXP2(x)+EXP10(x/5)",
    "x!",
    "(x)(x)",
    "x-(x)",
    "-(-(x))",
    "((x))",
    "(x*0)",
    "-(x*0)",
    "x*0-0",
    "1/(x-x)",
    "PI#*x",
    "x<2",
    "x AND 1",
    "SIN(x) + COS(x)",
    "x ^ 2 + 1",
    "1E2*x",
    "sin(x)",
    "X",
    "2x",
    "x.5",
    "SQR(x-1)",
    "1/(1+EXP(-x))",
    "x/3",
    "x^(1/3)",
    "(x^2-1)/(x^2+1)",
    "10^x",
    "0.1^x",
    "238^-0^x\\x^3",
    "2^+0*x",
    "x-0",
    "-(x-x)*2",
    "2^-(x-x)+x",
    "x^4",
    "(x+1)^4-x^3",
    "(x/999999/999999)^3",
    "(x*99999*99999)^4",
};

std::vector<float> RunningXs(float zoom, float step) {
  std::vector<float> xs;
  const auto r = static_cast<float>(0.2 * zoom);
  const auto dx = static_cast<float>(0.001 * step);
  for (float x = -r; x <= r; x += dx) xs.push_back(x);
  return xs;
}

TEST(FormulaPlan, DeeplyNestedFormulaIsLeftToTheTextEngine) {
  EXPECT_FALSE(FormulaPlan::Compile(std::string(3000, '(') + "x" + std::string(3000, ')')));
}

TEST(FormulaPlan, XTextFormReadsAsTheEngineReadsTheText) {
  long long checked = 0;
  std::vector<float> xs = RunningXs(100, 0.7f);
  for (const float x : RunningXs(0.5f, 0.01f)) xs.push_back(x);
  // Every 251st float of both signs between 0.0005 and 2 * 10^6.
  for (std::uint32_t bits = BitCast<std::uint32_t>(5e-4f); bits < BitCast<std::uint32_t>(2e6f);
       bits += 251) {
    xs.push_back(BitCast<float>(bits));
    xs.push_back(-BitCast<float>(bits));
  }
  for (const float x : xs) {
    const std::optional<XTextForm> form = ReadXTextForm(x);
    const std::string text = XValueText(x);
    if (!form) continue;
    ASSERT_EQ(form->value, static_cast<float>(ReadNumber(text))) << text;
    ASSERT_EQ(form->negative, text[0] == '-') << text;
    ASSERT_EQ(form->leadingPoint, text[1] == '.') << text;
    ASSERT_EQ(form->exponent, text.find('E') != std::string::npos) << text;
    ++checked;
  }
  EXPECT_GT(checked, 50000);
}

TEST(FormulaPlan, EverySampleItAnswersIsTheEnginesText) {
  struct Setting {
    float zoom, step;
  };
  const Setting settings[] = {{100, 1}, {100, 0.3f}, {50, 50}, {3, 0.1f}, {400, 7}, {0.5f, 1}};
  ExpressionEvaluator evaluator;
  long long compared = 0;
  for (const char* formula : kFormulas) {
    const std::optional<FormulaPlan> plan = FormulaPlan::Compile(formula);
    if (!plan) continue;
    for (const Setting& s : settings) {
      // Side by side, as the plot runs them: samples that fail or are declined drop out of a
      // block while the others go on.
      const std::vector<float> xs = RunningXs(s.zoom, s.step);
      std::vector<PlanOutcome> outcomes(xs.size());
      plan->RunMany(xs, outcomes);
      for (std::size_t i = 0; i < xs.size(); ++i) {
        const float x = xs[i];
        const PlanOutcome& outcome = outcomes[i];
        if (outcome.kind == PlanOutcome::Kind::Declined) continue;
        const std::string expected = evaluator.EvaluateExpressionText(SubstituteX(formula, x));
        ASSERT_EQ(PlanResultText(outcome), expected) << formula << " at " << SubstituteX("x", x);
        ++compared;
      }
    }
  }
  RecordProperty("compared", std::to_string(compared));
  EXPECT_GT(compared, 1000000);
}

}  // namespace
}  // namespace funzioni
