#pragma once

// Helper threads kept for the owner's lifetime. A task is split into numbered parts that every
// thread, the caller's included, takes one at a time. Finishing waits only for the parts the
// helpers have actually taken: on a busy machine a helper that is not given a processor in time
// simply gets no part, and the caller does the rest.

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace funzioni {

class WorkerPool {
 public:
  // part: 0..parts - 1; worker: 0 for the caller's thread, 1..Helpers() for the helpers.
  using Work = std::function<void(std::size_t part, unsigned worker)>;

  explicit WorkerPool(unsigned helpers);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Helper threads actually running (fewer than asked for when the system refused some).
  unsigned Helpers() const { return static_cast<unsigned>(threads_.size()); }

  // Offers the parts to the helpers at once; the caller joins in with Finish. One task at a
  // time: false (and nothing started) while another is under way.
  bool Begin(std::size_t parts, Work work);
  // Takes the parts left, waits for those the helpers took, and returns the first failure of
  // any part (empty when none failed). Does nothing when no task is under way.
  std::exception_ptr Finish();
  bool Busy() const;

  // Begin and Finish in one, rethrowing a failure; without a free pool the caller does it all.
  void Run(std::size_t parts, const Work& work);

 private:
  void HelperLoop(unsigned worker);
  // Runs one part with the lock released; the lock is held again on return.
  void RunPart(std::unique_lock<std::mutex>& lock, std::size_t part, unsigned worker);

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  Work work_;
  std::size_t parts_ = 0;
  std::size_t next_ = 0;
  std::size_t done_ = 0;
  bool busy_ = false;
  bool stop_ = false;
  std::exception_ptr failure_;
  std::vector<std::thread> threads_;  // joined by the destructor, before anything they use ends
};

}  // namespace funzioni
