// The study window's job: newer work and a cancel stop the work under way at once and give
// nothing for it, a failure inside the work ends as the study's one line, the window is woken for
// each outcome, and f' comes out of the formula's own values. Every wait is for a condition.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/StudyJob.h"

namespace funzioni {
namespace {

using std::chrono::seconds;

StudyRequest Request(int ticket, const char* formula, bool slopes = false) {
  StudyRequest request;
  request.ticket = ticket;
  request.state.currentFormula = formula;
  request.state.zoomValue.value = 50;
  request.slopes = slopes;
  return request;
}

// What the job's thread tells the test: which tickets started and ended, whether they saw the
// stop, and the wakes. Every wait is for a condition, bounded so that a fault fails, not hangs.
class Watch {
 public:
  void Note(const std::function<void(Watch&)>& change) {
    {
      const std::lock_guard lock(mutex_);
      change(*this);
    }
    changed_.notify_all();
  }
  bool WaitUntil(const std::function<bool(const Watch&)>& done) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, seconds(20), [&] { return done(*this); });
  }
  template <typename T>
  T Read(const std::function<T(const Watch&)>& what) {
    const std::lock_guard lock(mutex_);
    return what(*this);
  }

  int started = 0;  // the ticket started last
  int ended = 0;    // the ticket that ended last
  bool sawStop = false;
  int wakes = 0;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
};

// A computation that holds its thread until it is told to stop (or 20 s pass, which no test
// waits for), then gives its outcome anyway, as a study that ignored the stop would.
StudyCompute HoldUntilStopped(Watch& watch) {
  return [&watch](const StudyRequest& request, StopToken stop) -> std::optional<StudyOutcome> {
    watch.Note([&](Watch& w) { w.started = request.ticket; });
    const auto until = std::chrono::steady_clock::now() + seconds(20);
    while (!stop.stop_requested() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool stopped = stop.stop_requested();
    watch.Note([&](Watch& w) {
      w.ended = request.ticket;
      w.sawStop = stopped;
    });
    StudyOutcome outcome;
    outcome.ticket = request.ticket;
    outcome.formula = request.state.currentFormula;
    return outcome;
  };
}

TEST(StudyJobTest, OnlyTheLastRequestIsAnswered) {
  StudyJob job;
  for (int ticket = 1; ticket <= 20; ++ticket) job.Submit(Request(ticket, "SIN(x*50)*x"));
  job.Submit(Request(21, "x^2"));
  ASSERT_TRUE(job.WaitFor(seconds(30)));
  const std::optional<StudyOutcome> outcome = job.Take();
  ASSERT_TRUE(outcome.has_value());
  EXPECT_EQ(outcome->ticket, 21);
  EXPECT_EQ(outcome->formula, "x^2");
  EXPECT_FALSE(outcome->lines.empty());
  EXPECT_FALSE(job.Busy());
  EXPECT_FALSE(job.Take().has_value());
}

// A cancel, and newer work, stop the computation under way at once; a cancelled one gives
// nothing and wakes nobody, the newer one is answered.
TEST(StudyJobTest, CancelAndNewerWorkStopTheWorkUnderWay) {
  Watch watch;
  StudyJob job(HoldUntilStopped(watch));
  job.OnWake([&watch] { watch.Note([](Watch& w) { ++w.wakes; }); });

  job.Submit(Request(1, "x"));
  ASSERT_TRUE(watch.WaitUntil([](const Watch& w) { return w.started == 1; }));
  job.Cancel();
  EXPECT_FALSE(job.Busy());
  ASSERT_TRUE(watch.WaitUntil([](const Watch& w) { return w.ended == 1; }));
  EXPECT_TRUE(watch.Read<bool>([](const Watch& w) { return w.sawStop; }));
  EXPECT_FALSE(job.Take().has_value());

  job.Submit(Request(2, "x"));
  ASSERT_TRUE(watch.WaitUntil([](const Watch& w) { return w.started == 2; }));
  job.Submit(Request(3, "x^2"));
  ASSERT_TRUE(watch.WaitUntil([](const Watch& w) { return w.ended == 2; }));
  EXPECT_TRUE(watch.Read<bool>([](const Watch& w) { return w.sawStop; }));
  ASSERT_TRUE(watch.WaitUntil([](const Watch& w) { return w.started == 3; }));
  job.Cancel();  // lets ticket 3 end; its outcome is dropped
  ASSERT_TRUE(watch.WaitUntil([](const Watch& w) { return w.ended == 3; }));
  EXPECT_EQ(watch.Read<int>([](const Watch& w) { return w.wakes; }), 0);
  EXPECT_FALSE(job.Take().has_value());
}

// The real study of a long formula (40 s of work here) stops soon after the cancel, at whichever
// of its stages it was: the compilation, the first values, the scans. The study looks at the stop
// between runs of values, which for a formula this long last up to about half a second.
TEST(StudyJobTest, AHeavyStudyEndsSoonAfterTheCancel) {
  // Far under the 40 s the whole study takes, so a stopped study is told from one run to its end,
  // and far over the half second a run of values may last: under the thread sanitizer on a
  // loaded machine a run lasts several times as long.
  constexpr auto kEndsSoon = std::chrono::seconds(10);
  Watch watch;
  StudyJob job([&watch](const StudyRequest& request, StopToken stop) {
    watch.Note([&](Watch& w) { w.started = request.ticket; });
    std::optional<StudyOutcome> outcome = ComputeStudy(request, stop);
    watch.Note([&](Watch& w) { w.ended = request.ticket; });
    return outcome;
  });
  std::string formula;
  for (int i = 0; i < 454; ++i) formula += "SIN(x)*x^2+";
  formula += "x^2";
  StudyRequest request = Request(1, formula.c_str(), true);
  request.state.zoomValue.value = 100;
  for (const int afterMs : {0, 5, 50, 300}) {
    SCOPED_TRACE(afterMs);
    job.Submit(request);
    ASSERT_TRUE(watch.WaitUntil([&](const Watch& w) { return w.started == request.ticket; }));
    // Not a wait for anything: the cancel comes at a later stage each time.
    std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
    const auto cancelled = std::chrono::steady_clock::now();
    job.Cancel();
    ASSERT_TRUE(watch.WaitUntil([&](const Watch& w) { return w.ended == request.ticket; }));
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, kEndsSoon);
    ++request.ticket;
  }
}

