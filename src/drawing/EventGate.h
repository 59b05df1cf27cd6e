#pragma once

// While a blocking wait runs (a pause, a program started and waited for), the windows keep
// painting but no event reaches the dialog's handler: the handler is busy. Each dialog owns a
// gate; a wait holds the gate it is given, if any, for as long as it lasts.

#include <functional>
#include <string_view>

namespace funzioni::detail {

class HandlerGate {
 public:
  bool Held() const { return depth_ > 0; }

  // A wait that may be left early (a program waited for) says how while it lasts; Release, when
  // the user closes the dialog, leaves it.
  void SetRelease(std::function<void()> release) { release_ = std::move(release); }
  void Release() {
    if (release_) release_();
  }

  class Hold {
   public:
    explicit Hold(HandlerGate* gate) : gate_(gate) {
      if (gate_ != nullptr) ++gate_->depth_;
    }
    ~Hold() {
      if (gate_ != nullptr) --gate_->depth_;
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    HandlerGate* gate_;
  };

 private:
  int depth_ = 0;  // waits may nest
  std::function<void()> release_;
};

// The waits behind PauseMilliseconds and RunAndWait; gate may be null.
void PauseHolding(HandlerGate* gate, int milliseconds);
bool RunAndWaitHolding(HandlerGate* gate, std::string_view commandLine);

}  // namespace funzioni::detail
