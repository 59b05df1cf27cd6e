#pragma once

// The typed formula evaluated at many x on every core. The calling thread works with the
// caller's evaluator; each helper thread has an evaluator of its own, kept by the sampler between
// runs (evaluators share no mutable state, so one per thread is all they need). Results land in
// the order of the x values, whichever thread computed them.

#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace funzioni {

class ExpressionEvaluator;

using FormulaValues = std::vector<std::optional<long double>>;

// One evaluation under way. The helper threads start at once, so the calling thread can do other
// work meanwhile; Join lets it help with what is left and returns the values.
class FormulaJob {
 public:
  FormulaJob(std::span<const std::unique_ptr<ExpressionEvaluator>> helpers,
             std::string_view formula, std::vector<float> xs);
  // Without a Join the helpers stop after their current samples.
  ~FormulaJob();
  FormulaJob(const FormulaJob&) = delete;
  FormulaJob& operator=(const FormulaJob&) = delete;

  // The formula's value at every x (empty where the evaluator rejects the text), as
  // EvaluateFormulaAt gives it. Call once; rethrows what failed on a helper thread.
  FormulaValues Join(ExpressionEvaluator& own);

  const std::vector<float>& Xs() const { return xs_; }

 private:
  void Work(ExpressionEvaluator& evaluator);
  void WorkOrStop(ExpressionEvaluator& evaluator);

  std::string formula_;
  std::vector<float> xs_;
  FormulaValues values_;
  std::atomic<std::size_t> next_{0};
  std::mutex failureLock_;
  std::exception_ptr failure_;
  std::vector<std::jthread> helpers_;  // last, so that they end before anything they use
};

class FormulaSampler {
 public:
  // threads: how many threads share the work, the caller's included; 0 means one per core.
  explicit FormulaSampler(unsigned threads = 0);
  ~FormulaSampler();
  FormulaSampler(const FormulaSampler&) = delete;
  FormulaSampler& operator=(const FormulaSampler&) = delete;

  // Starts an evaluation (on helper threads when there are enough samples to pay for them).
  // One job at a time: the helpers' evaluators are lent to it until it is destroyed.
  std::unique_ptr<FormulaJob> Start(std::string_view formula, std::vector<float> xs);

  // Start and Join in one.
  FormulaValues Evaluate(ExpressionEvaluator& own, std::string_view formula,
                         std::span<const float> xs);

  unsigned Threads() const { return threads_; }

 private:
  unsigned threads_ = 1;
  std::vector<std::unique_ptr<ExpressionEvaluator>> helpers_;
};

}  // namespace funzioni
