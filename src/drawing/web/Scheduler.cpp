#include <utility>
#include <vector>

#include "PageBridge.h"

namespace funzioni::web {

int Scheduler::Start(const void* owner, int delayMs, int periodMs, std::function<void()> call) {
  const int number = next_++;
  calls_[number] = Call{owner, periodMs, std::move(call)};
  ScheduleTimeout(number, delayMs < 0 ? 0 : delayMs);
  return number;
}

int Scheduler::StartSoon(const void* owner, int periodMs, std::function<void()> call) {
  if (runningSoon_) return Start(owner, periodMs, periodMs, std::move(call));
  const int number = next_++;
  calls_[number] = Call{owner, periodMs, std::move(call), true};
  ScheduleTimeout(number, kSoonDelay);
  return number;
}

void Scheduler::Cancel(int number) {
  if (calls_.erase(number) != 0) CancelTimeout(number);
}

void Scheduler::CancelOwned(const void* owner) {
  std::vector<int> numbers;
  for (const auto& [number, call] : calls_) {
    if (call.owner == owner) numbers.push_back(number);
  }
  for (const int number : numbers) Cancel(number);
}

void Scheduler::Run(int number) {
  auto it = calls_.find(number);
  if (it == calls_.end()) return;
  // A copy runs: the call may cancel itself, or start others. The next round of a periodic
  // call is asked for first, so that the call may still cancel it.
  const std::function<void()> call = it->second.call;
  const bool soon = std::exchange(it->second.soon, false);
  if (it->second.periodMs > 0) {
    ScheduleTimeout(number, it->second.periodMs);
  } else {
    calls_.erase(it);
  }
  // Marked for as long as the call runs, also when it throws.
  struct SoonScope {
    bool& running;
    const bool outer;
    ~SoonScope() { running = outer; }
  } scope{runningSoon_, runningSoon_};
  runningSoon_ = runningSoon_ || soon;
  call();
}

bool Scheduler::HasFastCall(int periodBelowMs) const {
  for (const auto& entry : calls_) {
    if (entry.second.periodMs > 0 && entry.second.periodMs < periodBelowMs) return true;
  }
  return false;
}

Scheduler& PageScheduler() {
  return ThePage().scheduler;
}

}  // namespace funzioni::web
