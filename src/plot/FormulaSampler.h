#pragma once

// The typed formula evaluated at many x on every core. The calling thread works with the
// caller's evaluator; each helper thread has an evaluator of its own, kept here between runs
// (evaluators share no mutable state, so one per thread is all they need). Results land in the
// order of the x values, whichever thread computed them.

#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace funzioni {

class ExpressionEvaluator;

class FormulaSampler {
 public:
  // threads: how many threads share the work, the caller's included; 0 means one per core.
  explicit FormulaSampler(unsigned threads = 0);
  ~FormulaSampler();
  FormulaSampler(const FormulaSampler&) = delete;
  FormulaSampler& operator=(const FormulaSampler&) = delete;

  // The formula's value at every x (empty where the evaluator rejects the text), as
  // EvaluateFormulaAt gives it. Blocks until all are done.
  std::vector<std::optional<long double>> Evaluate(ExpressionEvaluator& own,
                                                   std::string_view formula,
                                                   std::span<const float> xs);

  unsigned Threads() const { return threads_; }

 private:
  unsigned threads_ = 1;
  std::vector<std::unique_ptr<ExpressionEvaluator>> helpers_;
};

}  // namespace funzioni