// The window is woken once the outcome is there to be taken, from the job's thread.
TEST(StudyJobTest, TheWindowIsWokenForEachOutcome) {
  Watch watch;
  StudyJob job;
  job.OnWake([&watch] { watch.Note([](Watch& w) { ++w.wakes; }); });
  for (int ticket = 1; ticket <= 2; ++ticket) {
    job.Submit(Request(ticket, "x^2-1"));
    ASSERT_TRUE(watch.WaitUntil([ticket](const Watch& w) { return w.wakes == ticket; }));
    const std::optional<StudyOutcome> outcome = job.Take();
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->ticket, ticket);
  }
}

// Whatever the computation throws, the job says so in one line and serves the next request.
TEST(StudyJobTest, AFailureEndsAsTheStudysLine) {
  struct Case {
    const char* name;
    std::function<void()> fail;
    std::string_view line;
  };
  const Case cases[] = {
      {"memory", [] { throw std::bad_alloc(); }, kStudyNoMemoryLine},
      {"exception", [] { throw std::runtime_error("inside the study"); }, kStudyFailedLine},
      {"not an exception", [] { throw 42; }, kStudyFailedLine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StudyJob job([&c](const StudyRequest& request, StopToken stop) {
      if (request.ticket == 1) c.fail();
      return ComputeStudy(request, stop);
    });
    StudyRequest request = Request(1, "x^2");
    request.state.zoomValue.value = 100;
    job.Submit(request);
    ASSERT_TRUE(job.WaitFor(seconds(30)));
    std::optional<StudyOutcome> outcome = job.Take();
    ASSERT_TRUE(outcome.has_value());
    EXPECT_TRUE(outcome->failed);
    ASSERT_EQ(outcome->lines.size(), 1u);
    EXPECT_EQ(outcome->lines[0].text, c.line);
    EXPECT_EQ(outcome->formula, "x^2");
    EXPECT_EQ(outcome->xMin, -20);  // the range the heading names
    EXPECT_EQ(outcome->xMax, 20);

    job.Submit(Request(2, "x^2"));
    ASSERT_TRUE(job.WaitFor(seconds(30)));
    outcome = job.Take();
    ASSERT_TRUE(outcome.has_value());
    EXPECT_FALSE(outcome->failed);
    EXPECT_GT(outcome->lines.size(), 1u);
  }
}

// f(x) = x^3 - 3x: f'(x) = 3x^2 - 3, at the curve's samples and at the table's rows.
TEST(StudyJobTest, SlopesAreTheDerivativeOfTheSampledValues) {
  const std::optional<StudyOutcome> outcome = ComputeStudy(Request(1, "x^3-3*x", true));
  ASSERT_TRUE(outcome.has_value());
  ASSERT_TRUE(outcome->slopes);
  ASSERT_FALSE(outcome->curve.empty());
  for (const SlopeDot& dot : outcome->curve) {
    const double exact = 3.0 * dot.x * dot.x - 3.0;
    EXPECT_NEAR(dot.slope, exact, 0.01 * (1 + std::abs(exact))) << "x = " << dot.x;
  }
  ASSERT_FALSE(outcome->tableRows.empty());
  bool sawTwo = false;
  for (const RowSlope& row : outcome->tableRows) {
    if (row.x != "2.0") continue;
    sawTwo = true;
    EXPECT_NEAR(row.slope, 9.0, 0.01);
  }
  EXPECT_TRUE(sawTwo);
  // Without the slopes asked for, none are computed.
  EXPECT_FALSE(ComputeStudy(Request(2, "x^3-3*x"))->slopes);
}

TEST(StudyJobTest, NoSlopeAcrossAGap) {
  const std::optional<StudyOutcome> outcome = ComputeStudy(Request(1, "SQR(x)", true));
  ASSERT_TRUE(outcome.has_value());
  for (const SlopeDot& dot : outcome->curve) EXPECT_GT(dot.x, 0) << dot.slope;
}

}  // namespace
}  // namespace funzioni
