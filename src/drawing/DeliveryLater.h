#pragma once

// How the dialog's event delivery comes back once its handler is free: calls made later, in the
// toolkit's own event loop. Private to the drawing layer.

#include <functional>
#include <memory>

namespace funzioni::detail {

// Each backend gives the delivery one of these (a Qt object's timers on the desktop, the page's
// timeouts in the browser); a test may give it one it runs by hand. Calls not yet made when it
// goes are dropped.
class CallScheduler {
 public:
  CallScheduler() = default;
  CallScheduler(const CallScheduler&) = delete;
  CallScheduler& operator=(const CallScheduler&) = delete;
  virtual ~CallScheduler() = default;

  // Calls `call` after delayMs on the thread of the event loop.
  virtual void CallLater(int delayMs, std::function<void()> call) = 0;
  // The same at once, but callable from any thread. The caller keeps the scheduler alive until
  // this has returned.
  virtual void CallFromAnyThread(std::function<void()> call) = 0;
};

// The backend's scheduler for a dialog's delivery (EventDeliveryQt.cpp, web/EventDeliveryWeb.cpp):
// made on the thread of the event loop.
std::unique_ptr<CallScheduler> MakeDialogCalls();

}  // namespace funzioni::detail
