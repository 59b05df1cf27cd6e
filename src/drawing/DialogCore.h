#pragma once

// What a dialog is whatever toolkit shows it: its event delivery, its life from Initialise to
// Destroy, its random numbers and its controls as records. Each backend's Dialog::Impl derives
// from it and adds what the toolkit needs; the methods written once for both (DialogCommon.cpp)
// see only this. Private to the drawing layer.

#include <memory>

#include "DeliveryLater.h"
#include "DialogControls.h"
#include "DialogServices.h"
#include "EventDelivery.h"
#include "PlatformServices.h"

namespace funzioni::detail {

struct DialogCore {
  DialogCore()
      : calls(MakeDialogCalls()),
        delivery(
            *calls, [this] { EndDialogNow(kCommandCancel); }, [this] { return ended; }) {}
  DialogCore(const DialogCore&) = delete;
  DialogCore& operator=(const DialogCore&) = delete;
  virtual ~DialogCore() = default;

  virtual ControlRecords& Controls() = 0;
  virtual const ControlRecords& Controls() const = 0;

  // Every event the dialog itself sends goes through here (the page holds some back while its
  // editor is open).
  virtual void Deliver(EventKind kind, int id = 0, int code = 0) {
    delivery.Deliver(kind, id, code);
  }

  // The first end wins: its result is kept, and the backend then finishes the dialog.
  void EndDialogNow(int value) {
    if (ended) return;
    ended = true;
    result = value;
    OnEnded();
  }

  // Declared before the delivery, which uses it: it goes after it, with the calls still due.
  std::unique_ptr<CallScheduler> calls;
  EventDelivery delivery;
  RandomSource random;
  bool initialised = false;
  bool ended = false;
  bool finished = false;
  int result = 0;

 protected:
  // The dialog has just ended (result set): leave the modal loop, or finish at once.
  virtual void OnEnded() = 0;
};

}  // namespace funzioni::detail
