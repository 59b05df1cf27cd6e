// Owners going away with work under way: a pool destroyed mid-task, a sampler whose pool is taken
// by other work, pooled jobs dropped or stopped. Nothing may hang, crash or race (the
// ThreadSanitizer stage runs these too).

#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>
#include <vector>
#include "sampling/StopToken.h"

#include <gtest/gtest.h>

#include "evaluator/ExpressionEvaluator.h"
#include "sampling/FormulaSampler.h"
#include "sampling/FormulaSampling.h"
#include "sampling/WorkerPool.h"

namespace funzioni {
namespace {

std::vector<float> Xs(std::size_t count) {
  std::vector<float> xs(count);
  for (std::size_t i = 0; i < count; ++i) xs[i] = static_cast<float>(i) / 1000 - 50;
  return xs;
}

// Parts that hold every helper inside until the caller's thread runs one: the pool is busy for
// as long as the test needs, and only the owner's own Finish lets it go.
struct HeldParts {
  std::atomic<int> runs{0};
  std::atomic<int> helpersInside{0};
  std::atomic<bool> released{false};

  WorkerPool::Work Work() {
    return [this](std::size_t, unsigned worker) {
      ++runs;
      if (worker == 0) {
        released = true;
        return;
      }
      ++helpersInside;
      while (!released) std::this_thread::yield();
    };
  }
  void WaitForAHelper() const {
    while (helpersInside == 0) std::this_thread::yield();
  }
};

TEST(Teardown, APoolDestroyedMidTaskRunsEveryPartOnce) {
  constexpr int kParts = 200;
  HeldParts held;
  {
    WorkerPool pool(2);
    ASSERT_GE(pool.Helpers(), 1u);
    ASSERT_TRUE(pool.Begin(kParts, held.Work()));
    held.WaitForAHelper();
  }
  EXPECT_EQ(held.runs, kParts);
}

TEST(Teardown, ASamplerWhosePoolIsBusyRunsJobsAloneAndEnds) {
  ExpressionEvaluator evaluator;
  const std::vector<float> xs = Xs(5000);
  HeldParts held;
  {
    FormulaSampler sampler(3);
    ASSERT_GE(sampler.Pool().Helpers(), 1u);
    ASSERT_TRUE(sampler.Pool().Begin(50, held.Work()));
    held.WaitForAHelper();
    // The pool is taken: a job is the caller's alone, whether dropped or joined.
    sampler.Start("SIN(x)*x^2", xs).reset();
    const FormulaValues values =
        sampler.Start("x*2", {xs.begin(), xs.begin() + 3})->Join(evaluator);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[2], EvaluateFormulaAt(evaluator, "x*2", xs[2]));
  }
  EXPECT_EQ(held.runs, 50);
}

TEST(Teardown, PooledJobsDroppedOrStoppedLetTheSamplerEnd) {
  ExpressionEvaluator evaluator;
  const std::vector<float> xs = Xs(200000);
  for (const unsigned threads : {2u, 3u}) {
    {
      // Dropped while the helpers work, and the sampler gone right after.
      FormulaSampler sampler(threads);
      std::unique_ptr<FormulaJob> job = sampler.Start("SIN(x)*x^2", xs);
      std::this_thread::yield();
      job.reset();
    }
    // Stopped from another thread during the Join: partial values, one per x.
    FormulaSampler sampler(threads);
    StopSource stop;
    const std::unique_ptr<FormulaJob> job = sampler.Start("SIN(x)*x^2", xs, stop.get_token());
    std::jthread stopper([&stop] { stop.request_stop(); });
    const FormulaValues values = job->Join(evaluator);
    stopper.join();
    EXPECT_EQ(values.size(), xs.size()) << threads << " threads";
    EXPECT_TRUE(job->Abandoned());
  }
}

}  // namespace
}  // namespace funzioni
