#include "EventDelivery.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "DeliveryLater.h"

namespace funzioni {

namespace {

// Counts a handler call for as long as it runs, also when it ends by an exception: the dialog
// must not stay deaf after a handler that threw.
class HandlerScope {
 public:
  explicit HandlerScope(int& depth) : depth_(depth) { ++depth_; }
  ~HandlerScope() { --depth_; }
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;

 private:
  int& depth_;
};

}  // namespace

// What the wakes handed out reach, for as long as it is there: they may be called from other
// threads, and after the dialog has gone.
struct EventDelivery::WakeLine {
  std::mutex mutex;
  EventDelivery* delivery = nullptr;

  EventDelivery* Get() {
    const std::lock_guard lock(mutex);
    return delivery;
  }
  void Close() {
    const std::lock_guard lock(mutex);
    delivery = nullptr;
  }
};

EventDelivery::EventDelivery(detail::CallScheduler& calls,
                             std::function<void()> cancelWithoutHandler,
                             std::function<bool()> ended)
    : calls_(calls),
      cancelWithoutHandler_(std::move(cancelWithoutHandler)),
      ended_(std::move(ended)),
      wakeLine_(std::make_shared<WakeLine>()) {
  wakeLine_->delivery = this;
}

EventDelivery::~EventDelivery() {
  wakeLine_->Close();
}

void EventDelivery::Stop() {
  stopped_ = true;
  wakeLine_->Close();
}

std::function<void(int delayMs)> EventDelivery::WakeFromAnyThread(int timerId) {
  return [line = wakeLine_, timerId](int delayMs) {
    // Held while the call is handed over, so that the dialog cannot go meanwhile.
    const std::lock_guard lock(line->mutex);
    if (line->delivery == nullptr) return;
    EventDelivery& delivery = *line->delivery;
    delivery.calls_.CallFromAnyThread([line, timerId, delayMs] {
      EventDelivery* now = line->Get();
      if (now == nullptr) return;
      if (delayMs <= 0) {
        now->Wake(timerId);
        return;
      }
      now->calls_.CallLater(delayMs, [line, timerId] {
        if (EventDelivery* later = line->Get()) later->Wake(timerId);
      });
    });
  };
}

void EventDelivery::Wake(int timerId) {
  if (stopped_) return;
  if (std::find(pendingWakes_.begin(), pendingWakes_.end(), timerId) == pendingWakes_.end()) {
    pendingWakes_.push_back(timerId);
  }
  if (Busy()) {
    DeliverPendingLater();
    return;
  }
  DeliverPendingWakes();
}

void EventDelivery::DeliverPendingWakes() {
  while (!pendingWakes_.empty() && !Busy() && !stopped_) {
    const int timerId = pendingWakes_.front();
    pendingWakes_.erase(pendingWakes_.begin());
    Deliver(EventKind::Timer, timerId);
  }
}

void EventDelivery::SetHandler(std::function<void(const DialogEvent&)> handler) {
  handler_ = std::move(handler);
}

void EventDelivery::Deliver(EventKind kind, int id, int code) {
  if (Busy() && kind != EventKind::Destroy) {
    if (kind == EventKind::Command && id == kCommandCancel) {
      cancelPending_ = true;
      gate_.Release();  // a program waited for is left to run on its own
      DeliverPendingLater();
    }
    return;
  }
  if (!handler_) {
    if (kind == EventKind::Command && id == kCommandCancel) cancelWithoutHandler_();
    return;
  }
  const HandlerScope scope(handlerDepth_);
  handler_(DialogEvent{kind, id, code});
}

void EventDelivery::DeliverWhole(const DialogEvent& event) {
  if (stopped_ || Busy() || !handler_) return;
  const HandlerScope scope(handlerDepth_);
  handler_(event);
}

void EventDelivery::QueuePaint() {
  paintPending_ = true;
  DeliverPendingLater();
}

// Delivers the pending paint and cancel once the handler is free: the first paint and the close
// box must not be lost while it is busy.
void EventDelivery::DeliverPendingLater(int delayMs) {
  if (retryQueued_) return;
  retryQueued_ = true;
  calls_.CallLater(delayMs, [this] {
    retryQueued_ = false;
    if (stopped_) return;
    if (Busy()) {
      DeliverPendingLater(15);
      return;
    }
    if (std::exchange(paintPending_, false)) Deliver(EventKind::Paint);
    if (Busy()) {
      DeliverPendingLater(15);
      return;
    }
    if (std::exchange(cancelPending_, false) && !ended_()) {
      Deliver(EventKind::Command, kCommandCancel, 0);
    }
    DeliverPendingWakes();
    if (!pendingWakes_.empty() && !stopped_) DeliverPendingLater(15);
  });
}

}  // namespace funzioni
