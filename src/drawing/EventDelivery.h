#pragma once

// How the dialog's events reach its one handler: one at a time, never into a handler that is
// busy, with the first paint and the close box kept until it is free. Private to the drawing
// layer.

#include <functional>
#include <memory>
#include <vector>

#include "DeliveryLater.h"
#include "DialogServices.h"
#include "EventGate.h"

namespace funzioni {

class EventDelivery {
 public:
  // calls makes the delayed deliveries and must outlive this; cancelWithoutHandler is what the
  // close box does while no handler is set; ended tells whether the dialog has ended, after which
  // a cancel held back is dropped.
  EventDelivery(detail::CallScheduler& calls, std::function<void()> cancelWithoutHandler,
                std::function<bool()> ended);
  ~EventDelivery();
  EventDelivery(const EventDelivery&) = delete;
  EventDelivery& operator=(const EventDelivery&) = delete;

  void SetHandler(std::function<void(const DialogEvent&)> handler);

  // Every event reaches the handler through here. A handler that is busy (a nested event loop
  // inside it, a pause, a program being waited for) is not re-entered; the destroy event always
  // arrives. A cancel (the close box) is the user's way out and is not dropped: it waits until
  // the handler is free.
  void Deliver(EventKind kind, int id = 0, int code = 0);

  // An event made whole by the caller (keys and assistive requests carry a value); dropped while
  // the handler is busy or absent.
  void DeliverWhole(const DialogEvent& event);

  // A call that any thread may make, as long as the program runs: the Timer event timerId reaches
  // the handler on the dialog's thread after delayMs, once the handler is free (a wake is not
  // dropped while it is busy; wakes waiting together come as one). Nothing once the dialog has
  // finished.
  std::function<void(int delayMs)> WakeFromAnyThread(int timerId);

  // Paints are reported from outside the paint itself, so that the handler may draw and pause.
  void QueuePaint();

  // The dialog has finished: nothing held back is delivered any more, and no wake comes.
  void Stop();

  bool Busy() const { return handlerDepth_ > 0 || gate_.Held(); }
  // Held by the dialog's own waits.
  detail::HandlerGate& Gate() { return gate_; }

 private:
  struct WakeLine;
  void DeliverPendingLater(int delayMs = 0);
  void Wake(int timerId);
  void DeliverPendingWakes();

  detail::CallScheduler& calls_;
  std::function<void()> cancelWithoutHandler_;
  std::function<bool()> ended_;
  std::function<void(const DialogEvent&)> handler_;
  detail::HandlerGate gate_;
  int handlerDepth_ = 0;
  bool paintPending_ = false;
  bool cancelPending_ = false;
  bool retryQueued_ = false;
  bool stopped_ = false;
  std::vector<int> pendingWakes_;       // timer identifiers, each once
  std::shared_ptr<WakeLine> wakeLine_;  // shared with the wakes handed out
};

}  // namespace funzioni
