#include "plot/PlotWorker.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

#include "plot/PlotMapping.h"
#include "sampling/ResultRows.h"

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

PlotWorker::PlotWorker(unsigned threads, std::chrono::milliseconds patience)
    : accelerator_(threads),
      patience_(patience),
      thread_([this](std::stop_token quit) { Loop(std::move(quit)); }) {}

PlotWorker::~PlotWorker() {
  const std::lock_guard lock(mutex_);
  thread_.request_stop();  // before it could take up waiting work
  abandon_.request_stop();
  // The thread is joined when thread_ goes, first of the members.
}

std::optional<std::chrono::steady_clock::time_point> PlotWorker::OverdueAtLocked() const {
  if (!computing_ || !queued_) return std::nullopt;
  return computingSince_ + patience_;
}

void PlotWorker::AbandonOverdueLocked() {
  const auto overdueAt = OverdueAtLocked();
  if (overdueAt && std::chrono::steady_clock::now() >= *overdueAt) abandon_.request_stop();
}

void PlotWorker::Submit(PlotWork work) {
  const std::lock_guard lock(mutex_);
  unfinished_ =
      unfinished_ ? MergePlotWork(std::move(*unfinished_), std::move(work)) : std::move(work);
  ++generation_;
  queued_ = true;
  AbandonOverdueLocked();
  changed_.notify_all();
}

bool PlotWorker::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (true) {
    AbandonOverdueLocked();
    if (outcome_ || !unfinished_) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return false;
    auto until = end;
    if (const auto overdueAt = OverdueAtLocked(); overdueAt && *overdueAt > now) {
      until = std::min(until, *overdueAt);
    }
    changed_.wait_until(lock, until);
  }
}

std::optional<PlotOutcome> PlotWorker::Take() {
  const std::lock_guard lock(mutex_);
  AbandonOverdueLocked();
  if (!outcome_) return std::nullopt;
  if (outcomeGeneration_ == generation_) {
    unfinished_.reset();
  } else if (unfinished_ && unfinished_->table && outcome_->table &&
             unfinished_->tableTicket == outcome_->tableTicket) {
    unfinished_->table.reset();  // shown now; the later work need not show it again
  }
  std::optional<PlotOutcome> outcome = std::move(outcome_);
  outcome_.reset();
  return outcome;
}

bool PlotWorker::Busy() const {
  const std::lock_guard lock(mutex_);
  return unfinished_.has_value();
}

bool PlotWorker::Computing() const {
  const std::lock_guard lock(mutex_);
  return computing_;
}

long long PlotWorker::Abandonments() const {
  const std::lock_guard lock(mutex_);
  return abandonments_;
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
    const std::uint64_t generation = generation_;
    abandon_ = std::stop_source();
    const std::stop_token stop = abandon_.get_token();
    DotLayer layer = std::move(spare_);
    computing_ = true;
    computingSince_ = std::chrono::steady_clock::now();
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
    computing_ = false;
    if (stop.stop_requested() || !outcome) {  // abandoned for later work
      ++abandonments_;
      continue;
    }
    outcome_ = std::move(outcome);
    outcomeGeneration_ = generation;
    changed_.notify_all();
  }
}

std::optional<PlotOutcome> PlotWorker::Compute(const PlotWork& work, DotLayer layer,
                                               std::stop_token stop) {
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
