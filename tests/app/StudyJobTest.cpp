// The study window's job: newer work replaces older at once, a cancelled request gives nothing,
// and f' comes out of the formula's own values.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "app/StudyJob.h"

namespace funzioni {
namespace {

StudyRequest Request(int ticket, const char* formula, bool slopes = false) {
  StudyRequest request;
  request.ticket = ticket;
  request.state.currentFormula = formula;
  request.state.zoomValue.value = 50;
  request.slopes = slopes;
  return request;
}

TEST(StudyJobTest, OnlyTheLastRequestIsAnswered) {
  StudyJob job;
  for (int ticket = 1; ticket <= 20; ++ticket) job.Submit(Request(ticket, "SIN(x*50)*x"));
  job.Submit(Request(21, "x^2"));
  ASSERT_TRUE(job.WaitFor(std::chrono::seconds(30)));
  const std::optional<StudyOutcome> outcome = job.Take();
  ASSERT_TRUE(outcome.has_value());
  EXPECT_EQ(outcome->ticket, 21);
  EXPECT_EQ(outcome->formula, "x^2");
  EXPECT_FALSE(job.Busy());
  EXPECT_FALSE(job.Take().has_value());
}

TEST(StudyJobTest, ACancelledRequestGivesNothing) {
  StudyJob job;
  job.Submit(Request(1, "SIN(x*50)*x"));
  job.Cancel();
  EXPECT_FALSE(job.Busy());
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(job.Take().has_value());
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
