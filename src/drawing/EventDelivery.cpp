#include "EventDelivery.h"

#include <utility>

#include "DeliveryLater.h"

namespace funzioni {

EventDelivery::EventDelivery(QObject* context, std::function<void()> cancelWithoutHandler,
                             std::function<bool()> ended)
    : context_(context),
      cancelWithoutHandler_(std::move(cancelWithoutHandler)),
      ended_(std::move(ended)) {}

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
  ++handlerDepth_;
  handler_(DialogEvent{kind, id, code});
  --handlerDepth_;
}

void EventDelivery::DeliverWhole(const DialogEvent& event) {
  if (stopped_ || Busy() || !handler_) return;
  ++handlerDepth_;
  handler_(event);
  --handlerDepth_;
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
  detail::CallLater(context_, this, delayMs, [this] {
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
  });
}

}  // namespace funzioni
