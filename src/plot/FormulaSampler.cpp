#include "plot/FormulaSampler.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "evaluator/ExpressionEvaluator.h"
#include "plot/FormulaSampling.h"

namespace funzioni {

namespace {

// Samples handed out at a time: large enough that the shared counter is rarely touched, small
// enough that threads finish together although failing samples cost less than others.
constexpr std::size_t kChunk = 256;
// Below this many samples a helper thread costs more to start than it saves.
constexpr std::size_t kParallelFrom = 2 * kChunk;

}  // namespace

FormulaSampler::FormulaSampler(unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads_ = threads;
}

FormulaSampler::~FormulaSampler() = default;

std::vector<std::optional<long double>> FormulaSampler::Evaluate(ExpressionEvaluator& own,
                                                                 std::string_view formula,
                                                                 std::span<const float> xs) {
  std::vector<std::optional<long double>> values(xs.size());
  std::atomic<std::size_t> next{0};
  const auto work = [&](ExpressionEvaluator& evaluator) {
    for (;;) {
      const std::size_t first = next.fetch_add(kChunk, std::memory_order_relaxed);
      if (first >= xs.size()) return;
      const std::size_t last = std::min(first + kChunk, xs.size());
      for (std::size_t i = first; i < last; ++i) {
        values[i] = EvaluateFormulaAt(evaluator, formula, xs[i]);
      }
    }
  };

  const std::size_t helperCount =
      xs.size() < kParallelFrom ? 0 : std::min<std::size_t>(threads_ - 1, xs.size() / kChunk);
  while (helpers_.size() < helperCount) helpers_.push_back(std::make_unique<ExpressionEvaluator>());

  std::exception_ptr failure;
  std::mutex failureLock;
  {
    std::vector<std::jthread> helpers;
    helpers.reserve(helperCount);
    for (std::size_t h = 0; h < helperCount; ++h) {
      helpers.emplace_back([&, h] {
        try {
          work(*helpers_[h]);
        } catch (...) {
          // Out of memory, say: hand the failure to the caller instead of ending the program.
          const std::scoped_lock lock(failureLock);
          if (!failure) failure = std::current_exception();
          next.store(xs.size());
        }
      });
    }
    try {
      work(own);
    } catch (...) {
      next.store(xs.size());
      const std::scoped_lock lock(failureLock);
      if (!failure) failure = std::current_exception();
    }
  }  // the helpers are joined here
  if (failure) std::rethrow_exception(failure);
  return values;
}

}  // namespace funzioni
