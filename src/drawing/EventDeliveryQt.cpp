#include <QMetaObject>
#include <QObject>
#include <QTimer>

#include "DeliveryLater.h"

namespace funzioni::detail {

namespace {

// Qt's timers and queued calls, bound to an object of their own: they die with it.
class QtCalls final : public CallScheduler {
 public:
  void CallLater(int delayMs, std::function<void()> call) override {
    QTimer::singleShot(delayMs, &context_, std::move(call));
  }
  void CallFromAnyThread(std::function<void()> call) override {
    QMetaObject::invokeMethod(&context_, std::move(call), Qt::QueuedConnection);
  }

 private:
  QObject context_;
};

}  // namespace

std::unique_ptr<CallScheduler> MakeDialogCalls() {
  return std::make_unique<QtCalls>();
}

}  // namespace funzioni::detail
