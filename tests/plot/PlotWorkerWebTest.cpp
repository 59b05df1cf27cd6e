// The browser's plot worker on the host, over a background instance the test serves by hand:
// the desktop worker's rules (newer work waits and takes over, overdue work is abandoned) with
// the instance restarted to abandon, and the window kept going when the instance fails.

#include <chrono>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "plot/FakeBackgroundWork.h"
#include "plot/PlotWorkCodec.h"
#include "plot/PlotWorker.h"

namespace funzioni {
namespace {

using testing::Background;

class WebPlotWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    Background().available = true;
    Background().posted.clear();
    Background().restarts = 0;
  }

  static PlotWork Whole(float zoom) {
    PlotWork work;
    work.picture = PlotWork::Picture::Whole;
    work.state.zoomValue.value = zoom;
    work.state.currentFormula = "SIN(x)*x^2";
    work.size = {300, 200};
    return work;
  }
  static PlotWork TableOnly(int ticket) {
    PlotWork work;
    work.table = PlotState{};
    work.table->currentFormula = "1/x";
    work.tableTicket = ticket;
    return work;
  }
};

TEST_F(WebPlotWorker, NewerWorkWaitsForTheComputationAndTakesOverWhatItHasNotShown) {
  PlotWorker worker(0, std::chrono::minutes(1));
  worker.Submit(Whole(9));
  EXPECT_TRUE(worker.Computing());
  // The page's thread never waits: nothing has come, so the time is up at once.
  EXPECT_FALSE(worker.WaitFor(std::chrono::minutes(1)));
  worker.Submit(Whole(50));
  worker.Submit(TableOnly(3));
  EXPECT_EQ(Background().posted.size(), 1u) << "the later work waits";

  ASSERT_TRUE(Background().ServeOne());
  EXPECT_EQ(Background().posted.size(), 1u) << "the waiting work goes as soon as one comes back";
  EXPECT_TRUE(worker.WaitFor(std::chrono::minutes(1)));
  std::optional<PlotOutcome> first = worker.Take();
  ASSERT_TRUE(first && first->whole);
  EXPECT_EQ(first->zoom, 9);
  EXPECT_TRUE(worker.Busy());

  ASSERT_TRUE(Background().ServeOne());
  std::optional<PlotOutcome> last = worker.Take();
  ASSERT_TRUE(last && last->whole && last->table);
  EXPECT_EQ(last->zoom, 50);
  EXPECT_EQ(last->tableTicket, 3);
  EXPECT_FALSE(worker.Busy());
  EXPECT_EQ(worker.Abandonments(), 0);
  EXPECT_EQ(Background().restarts, 0);
}

TEST_F(WebPlotWorker, AnOverdueComputationIsAbandonedByRestartingTheInstance) {
  PlotWorker worker(0, std::chrono::milliseconds(0));
  worker.Submit(Whole(9));
  worker.Submit(Whole(50));
  EXPECT_EQ(worker.Abandonments(), 1);
  EXPECT_EQ(Background().restarts, 1);
  ASSERT_EQ(Background().posted.size(), 1u) << "only the newer work, sent to the fresh instance";
  ASSERT_TRUE(Background().ServeOne());
  std::optional<PlotOutcome> outcome = worker.Take();
  ASSERT_TRUE(outcome && outcome->whole);
  // What comes back is what the desktop computes.
  PlotComputer computer(1);
  EXPECT_EQ(EncodePlotOutcome(*outcome), EncodePlotOutcome(*computer.Compute(Whole(50), {})));
  EXPECT_FALSE(worker.Busy());
}

