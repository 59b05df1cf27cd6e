#include "sampling/FormulaSampler.h"

#include <algorithm>
#include <thread>

#include "evaluator/ExpressionEvaluator.h"
#include "sampling/ChunkSizes.h"
#include "sampling/FormulaSampling.h"
#include "sampling/PlannedSampling.h"

namespace funzioni {

namespace {

unsigned HelpersFor(unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  return threads - 1;
}

std::vector<std::unique_ptr<ExpressionEvaluator>> MakeEvaluators(unsigned count) {
  std::vector<std::unique_ptr<ExpressionEvaluator>> evaluators;
  for (unsigned i = 0; i < count; ++i)
    evaluators.push_back(std::make_unique<ExpressionEvaluator>());
  return evaluators;
}

}  // namespace

FormulaJob::FormulaJob(WorkerPool& pool,
                       std::span<const std::unique_ptr<ExpressionEvaluator>> helpers,
                       std::string_view formula, std::shared_ptr<const FormulaPlan> plan,
                       std::vector<float> xs, StopToken stop)
    : pool_(pool),
      helpers_(helpers),
      formula_(formula),
      plan_(std::move(plan)),
      xs_(std::move(xs)),
      values_(xs_.size()),
      stop_(std::move(stop)) {
  const std::size_t chunks = (xs_.size() + kFormulaSamplesPerChunk - 1) / kFormulaSamplesPerChunk;
  // The helpers start now. The caller's thread (worker 0) takes chunks only in Join, which
  // supplies its evaluator first, or in the destructor, once the job is stopped.
  pooled_ = pool_.Begin(chunks, [this](std::size_t chunk, unsigned worker) {
    if (stopped_) return;
    EvaluateChunk(chunk, worker == 0 ? *own_ : *helpers_[worker - 1]);
  });
}

FormulaJob::~FormulaJob() {
  if (joined_ || !pooled_) return;
  stopped_ = true;
  pool_.Finish();
}

void FormulaJob::EvaluateChunk(std::size_t chunk, ExpressionEvaluator& evaluator) {
  const std::size_t last = std::min((chunk + 1) * kFormulaSamplesPerChunk, xs_.size());
  // Without a plan every sample takes the text engine, which may be slow for a long formula: a
  // stop is then seen after each sample.
  const std::size_t run = plan_ ? FormulaPlan::kSamplesSideBySide : 1;
  for (std::size_t i = chunk * kFormulaSamplesPerChunk;
       i < last && !stopped_ && !stop_.stop_requested(); i += run) {
    const std::size_t n = std::min(run, last - i);
    EvaluatePlannedMany(plan_.get(), evaluator, formula_, std::span<const float>(xs_).subspan(i, n),
                        std::span(values_).subspan(i, n));
  }
}

FormulaValues FormulaJob::Join(ExpressionEvaluator& own) {
  joined_ = true;
  if (!pooled_) {
    for (std::size_t chunk = 0; chunk * kFormulaSamplesPerChunk < xs_.size(); ++chunk)
      EvaluateChunk(chunk, own);
    return std::move(values_);
  }
  own_ = &own;
  const std::exception_ptr failure = pool_.Finish();
  if (failure) std::rethrow_exception(failure);
  return std::move(values_);
}

FormulaSampler::FormulaSampler(unsigned threads)
    : helpers_(MakeEvaluators(HelpersFor(threads))), pool_(HelpersFor(threads)) {}

FormulaSampler::~FormulaSampler() = default;

std::shared_ptr<const FormulaPlan> FormulaSampler::PlanFor(std::string_view formula,
                                                           const StopToken& stop) {
  if (plannedFormula_ == formula) return plan_;
  ++compilations_;
  std::optional<FormulaPlan> plan =
      FormulaPlan::Compile(formula, [&stop] { return stop.stop_requested(); });
  // A stopped compile is not kept: its job is abandoned anyway.
  if (stop.stop_requested()) return nullptr;
  plan_ = plan ? std::make_shared<const FormulaPlan>(std::move(*plan)) : nullptr;
  plannedFormula_ = std::string(formula);
  return plan_;
}

std::unique_ptr<FormulaJob> FormulaSampler::Start(std::string_view formula, std::vector<float> xs,
                                                  StopToken stop) {
  std::shared_ptr<const FormulaPlan> plan = PlanFor(formula, stop);
  return std::make_unique<FormulaJob>(
      pool_, std::span<const std::unique_ptr<ExpressionEvaluator>>(helpers_), formula,
      std::move(plan), std::move(xs), std::move(stop));
}

FormulaValues FormulaSampler::Evaluate(ExpressionEvaluator& own, std::string_view formula,
                                       std::span<const float> xs, StopToken stop) {
  return Start(formula, std::vector<float>(xs.begin(), xs.end()), std::move(stop))->Join(own);
}

}  // namespace funzioni
