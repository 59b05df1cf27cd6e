#include "sampling/WorkerPool.h"

#include <system_error>
#include <utility>

namespace funzioni {

WorkerPool::WorkerPool(unsigned helpers) {
  threads_.reserve(helpers);
  for (unsigned worker = 1; worker <= helpers; ++worker) {
    try {
      threads_.emplace_back([this, worker] { HelperLoop(worker); });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the caller does their share
    }
  }
}

WorkerPool::~WorkerPool() {
  Finish();
  {
    const std::scoped_lock lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

bool WorkerPool::Busy() const {
  const std::scoped_lock lock(mutex_);
  return busy_;
}

bool WorkerPool::Begin(std::size_t parts, Work work) {
  {
    const std::scoped_lock lock(mutex_);
    if (busy_) return false;
    busy_ = true;
    work_ = std::move(work);
    parts_ = parts;
    next_ = 0;
    done_ = 0;
    failure_ = nullptr;
  }
  if (parts > 0) wake_.notify_all();
  return true;
}

std::exception_ptr WorkerPool::Finish() {
  std::unique_lock lock(mutex_);
  if (!busy_) return nullptr;
  while (next_ < parts_) RunPart(lock, next_++, 0);
  finished_.wait(lock, [this] { return done_ == parts_; });
  // Helpers that wake only now find nothing to take.
  parts_ = 0;
  next_ = 0;
  done_ = 0;
  work_ = nullptr;
  busy_ = false;
  return std::exchange(failure_, nullptr);
}

void WorkerPool::Run(std::size_t parts, const Work& work) {
  if (!Begin(parts, work)) {
    for (std::size_t part = 0; part < parts; ++part) work(part, 0);
    return;
  }
  if (const std::exception_ptr failure = Finish()) std::rethrow_exception(failure);
}

void WorkerPool::RunPart(std::unique_lock<std::mutex>& lock, std::size_t part, unsigned worker) {
  // work_ stays put until every part taken is done.
  const Work& work = work_;
  lock.unlock();
  std::exception_ptr failure;
  try {
    work(part, worker);
  } catch (...) {
    failure = std::current_exception();
  }
  lock.lock();
  if (failure && !failure_) failure_ = failure;
  if (++done_ == parts_) finished_.notify_all();
}

void WorkerPool::HelperLoop(unsigned worker) {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || next_ < parts_; });
    if (stop_) return;
    RunPart(lock, next_++, worker);
  }
}

}  // namespace funzioni
