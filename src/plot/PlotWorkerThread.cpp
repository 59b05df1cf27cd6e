// The desktop's plot worker: one thread of its own that computes what the event thread hands
// over, abandoning a computation through its stop token.

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

#include "plot/PlotWorker.h"

namespace funzioni {

struct PlotWorker::Impl {
  Impl(unsigned threads, std::chrono::milliseconds patience)
      : computer(threads),
        patience(patience),
        thread([this](std::stop_token quit) { Loop(std::move(quit)); }) {}

  void Loop(std::stop_token quit);
  // When newer work waits, the time at which the computation under way is abandoned.
  std::optional<std::chrono::steady_clock::time_point> OverdueAtLocked() const;
  void AbandonOverdueLocked();

  PlotComputer computer;  // the thread's alone

  const std::chrono::milliseconds patience;
  mutable std::mutex mutex;
  std::condition_variable_any changed;
  std::optional<PlotWork> unfinished;  // everything handed over whose outcome is not yet taken
  std::uint64_t generation = 0;        // of the work handed over last
  bool queued = false;                 // unfinished waits to be computed
  bool computing = false;
  std::chrono::steady_clock::time_point computingSince;
  std::optional<PlotOutcome> outcome;
  std::uint64_t outcomeGeneration = 0;
  long long abandonments = 0;
  std::stop_source abandon;  // of the computation under way
  DotLayer spare;
  std::jthread thread;  // last: it ends before anything it uses
};

PlotWorker::PlotWorker(unsigned threads, std::chrono::milliseconds patience)
    : impl_(std::make_unique<Impl>(threads, patience)) {}

PlotWorker::~PlotWorker() {
  {
    const std::lock_guard lock(impl_->mutex);
    impl_->thread.request_stop();  // before it could take up waiting work
    impl_->abandon.request_stop();
  }
  // The thread is joined when impl_->thread goes, first of its members.
  impl_.reset();
}

std::optional<std::chrono::steady_clock::time_point> PlotWorker::Impl::OverdueAtLocked() const {
  if (!computing || !queued) return std::nullopt;
  return computingSince + patience;
}

void PlotWorker::Impl::AbandonOverdueLocked() {
  const auto overdueAt = OverdueAtLocked();
  if (overdueAt && std::chrono::steady_clock::now() >= *overdueAt) abandon.request_stop();
}

void PlotWorker::Submit(PlotWork work) {
  Impl& w = *impl_;
  const std::lock_guard lock(w.mutex);
  w.unfinished =
      w.unfinished ? MergePlotWork(std::move(*w.unfinished), std::move(work)) : std::move(work);
  ++w.generation;
  w.queued = true;
  w.AbandonOverdueLocked();
  w.changed.notify_all();
}

bool PlotWorker::WaitFor(std::chrono::milliseconds timeout) {
  Impl& w = *impl_;
  std::unique_lock lock(w.mutex);
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (true) {
    w.AbandonOverdueLocked();
    if (w.outcome || !w.unfinished) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return false;
    auto until = end;
    if (const auto overdueAt = w.OverdueAtLocked(); overdueAt && *overdueAt > now) {
      until = std::min(until, *overdueAt);
    }
    w.changed.wait_until(lock, until);
  }
}

std::optional<PlotOutcome> PlotWorker::Take() {
  Impl& w = *impl_;
  const std::lock_guard lock(w.mutex);
  w.AbandonOverdueLocked();
  if (!w.outcome) return std::nullopt;
  if (w.outcomeGeneration == w.generation) {
    w.unfinished.reset();
  } else if (w.unfinished && w.unfinished->table && w.outcome->table &&
             w.unfinished->tableTicket == w.outcome->tableTicket) {
    w.unfinished->table.reset();  // shown now; the later work need not show it again
  }
  std::optional<PlotOutcome> outcome = std::move(w.outcome);
  w.outcome.reset();
  return outcome;
}

bool PlotWorker::Busy() const {
  const std::lock_guard lock(impl_->mutex);
  return impl_->unfinished.has_value();
}

bool PlotWorker::Computing() const {
  const std::lock_guard lock(impl_->mutex);
  return impl_->computing;
}

long long PlotWorker::Abandonments() const {
  const std::lock_guard lock(impl_->mutex);
  return impl_->abandonments;
}

void PlotWorker::Recycle(DotLayer layer) {
  const std::lock_guard lock(impl_->mutex);
  impl_->spare = std::move(layer);
}

void PlotWorker::Impl::Loop(std::stop_token quit) {
  std::unique_lock lock(mutex);
  while (true) {
    changed.wait(lock, quit, [this] { return queued; });
    if (quit.stop_requested()) return;
    queued = false;
    const PlotWork work = *unfinished;
    const std::uint64_t workGeneration = generation;
    abandon = std::stop_source();
    const std::stop_token stop = abandon.get_token();
    DotLayer layer = std::move(spare);
    computing = true;
    computingSince = std::chrono::steady_clock::now();
    lock.unlock();
    std::optional<PlotOutcome> computed = computer.ComputeOrNothing(work, std::move(layer), stop);
    lock.lock();
    computing = false;
    if (stop.stop_requested() || !computed) {  // abandoned for later work
      ++abandonments;
      continue;
    }
    outcome = std::move(computed);
    outcomeGeneration = workGeneration;
    changed.notify_all();
  }
}

}  // namespace funzioni
