// The typed formula evaluated on several threads: the same values in the same order, and a job
// dropped unfinished.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "evaluator/ExpressionEvaluator.h"
#include "sampling/FormulaSampler.h"
#include "sampling/FormulaSampling.h"

namespace funzioni {
namespace {

TEST(FormulaSampler, ThreadsGiveTheSameValuesInTheSameOrder) {
  ExpressionEvaluator evaluator;
  std::vector<float> xs;
  for (float x = -20; x <= 20; x += 0.0137f) xs.push_back(x);
  const std::vector<float> few(xs.begin(), xs.begin() + 40);
  const std::vector<float>* const inputs[] = {&xs, &few};
  for (const char* formula : {"SIN(x)*x^2", "LOG(x)", "1/x", "SQR(x)", "x+"}) {
    for (const std::vector<float>* points : inputs) {
      std::vector<std::optional<Extended>> expected;
      for (const float x : *points) expected.push_back(EvaluateFormulaAt(evaluator, formula, x));
      for (const unsigned threads : {1u, 2u, 3u}) {
        FormulaSampler sampler(threads);
        EXPECT_EQ(sampler.Evaluate(evaluator, formula, *points), expected)
            << formula << " on " << threads << " threads, " << points->size() << " samples";
      }
    }
  }
}

TEST(FormulaSampler, AnEvaluationLeftUnfinishedEndsCleanly) {
  ExpressionEvaluator evaluator;
  std::vector<float> xs(20000);
  for (std::size_t i = 0; i < xs.size(); ++i) xs[i] = static_cast<float>(i) / 1000;
  FormulaSampler sampler(2);
  // Dropped while the helper works: it stops, and the sampler is free for the next job.
  sampler.Start("SIN(x)*x^2", xs).reset();
  const FormulaValues values = sampler.Evaluate(evaluator, "x*2", std::span(xs).first(3));
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[2], EvaluateFormulaAt(evaluator, "x*2", xs[2]));
}

TEST(FormulaSampler, AFormulaIsCompiledOnceForAllItsJobs) {
  ExpressionEvaluator evaluator;
  const std::vector<float> xs = {-1.5f, 0.25f, 2.0f};
  FormulaSampler sampler(2);
  const FormulaValues first = sampler.Evaluate(evaluator, "x^2+1", xs);
  EXPECT_EQ(sampler.Evaluate(evaluator, "x^2+1", xs), first);
  EXPECT_EQ(sampler.Compilations(), 1);
  sampler.Evaluate(evaluator, "x+", xs);  // no plan is kept as well
  sampler.Evaluate(evaluator, "x+", xs);
  EXPECT_EQ(sampler.Compilations(), 2);
  EXPECT_EQ(sampler.Evaluate(evaluator, "x^2+1", xs), first);
  EXPECT_EQ(sampler.Compilations(), 3);
}

TEST(FormulaSampler, AStoppedCompileIsNotKept) {
  ExpressionEvaluator evaluator;
  StopSource stopped;
  stopped.request_stop();
  FormulaSampler sampler(1);
  // A megabyte of formula: the stop is seen before the text engine's first probe.
  std::string huge = "x";
  while (huge.size() < (1 << 20)) huge += "+x";
  sampler.Start(huge, {1.0f}, stopped.get_token()).reset();
  const std::vector<float> xs = {2.0f};
  EXPECT_EQ(sampler.Evaluate(evaluator, "x*3", xs),
            FormulaValues{EvaluateFormulaAt(evaluator, "x*3", 2.0f)});
  sampler.Evaluate(evaluator, "x*3", xs);
  EXPECT_EQ(sampler.Compilations(), 2);
}

}  // namespace
}  // namespace funzioni
