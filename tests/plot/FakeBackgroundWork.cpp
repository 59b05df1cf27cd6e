#include "plot/FakeBackgroundWork.h"

#include <utility>

namespace funzioni {

namespace testing {

FakeBackground& Background() {
  static FakeBackground background;
  return background;
}

}  // namespace testing

using testing::Background;

struct BackgroundWorkReplies {
  static void Deliver(BackgroundWork& work, std::vector<std::uint8_t> reply) {
    work.onReply_(std::move(reply));
  }
  static void Unusable(BackgroundWork& work) {
    work.handle_ = 0;
    work.onReply_({});
  }
};

BackgroundWork::BackgroundWork(ReplyHandler onReply)
    : onReply_(std::move(onReply)), handle_(Background().available ? 1 : 0) {
  Background().work = this;
}

BackgroundWork::~BackgroundWork() {
  if (Background().work == this) Background().work = nullptr;
  Background().posted.clear();
}

bool BackgroundWork::Available() const {
  return handle_ != 0;
}

void BackgroundWork::Post(std::span<const std::uint8_t> request) {
  if (handle_ != 0) Background().posted.emplace_back(request.begin(), request.end());
}

void BackgroundWork::Restart() {
  Background().posted.clear();
  ++Background().restarts;
}

void BackgroundWork::Arrived(int, int) {}

void ServeBackgroundWork(BackgroundRequestHandler handler) {
  Background().handler = std::move(handler);
}

namespace testing {

bool FakeBackground::ServeOne() {
  if (posted.empty() || work == nullptr) return false;
  std::vector<std::uint8_t> request = std::move(posted.front());
  posted.pop_front();
  BackgroundWorkReplies::Deliver(*work, handler(request));
  return true;
}

void FakeBackground::FailOne() {
  if (posted.empty() || work == nullptr) return;
  posted.pop_front();
  BackgroundWorkReplies::Deliver(*work, {});
}

void FakeBackground::BecomeUnusable() {
  posted.clear();
  if (work != nullptr) BackgroundWorkReplies::Unusable(*work);
}

}  // namespace testing

}  // namespace funzioni
