#include "PageBridge.h"
#include "drawing/DeliveryLater.h"

namespace funzioni::detail {

void CallLater(QObject* /*context*/, const void* owner, int delayMs, std::function<void()> call) {
  web::PageScheduler().Start(owner, delayMs, 0, std::move(call));
}

// The page has one thread: every call comes from it.
void CallFromAnyThread(QObject* context, const void* owner, std::function<void()> call) {
  CallLater(context, owner, 0, std::move(call));
}

}  // namespace funzioni::detail
