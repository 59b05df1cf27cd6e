#include <QMetaObject>
#include <QTimer>

#include "DeliveryLater.h"

namespace funzioni::detail {

void CallLater(QObject* context, const void* /*owner*/, int delayMs, std::function<void()> call) {
  QTimer::singleShot(delayMs, context, std::move(call));
}

void CallFromAnyThread(QObject* context, const void* /*owner*/, std::function<void()> call) {
  QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

}  // namespace funzioni::detail
