// The helper threads: every part once, failures rethrown, a busy pool left to the caller.

#include <algorithm>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "sampling/WorkerPool.h"

namespace funzioni {
namespace {

TEST(WorkerPool, EveryPartOnceAFailureRethrownABusyPoolLeavesItToTheCaller) {
  WorkerPool pool(2);
  for (const std::size_t parts : {0u, 1u, 7u, 1000u}) {
    std::vector<int> runs(parts);
    pool.Run(parts, [&](std::size_t part, unsigned) { ++runs[part]; });
    EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), static_cast<long>(parts)) << parts;
  }
  EXPECT_THROW(pool.Run(50,
                        [](std::size_t part, unsigned) {
                          if (part == 17) throw std::runtime_error("part 17");
                        }),
               std::runtime_error);
  // Still usable after a failure; while busy, Run does every part on the calling thread.
  ASSERT_TRUE(pool.Begin(0, [](std::size_t, unsigned) {}));
  std::vector<unsigned> workers(20, 99);
  pool.Run(20, [&](std::size_t part, unsigned worker) { workers[part] = worker; });
  EXPECT_EQ(std::count(workers.begin(), workers.end(), 0u), 20);
  EXPECT_EQ(pool.Finish(), nullptr);
  EXPECT_FALSE(pool.Busy());
}

}  // namespace
}  // namespace funzioni
