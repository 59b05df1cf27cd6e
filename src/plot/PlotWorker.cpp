#include "plot/PlotWorker.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "plot/PlotMapping.h"
#include "plot/ResultsTable.h"

namespace funzioni {

PlotWork MergePlotWork(PlotWork earlier, PlotWork later) {
  using Picture = PlotWork::Picture;
  // A picture not yet shown is drawn whole from the later state, which includes everything a
  // formula drawn over it would add.
  if (later.picture == Picture::FormulaOver && earlier.picture == Picture::Whole) {
    later.picture = Picture::Whole;
  }
  if (later.picture == Picture::None) {
    later.picture = earlier.picture;
    later.state = std::move(earlier.state);
    later.size = earlier.size;
  }
  if (!later.table) {
    later.table = std::move(earlier.table);
    later.tableTicket = earlier.tableTicket;
  }
  return later;
}

PlotWorker::PlotWorker(unsigned threads)
    : accelerator_(threads), thread_([this](std::stop_token quit) { Loop(std::move(quit)); }) {}

PlotWorker::~PlotWorker() {
  const std::lock_guard lock(mutex_);
  abandon_.request_stop();
  // The thread is asked to end and joined when thread_ goes, first of the members.
}

void PlotWorker::Submit(PlotWork work) {
  const std::lock_guard lock(mutex_);
  unfinished_ =
      unfinished_ ? MergePlotWork(std::move(*unfinished_), std::move(work)) : std::move(work);
  outcome_.reset();
  abandon_.request_stop();
  abandon_ = std::stop_source();
  queued_ = true;
  changed_.notify_all();
}

bool PlotWorker::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return outcome_ || !unfinished_; });
}

std::optional<PlotOutcome> PlotWorker::Take() {
  const std::lock_guard lock(mutex_);
  if (!outcome_) return std::nullopt;
  unfinished_.reset();
  std::optional<PlotOutcome> outcome = std::move(outcome_);
  outcome_.reset();
  return outcome;
}

bool PlotWorker::Busy() const {
  const std::lock_guard lock(mutex_);
  return unfinished_.has_value();
}

void PlotWorker::Recycle(DotLayer layer) {
  const std::lock_guard lock(mutex_);
  spare_ = std::move(layer);
}

void PlotWorker::Loop(std::stop_token quit) {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, quit, [this] { return queued_; });
    if (quit.stop_requested()) return;
    queued_ = false;
    const PlotWork work = *unfinished_;
    const std::stop_token stop = abandon_.get_token();
    DotLayer layer = std::move(spare_);
    lock.unlock();
    std::optional<PlotOutcome> outcome;
    try {
      outcome = Compute(work, std::move(layer), stop);
    } catch (const std::exception& failure) {
      // The picture and the table stay as they are; the window goes on.
      std::fprintf(stderr, "funzioni: the plot could not be computed: %s\n", failure.what());
      outcome = PlotOutcome{};
    }
    lock.lock();
    if (stop.stop_requested() || !outcome) continue;  // replaced meanwhile
    outcome_ = std::move(outcome);
    changed_.notify_all();
  }
}

std::optional<PlotOutcome> PlotWorker::Compute(const PlotWork& work, DotLayer layer,
                                               std::stop_token stop) {
  // The helper threads are freed of an evaluation that earlier work abandoned.
  accelerator_.FormulaCache().DropAbandoned();
  PlotOutcome outcome;
  outcome.picture = work.picture;
  outcome.zoom = work.state.zoomValue.value;
  // The table first, as it is shown first: it has a hundredth of the curve's samples.
  if (work.table) {
    const std::string& formula = work.table->currentFormula;
    outcome.tableRows =
        FormulaTableRows(*work.table, evaluator_, accelerator_.Sampler(), formula, stop);
    if (stop.stop_requested()) return std::nullopt;
    outcome.table = formula;
    outcome.tableTicket = work.tableTicket;
  }
  switch (work.picture) {
    case PlotWork::Picture::None:
      break;
    case PlotWork::Picture::Whole:
      outcome.whole =
          CollectCurveDots(work.state, work.size, evaluator_, accelerator_, std::move(layer), stop);
      if (!outcome.whole) return std::nullopt;
      break;
    case PlotWork::Picture::FormulaOver: {
      const PlotMapping mapping = MakePlotMapping(work.size, work.state.zoomValue.value);
      const FormulaDots& dots = accelerator_.FormulaCache().Dots(
          evaluator_, accelerator_.Sampler(), work.state, mapping, work.state.currentFormula, stop);
      if (stop.stop_requested()) return std::nullopt;
      outcome.over = dots;
      break;
    }
  }
  return outcome;
}

}  // namespace funzioni
