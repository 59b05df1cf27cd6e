#include "plot/Parallel.h"

#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace funzioni {

void RunInParallel(unsigned count, const std::function<void(unsigned)>& work) {
  if (count == 0) return;
  std::mutex failureLock;
  std::exception_ptr failure;
  const auto guarded = [&](unsigned part) {
    try {
      work(part);
    } catch (...) {
      const std::scoped_lock lock(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<unsigned> leftOver;
  {
    std::vector<std::jthread> threads;
    threads.reserve(count - 1);
    for (unsigned part = 1; part < count; ++part) {
      try {
        threads.emplace_back(guarded, part);
      } catch (const std::system_error&) {
        leftOver.push_back(part);
      }
    }
    guarded(0);
    for (const unsigned part : leftOver) guarded(part);
  }  // joined here
  if (failure) std::rethrow_exception(failure);
}

}  // namespace funzioni
