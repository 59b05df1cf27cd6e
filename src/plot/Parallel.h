#pragma once

#include <functional>

namespace funzioni {

// Runs work(0) .. work(count - 1) at the same time, work(0) on the calling thread and each other
// on a thread of its own, and returns when all have ended. The first failure is rethrown; a
// thread that cannot be started leaves its part to the calling thread.
void RunInParallel(unsigned count, const std::function<void(unsigned)>& work);

}  // namespace funzioni