TEST_F(WebPlotWorker, TheWindowIsWokenForEachReplyAndWhenWorkBecomesOverdue) {
  PlotWorker worker(0, std::chrono::minutes(1));
  std::vector<std::chrono::milliseconds> wakes;
  worker.OnWake([&wakes](std::chrono::milliseconds after) { wakes.push_back(after); });
  worker.Submit(Whole(9));
  EXPECT_TRUE(wakes.empty()) << "nothing waits for the computation under way";
  PlotWork later = Whole(50);
  later.size = {310, 200};  // not of the kind computed before, which the page could compute itself
  worker.Submit(later);
  ASSERT_EQ(wakes.size(), 1u) << "the newer work waits: the page comes back when it is due";
  EXPECT_GT(wakes[0], std::chrono::seconds(59));
  EXPECT_LE(wakes[0], std::chrono::minutes(1));
  ASSERT_TRUE(Background().ServeOne());
  ASSERT_EQ(wakes.size(), 2u);
  EXPECT_EQ(wakes[1].count(), 0) << "a reply is taken at once";
  ASSERT_TRUE(worker.Take());
  ASSERT_TRUE(Background().ServeOne());
  ASSERT_EQ(wakes.size(), 3u);
  ASSERT_TRUE(worker.Take());
  EXPECT_FALSE(worker.Busy());

  // An instance that stops being able to run: the page computes the work at the next look.
  PlotWork other = Whole(9);
  other.size = {320, 200};
  worker.Submit(other);
  Background().BecomeUnusable();
  ASSERT_EQ(wakes.size(), 4u);
  EXPECT_EQ(wakes[3].count(), 0);
  std::optional<PlotOutcome> outcome = worker.Take();
  ASSERT_TRUE(outcome && outcome->whole);
  EXPECT_FALSE(worker.Busy());
}

TEST_F(WebPlotWorker, WorkOfAKindJustComputedQuicklyIsComputedOnThePage) {
  PlotWorker worker(0, std::chrono::minutes(1));
  std::vector<std::chrono::milliseconds> wakes;
  worker.OnWake([&wakes](std::chrono::milliseconds after) { wakes.push_back(after); });
  const auto small = [](float zoom) {
    PlotWork work = Whole(zoom);
    work.state.currentFormula = "x";
    work.size = {40, 30};
    return work;
  };
  worker.Submit(small(9));
  ASSERT_TRUE(Background().ServeOne());
  ASSERT_TRUE(worker.Take());

  worker.Submit(small(50));
  EXPECT_TRUE(Background().posted.empty());
  EXPECT_FALSE(worker.Computing());
  EXPECT_TRUE(worker.WaitFor(std::chrono::milliseconds(0)));
  std::optional<PlotOutcome> outcome = worker.Take();
  ASSERT_TRUE(outcome && outcome->whole);
  PlotComputer computer(1);
  EXPECT_EQ(EncodePlotOutcome(*outcome), EncodePlotOutcome(*computer.Compute(small(50), {})));
  EXPECT_FALSE(worker.Busy());
  EXPECT_EQ(wakes.size(), 1u) << "only the instance's reply woke the page";

  // Work of another kind goes to the instance; while it computes, newer work waits for it.
  PlotWork table = small(50);
  table.table = table.state;
  worker.Submit(table);
  worker.Submit(small(60));
  EXPECT_EQ(Background().posted.size(), 1u);
  EXPECT_TRUE(worker.Computing());
  // The waiting work is of the kind just computed: the page computes it on a quick machine.
  ASSERT_TRUE(Background().ServeOne());
  while (Background().ServeOne()) {
  }
  outcome = worker.Take();
  ASSERT_TRUE(outcome && outcome->whole && outcome->table) << "the later work took over the table";
  EXPECT_EQ(outcome->zoom, 60);
  EXPECT_FALSE(worker.Busy());
}

TEST_F(WebPlotWorker, TheWindowGoesOnWhenTheInstanceFails) {
  const struct {
    const char* name;
    bool available;
    void (*fail)();  // what befalls the work posted
    bool pictureShown;
    int restarts;
  } cases[] = {
      {"a request that fails: nothing shown, a fresh instance", true,
       [] { Background().FailOne(); }, false, 1},
      {"an instance that cannot run: the page computes", true,
       [] { Background().BecomeUnusable(); }, true, 0},
      {"no instance at all: the page computes", false, [] {}, true, 0},
  };
  for (const auto& c : cases) {
    SetUp();
    Background().available = c.available;
    PlotWorker worker;
    worker.Submit(Whole(9));
    c.fail();
    EXPECT_TRUE(worker.WaitFor(std::chrono::milliseconds(0))) << c.name;
    std::optional<PlotOutcome> outcome = worker.Take();
    ASSERT_TRUE(outcome) << c.name;
    EXPECT_EQ(outcome->whole.has_value(), c.pictureShown) << c.name;
    EXPECT_FALSE(worker.Busy()) << c.name;
    EXPECT_EQ(Background().restarts, c.restarts) << c.name;
  }
}

}  // namespace
}  // namespace funzioni
