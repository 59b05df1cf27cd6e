// The desktop's plot worker: one thread of its own that computes what the event thread hands
// over, and a timekeeper that stops a computation through its stop token once newer work has
// waited past the patience. The event thread learns of each outcome through the wake.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

#include "plot/PlotWorker.h"

namespace funzioni {

using Clock = std::chrono::steady_clock;

struct PlotWorker::Impl {
  Impl(unsigned threads, std::chrono::milliseconds patience)
      : computer(threads),
        patience(patience),
        thread([this](std::stop_token quit) { Compute(std::move(quit)); }),
        timekeeper([this](std::stop_token quit) { KeepTime(std::move(quit)); }) {}

  void Compute(std::stop_token quit);
  void KeepTime(std::stop_token quit);
  // While newer work waits for the computation under way (not yet told to stop): when that is
  // to stop.
  std::optional<Clock::time_point> OverdueAtLocked() const;

  PlotComputer computer;  // the computing thread's alone

  const std::chrono::milliseconds patience;
  mutable std::mutex mutex;
  std::condition_variable_any changed;
  PlotWorkQueue queue;
  bool computing = false;
  Clock::time_point computingSince;
  long long abandonments = 0;
  std::stop_source abandon;  // of the computation under way
  DotLayer spare;
  Wake wake;
  // Last: they end, in this order, before anything they use goes.
  std::jthread thread;
  std::jthread timekeeper;
};

PlotWorker::PlotWorker(unsigned threads, std::chrono::milliseconds patience)
    : impl_(std::make_unique<Impl>(threads, patience)) {}

PlotWorker::~PlotWorker() {
  {
    const std::lock_guard lock(impl_->mutex);
    impl_->thread.request_stop();  // before it could take up waiting work
    impl_->timekeeper.request_stop();
    impl_->abandon.request_stop();
  }
  // The threads are joined when impl_ goes, first of its members.
  impl_.reset();
}

std::optional<Clock::time_point> PlotWorker::Impl::OverdueAtLocked() const {
  if (!computing || !queue.Waiting() || abandon.stop_requested()) return std::nullopt;
  return computingSince + patience;
}

void PlotWorker::OnWake(Wake wake) {
  const std::lock_guard lock(impl_->mutex);
  impl_->wake = std::move(wake);
}

void PlotWorker::Submit(PlotWork work) {
  Impl& w = *impl_;
  const std::lock_guard lock(w.mutex);
  w.queue.Add(std::move(work));
  w.changed.notify_all();
}

bool PlotWorker::WaitFor(std::chrono::milliseconds timeout) {
  Impl& w = *impl_;
  std::unique_lock lock(w.mutex);
  return w.changed.wait_for(lock, timeout,
                            [&w] { return w.queue.HasOutcome() || !w.queue.Unfinished(); });
}

std::optional<PlotOutcome> PlotWorker::Take() {
  const std::lock_guard lock(impl_->mutex);
  return impl_->queue.Take();
}

bool PlotWorker::Busy() const {
  const std::lock_guard lock(impl_->mutex);
  return impl_->queue.Unfinished();
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

void PlotWorker::Impl::Compute(std::stop_token quit) {
  std::unique_lock lock(mutex);
  while (true) {
    changed.wait(lock, quit, [this] { return queue.Waiting(); });
    if (quit.stop_requested()) return;
    const auto [work, number] = queue.Next();
    abandon = std::stop_source();
    const std::stop_token stop = abandon.get_token();
    DotLayer layer = std::move(spare);
    computing = true;
    computingSince = Clock::now();
    lock.unlock();
    std::optional<PlotOutcome> computed = computer.ComputeOrNothing(work, std::move(layer), stop);
    lock.lock();
    computing = false;
    if (stop.stop_requested() || !computed) {  // abandoned for later work
      ++abandonments;
      continue;
    }
    queue.Computed(std::move(*computed), number);
    changed.notify_all();
    if (!wake) continue;
    const Wake told = wake;
    lock.unlock();
    told(std::chrono::milliseconds(0));
    lock.lock();
  }
}

void PlotWorker::Impl::KeepTime(std::stop_token quit) {
  std::unique_lock lock(mutex);
  while (!quit.stop_requested()) {
    const std::optional<Clock::time_point> overdueAt = OverdueAtLocked();
    if (!overdueAt) {
      changed.wait(lock, quit, [this] { return OverdueAtLocked().has_value(); });
    } else if (Clock::now() >= *overdueAt) {
      abandon.request_stop();
    } else {
      // Until then, or until the computation ends or is stopped otherwise.
      changed.wait_until(lock, quit, *overdueAt,
                         [this, overdueAt] { return OverdueAtLocked() != overdueAt; });
    }
  }
}

}  // namespace funzioni
