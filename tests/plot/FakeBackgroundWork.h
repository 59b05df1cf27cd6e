#pragma once

// A background instance on the host for the browser's plot worker: the test decides when each
// request is served, and whether the instance fails or cannot run at all.

#include <cstdint>
#include <deque>
#include <vector>

#include "drawing/BackgroundWork.h"

namespace funzioni::testing {

struct FakeBackground {
  bool available = true;                         // whether an instance can be started
  BackgroundWork* work = nullptr;                // the one started last
  std::deque<std::vector<std::uint8_t>> posted;  // requests not yet served, oldest first
  int restarts = 0;
  BackgroundRequestHandler handler;  // what the background side registered

  // Serves the oldest request with the registered handler; false when none waits.
  bool ServeOne();
  // The oldest request fails (the instance aborted), or the instance stops being able to run.
  void FailOne();
  void BecomeUnusable();
};

// The one the fake service uses (the service has no other way to reach the test).
FakeBackground& Background();

}  // namespace funzioni::testing
