// A request to stop a long computation, passed from the one who asks to the one who computes.
// It is the standard library's where that has one; the web build's library has none, and there
// a shared flag does the same.
#pragma once

#include <version>

#if defined(__cpp_lib_jthread)
#include <stop_token>
#else
#include <atomic>
#include <memory>
#endif

namespace funzioni {

#if defined(__cpp_lib_jthread)

using StopToken = std::stop_token;
using StopSource = std::stop_source;

#else

class StopToken {
 public:
  StopToken() = default;
  bool stop_requested() const noexcept { return flag_ && flag_->load(std::memory_order_acquire); }
  bool stop_possible() const noexcept { return flag_ != nullptr; }

 private:
  friend class StopSource;
  explicit StopToken(std::shared_ptr<std::atomic<bool> > flag) : flag_(std::move(flag)) {}
  std::shared_ptr<std::atomic<bool> > flag_;
};

class StopSource {
 public:
  StopToken get_token() const noexcept { return StopToken(flag_); }
  bool request_stop() noexcept { return !flag_->exchange(true, std::memory_order_acq_rel); }
  bool stop_requested() const noexcept { return flag_->load(std::memory_order_acquire); }

 private:
  std::shared_ptr<std::atomic<bool> > flag_ = std::make_shared<std::atomic<bool> >(false);
};

#endif

}  // namespace funzioni
