#include <QTimer>

#include "DeliveryLater.h"

namespace funzioni::detail {

void CallLater(QObject* context, const void* /*owner*/, int delayMs, std::function<void()> call) {
  QTimer::singleShot(delayMs, context, std::move(call));
}

}  // namespace funzioni::detail
