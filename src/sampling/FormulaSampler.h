#pragma once

#include "evaluator/Extended.h"

// The typed formula evaluated at many x on every core. The calling thread works with the
// caller's evaluator; each helper thread of the sampler's pool has an evaluator of its own, kept
// between runs (evaluators share no mutable state, so one per thread is all they need). Results
// land in the order of the x values, whichever thread computed them.

#include <atomic>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include "sampling/StopToken.h"

#include "evaluator/FormulaPlan.h"
#include "sampling/WorkerPool.h"

namespace funzioni {

class ExpressionEvaluator;

using FormulaValues = std::vector<std::optional<Extended>>;

// One evaluation under way. The helpers start at once, so that the calling thread can do other
// work meanwhile; Join lets it take what is left and returns the values.
class FormulaJob {
 public:
  // A stop requested through stop ends the work at the next sample; the values are then partial.
  // plan: the formula's compiled form, or nothing (every sample then takes the text engine).
  FormulaJob(WorkerPool& pool, std::span<const std::unique_ptr<ExpressionEvaluator>> helpers,
             std::string_view formula, std::shared_ptr<const FormulaPlan> plan,
             std::vector<float> xs, StopToken stop = {});
  // Without a Join the samples not yet taken are skipped.
  ~FormulaJob();
  FormulaJob(const FormulaJob&) = delete;
  FormulaJob& operator=(const FormulaJob&) = delete;

  // The formula's value at every x (empty where the evaluator rejects the text), as
  // EvaluateFormulaAt gives it. Call once; rethrows what failed on any thread.
  FormulaValues Join(ExpressionEvaluator& own);

  const std::vector<float>& Xs() const { return xs_; }
  // True once a stop was requested: the values are of no use.
  bool Abandoned() const { return stop_.stop_requested(); }

 private:
  void EvaluateChunk(std::size_t chunk, ExpressionEvaluator& evaluator);

  WorkerPool& pool_;
  std::span<const std::unique_ptr<ExpressionEvaluator>> helpers_;
  std::string formula_;
  // The formula's compiled form, for the samples it answers (the text engine does the rest).
  std::shared_ptr<const FormulaPlan> plan_;
  std::vector<float> xs_;
  FormulaValues values_;
  ExpressionEvaluator* own_ = nullptr;  // the caller's, from Join on
  StopToken stop_;
  std::atomic<bool> stopped_{false};
  bool pooled_ = false;  // the pool took the job (it was free)
  bool joined_ = false;
};

class FormulaSampler {
 public:
  // threads: how many threads share the work, the caller's included; 0 means one per core.
  explicit FormulaSampler(unsigned threads = 0);
  ~FormulaSampler();
  FormulaSampler(const FormulaSampler&) = delete;
  FormulaSampler& operator=(const FormulaSampler&) = delete;

  // Starts an evaluation on the helper threads (the caller alone does it when the pool is busy).
  // The formula is compiled once and its plan shared by every job of the same text; called from
  // one thread at a time, as the rest of the sampler.
  std::unique_ptr<FormulaJob> Start(std::string_view formula, std::vector<float> xs,
                                    StopToken stop = {});

  // Start and Join in one.
  FormulaValues Evaluate(ExpressionEvaluator& own, std::string_view formula,
                         std::span<const float> xs, StopToken stop = {});

  unsigned Threads() const { return pool_.Helpers() + 1; }
  // The helper threads, for other work while no formula is being evaluated.
  WorkerPool& Pool() { return pool_; }
  // How many times a formula was compiled (a stopped compile included).
  long long Compilations() const { return compilations_; }

 private:
  std::shared_ptr<const FormulaPlan> PlanFor(std::string_view formula, const StopToken& stop);

  // The plan of the formula compiled last (null when it has none).
  std::optional<std::string> plannedFormula_;
  std::shared_ptr<const FormulaPlan> plan_;
  long long compilations_ = 0;
  std::vector<std::unique_ptr<ExpressionEvaluator>> helpers_;
  WorkerPool pool_;  // after the evaluators its threads use, so that it ends first
};

}  // namespace funzioni
