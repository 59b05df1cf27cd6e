#pragma once

// How the dialog's events reach its one handler: one at a time, never into a handler that is
// busy, with the first paint and the close box kept until it is free. Private to the drawing
// layer.

#include <functional>

#include "DialogServices.h"
#include "EventGate.h"

class QObject;

namespace funzioni {

class EventDelivery {
 public:
  // context bounds the delayed deliveries (they die with it); cancelWithoutHandler is what the
  // close box does while no handler is set; ended tells whether the dialog has ended, after which
  // a cancel held back is dropped.
  EventDelivery(QObject* context, std::function<void()> cancelWithoutHandler,
                std::function<bool()> ended);

  void SetHandler(std::function<void(const DialogEvent&)> handler);

  // Every event reaches the handler through here. A handler that is busy (a nested event loop
  // inside it, a pause, a program being waited for) is not re-entered; the destroy event always
  // arrives. A cancel (the close box) is the user's way out and is not dropped: it waits until
  // the handler is free.
  void Deliver(EventKind kind, int id = 0, int code = 0);

  // An event made whole by the caller (keys and assistive requests carry a value); dropped while
  // the handler is busy or absent.
  void DeliverWhole(const DialogEvent& event);

  // Paints are reported from outside the paint itself, so that the handler may draw and pause.
  void QueuePaint();

  // The dialog has finished: nothing held back is delivered any more.
  void Stop() { stopped_ = true; }

  bool Busy() const { return handlerDepth_ > 0 || gate_.Held(); }
  // Held by the dialog's own waits.
  detail::HandlerGate& Gate() { return gate_; }

 private:
  void DeliverPendingLater(int delayMs = 0);

  QObject* context_;
  std::function<void()> cancelWithoutHandler_;
  std::function<bool()> ended_;
  std::function<void(const DialogEvent&)> handler_;
  detail::HandlerGate gate_;
  int handlerDepth_ = 0;
  bool paintPending_ = false;
  bool cancelPending_ = false;
  bool retryQueued_ = false;
  bool stopped_ = false;
};

}  // namespace funzioni
