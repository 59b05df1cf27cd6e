#include "PageBridge.h"
#include "drawing/DeliveryLater.h"

namespace funzioni::detail {

namespace {

// The page's timeouts; the calls still due are cancelled when the dialog goes.
class PageCalls final : public CallScheduler {
 public:
  PageCalls() = default;
  PageCalls(const PageCalls&) = delete;
  PageCalls& operator=(const PageCalls&) = delete;
  ~PageCalls() override { web::PageScheduler().CancelOwned(this); }

  void CallLater(int delayMs, std::function<void()> call) override {
    web::PageScheduler().Start(this, delayMs, 0, std::move(call));
  }
  // The page has one thread: every call comes from it, mostly a wake at a background instance's
  // reply, which goes on right after the reply's own task instead of after a timeout.
  void CallFromAnyThread(std::function<void()> call) override {
    web::PageScheduler().StartSoon(this, 0, std::move(call));
  }
};

}  // namespace

std::unique_ptr<CallScheduler> MakeDialogCalls() {
  return std::make_unique<PageCalls>();
}

}  // namespace funzioni::detail
