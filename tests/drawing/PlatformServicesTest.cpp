// Platform services: pauses, random numbers, time of day, programs and documents.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <set>
#include <thread>

#include "drawing/PlatformServices.h"

namespace funzioni {
namespace {

TEST(PlatformServicesTest, RandomNumbersStayInTheHalfOpenInterval) {
  RandomSource seeded(42);
  RandomSource fromSystem;
  const std::function<double()> sources[] = {[] { return RandomUnit(); },
                                             [&seeded] { return seeded.RandomUnit(); },
                                             [&fromSystem] { return fromSystem.RandomUnit(); }};
  for (const auto& next : sources) {
    std::set<double> seen;
    for (int i = 0; i < 10000; ++i) {
      const double r = next();
      ASSERT_GE(r, 0.0);
      ASSERT_LT(r, 1.0);
      seen.insert(r);
    }
    EXPECT_GT(seen.size(), 9990u);
  }
}

TEST(PlatformServicesTest, ASeededSourceRepeatsItsRunAndOthersDoNot) {
  RandomSource first(7);
  RandomSource again(7);
  RandomSource other(8);
  RandomSource fromSystem;
  int sameAsOther = 0;
  int sameAsSystem = 0;
  for (int i = 0; i < 100; ++i) {
    const double r = first.RandomUnit();
    EXPECT_EQ(again.RandomUnit(), r);
    sameAsOther += other.RandomUnit() == r ? 1 : 0;
    sameAsSystem += fromSystem.RandomUnit() == r ? 1 : 0;
  }
  EXPECT_EQ(sameAsOther, 0);
  EXPECT_EQ(sameAsSystem, 0);
}

TEST(PlatformServicesTest, PauseWaitsAtLeastTheTimeGiven) {
  QElapsedTimer clock;
  clock.start();
  PauseMilliseconds(40);
  EXPECT_GE(clock.elapsed(), 39);
  EXPECT_LT(clock.elapsed(), 1000);
  PauseMilliseconds(0);
  PauseMilliseconds(-5);
}

TEST(PlatformServicesTest, TimeOfDayIsAValidClockReading) {
  const TimeOfDay t = CurrentTimeOfDay();
  EXPECT_GE(t.hour, 0);
  EXPECT_LT(t.hour, 24);
  EXPECT_GE(t.minute, 0);
  EXPECT_LT(t.minute, 60);
  EXPECT_GE(t.second, 0);
  EXPECT_LT(t.second, 61);
}

TEST(PlatformServicesTest, RunAndWaitWaitsForTheProgram) {
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(RunAndWait("sleep 0.2"));
  EXPECT_GE(clock.elapsed(), 190);
  EXPECT_TRUE(RunAndWait("sh -c \"exit 3\""));  // it ran; its exit code is not ours
  EXPECT_FALSE(RunAndWait("notepad.exe-that-does-not-exist espressioni.txt"));
  EXPECT_FALSE(RunAndWait(""));
  EXPECT_FALSE(RunAndWait("   "));
}

// A program that ends while the window's events are being handled must still end the wait; one
// that takes a while is waited for asleep, not by polling.
TEST(PlatformServicesTest, RunAndWaitEndsWithEveryProgramAndSleepsMeanwhile) {
  for (int run = 0; run < 200; ++run) ASSERT_TRUE(RunAndWait("true")) << "run " << run;
  for (int run = 0; run < 10; ++run) ASSERT_TRUE(RunAndWait("sleep 0.02")) << "run " << run;
  {
    // A window busy painting, whose paint handles events itself: the program's end is then
    // handled inside the wait's own event handling.
    QTimer painting;
    QObject::connect(&painting, &QTimer::timeout, [] {
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
      QCoreApplication::processEvents();
    });
    painting.start(1);
    for (int run = 0; run < 10; ++run) ASSERT_TRUE(RunAndWait("sleep 0.03")) << "run " << run;
  }
  const std::clock_t cpuBefore = std::clock();
  ASSERT_TRUE(RunAndWait("sleep 0.4"));
  const double cpuSeconds = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
  EXPECT_LT(cpuSeconds, 0.1);
}

TEST(PlatformServicesTest, OpeningAMissingDocumentFails) {
  EXPECT_FALSE(OpenDocument("/nonexistent/lista mp3.txt"));
  EXPECT_FALSE(OpenDocument(""));
}

TEST(PlatformServicesTest, DisplayAvailableFollowsTheEnvironment) {
  struct Saved {
    const char* name;
    std::string value;
    bool set;
  };
  std::vector<Saved> saved;
  for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) {
    const char* v = std::getenv(name);
    saved.push_back({name, v ? v : "", v != nullptr});
    unsetenv(name);
  }
  EXPECT_FALSE(DisplayAvailable());
  setenv("DISPLAY", ":4321", 1);  // no such server
  EXPECT_FALSE(DisplayAvailable());
  setenv("DISPLAY", "remotehost:0", 1);  // cannot tell: let the toolkit try
  EXPECT_TRUE(DisplayAvailable());
  unsetenv("DISPLAY");
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  EXPECT_TRUE(DisplayAvailable());
  EXPECT_NE(NoDisplayMessage().find("QT_QPA_PLATFORM"), std::string::npos);
  for (const Saved& s : saved) {
    if (s.set) {
      setenv(s.name, s.value.c_str(), 1);
    } else {
      unsetenv(s.name);
    }
  }
}

}  // namespace
}  // namespace funzioni
