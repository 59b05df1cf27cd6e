// The event delivery with a scheduler run by hand: what a busy handler misses, what waits for it,
// and what a stopped dialog no longer receives, with no toolkit and no clock.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "drawing/DeliveryLater.h"
#include "drawing/EventDelivery.h"

namespace funzioni {
namespace {

class HandCalls final : public detail::CallScheduler {
 public:
  void CallLater(int delayMs, std::function<void()> call) override {
    due_.push_back({delayMs, std::move(call)});
  }
  void CallFromAnyThread(std::function<void()> call) override { CallLater(0, std::move(call)); }

  // Runs the calls due now, and those they ask for, a few rounds at most (a busy handler keeps
  // asking).
  void RunRounds(int rounds = 8) {
    for (int round = 0; round < rounds && !due_.empty(); ++round) {
      std::vector<Due> now = std::exchange(due_, {});
      for (Due& d : now) d.call();
    }
  }
  std::vector<int> Delays() const {
    std::vector<int> delays;
    for (const Due& d : due_) delays.push_back(d.delayMs);
    return delays;
  }

 private:
  struct Due {
    int delayMs = 0;
    std::function<void()> call;
  };
  std::vector<Due> due_;
};

class EventDeliveryTest : public ::testing::Test {
 protected:
  EventDeliveryTest() {
    delivery_.SetHandler([this](const DialogEvent& e) { seen_.push_back(e); });
  }

  std::vector<EventKind> Kinds() const {
    std::vector<EventKind> kinds;
    for (const DialogEvent& e : seen_) kinds.push_back(e.kind);
    return kinds;
  }

  HandCalls calls_;
  bool ended_ = false;
  int cancelsWithoutHandler_ = 0;
  EventDelivery delivery_{calls_, [this] { ++cancelsWithoutHandler_; }, [this] { return ended_; }};
  std::vector<DialogEvent> seen_;
};

TEST_F(EventDeliveryTest, WhatABusyHandlerMissesAndWhatWaitsForIt) {
  struct Case {
    const char* name;
    EventKind kind;
    int id;
    bool endedMeanwhile;
    std::vector<EventKind> afterRelease;
  };
  const Case cases[] = {
      {"a timer tick is missed", EventKind::Timer, 7, false, {}},
      {"a pointer shape is missed", EventKind::PointerShape, 3, false, {}},
      {"the close box waits", EventKind::Command, kCommandCancel, false, {EventKind::Command}},
      {"the close box of an ended dialog is dropped", EventKind::Command, kCommandCancel, true, {}},
      {"Destroy always arrives", EventKind::Destroy, 0, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seen_.clear();
    ended_ = false;
    {
      const detail::HandlerGate::Hold hold(&delivery_.Gate());
      delivery_.Deliver(c.kind, c.id);
      calls_.RunRounds();  // still busy: nothing held back comes yet
      if (c.kind == EventKind::Destroy) {
        EXPECT_EQ(Kinds(), std::vector<EventKind>{EventKind::Destroy});
        seen_.clear();
      } else {
        EXPECT_TRUE(seen_.empty());
      }
    }
    ended_ = c.endedMeanwhile;
    calls_.RunRounds();
    EXPECT_EQ(Kinds(), c.afterRelease);
  }
}

TEST_F(EventDeliveryTest, TheFirstPaintWaitsUntilTheHandlerIsFree) {
  {
    const detail::HandlerGate::Hold hold(&delivery_.Gate());
    delivery_.QueuePaint();
    calls_.RunRounds();
    EXPECT_TRUE(seen_.empty());
  }
  calls_.RunRounds();
  EXPECT_EQ(Kinds(), std::vector<EventKind>{EventKind::Paint});
}

TEST_F(EventDeliveryTest, WakesFromAnotherThreadComeOnceEachAfterTheirDelay) {
  const auto wake = delivery_.WakeFromAnyThread(5);
  {
    const detail::HandlerGate::Hold hold(&delivery_.Gate());
    std::thread([&wake] {
      wake(0);
      wake(0);
    }).join();
    calls_.RunRounds();
    EXPECT_TRUE(seen_.empty());
  }
  calls_.RunRounds();
  ASSERT_EQ(seen_.size(), 1u);  // wakes waiting together come as one
  EXPECT_EQ(seen_[0].kind, EventKind::Timer);
  EXPECT_EQ(seen_[0].id, 5);

  seen_.clear();
  wake(120);
  calls_.RunRounds(1);  // hands the wake over; its delay is then asked of the scheduler
  EXPECT_EQ(calls_.Delays(), std::vector<int>{120});
  calls_.RunRounds();
  EXPECT_EQ(seen_.size(), 1u);
}

TEST_F(EventDeliveryTest, AStoppedDeliveryDropsWhatWasHeldBackAndLaterWakes) {
  const auto wake = delivery_.WakeFromAnyThread(5);
  {
    const detail::HandlerGate::Hold hold(&delivery_.Gate());
    delivery_.QueuePaint();
    delivery_.Deliver(EventKind::Command, kCommandCancel);
    wake(0);
  }
  delivery_.Stop();
  wake(0);
  calls_.RunRounds();
  EXPECT_TRUE(seen_.empty());
}

TEST_F(EventDeliveryTest, TheCloseBoxWithoutAHandlerEndsTheDialog) {
  delivery_.SetHandler(nullptr);
  delivery_.Deliver(EventKind::Command, kCommandCancel);
  delivery_.Deliver(EventKind::Command, kCommandOk);
  EXPECT_EQ(cancelsWithoutHandler_, 1);
}

}  // namespace
}  // namespace funzioni
