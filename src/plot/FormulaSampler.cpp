#include "plot/FormulaSampler.h"

#include <algorithm>
#include <system_error>

#include "evaluator/ExpressionEvaluator.h"
#include "plot/FormulaSampling.h"

namespace funzioni {

namespace {

// Samples handed out at a time: large enough that the shared counter is rarely touched, small
// enough that the threads finish together although failing samples cost less than others.
constexpr std::size_t kChunk = 256;

}  // namespace

FormulaJob::FormulaJob(std::span<const std::unique_ptr<ExpressionEvaluator>> helpers,
                       std::string_view formula, std::vector<float> xs)
    : formula_(formula), xs_(std::move(xs)), values_(xs_.size()) {
  helpers_.reserve(helpers.size());
  for (const std::unique_ptr<ExpressionEvaluator>& helper : helpers) {
    ExpressionEvaluator& evaluator = *helper;
    try {
      helpers_.emplace_back([this, &evaluator] { WorkOrStop(evaluator); });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the ones running and the caller do the rest
    }
  }
}

FormulaJob::~FormulaJob() {
  next_.store(xs_.size());
}

void FormulaJob::Work(ExpressionEvaluator& evaluator) {
  for (;;) {
    const std::size_t first = next_.fetch_add(kChunk, std::memory_order_relaxed);
    if (first >= xs_.size()) return;
    const std::size_t last = std::min(first + kChunk, xs_.size());
    for (std::size_t i = first; i < last; ++i) {
      values_[i] = EvaluateFormulaAt(evaluator, formula_, xs_[i]);
    }
  }
}

void FormulaJob::WorkOrStop(ExpressionEvaluator& evaluator) {
  try {
    Work(evaluator);
  } catch (...) {
    // Out of memory, say: the others stop and the caller gets the failure.
    next_.store(xs_.size());
    const std::scoped_lock lock(failureLock_);
    if (!failure_) failure_ = std::current_exception();
  }
}

FormulaValues FormulaJob::Join(ExpressionEvaluator& own) {
  WorkOrStop(own);
  for (std::jthread& helper : helpers_) helper.join();
  helpers_.clear();
  if (failure_) std::rethrow_exception(failure_);
  return std::move(values_);
}

FormulaSampler::FormulaSampler(unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads_ = threads;
}

FormulaSampler::~FormulaSampler() = default;

std::unique_ptr<FormulaJob> FormulaSampler::Start(std::string_view formula, std::vector<float> xs) {
  // A helper thread costs tens of microseconds to start: only worth it for a few chunks.
  const std::size_t helperCount = std::min<std::size_t>(threads_ - 1, xs.size() / (2 * kChunk));
  while (helpers_.size() < helperCount) helpers_.push_back(std::make_unique<ExpressionEvaluator>());
  return std::make_unique<FormulaJob>(
      std::span<const std::unique_ptr<ExpressionEvaluator>>(helpers_).first(helperCount), formula,
      std::move(xs));
}

FormulaValues FormulaSampler::Evaluate(ExpressionEvaluator& own, std::string_view formula,
                                       std::span<const float> xs) {
  return Start(formula, std::vector<float>(xs.begin(), xs.end()))->Join(own);
}

}  // namespace funzioni
