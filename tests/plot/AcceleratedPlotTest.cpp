// The accelerated drawing against the straightforward one: every pixel of the plotting area and
// every row of the results table must be the same, whatever the caches hold from earlier
// redraws.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "drawing/DialogServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/Curves.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotBackgroundCache.h"
#include "plot/PlotBoard.h"
#include "plot/PlotIds.h"
#include "plot/PlotWorker.h"
#include "plot/ResultsTable.h"
#include "state/PlotState.h"

namespace funzioni {
namespace {

// A dialog with the plotting area and the results list.
struct Board {
  Board() {
    dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600);
    dialog.AddControl(ControlKind::TextList, kResultsListId, "", 860, 4, 110, 240);
  }
  DrawingSurface& Plot() { return dialog.AttachSurface(kPlotAreaId); }
  std::string Pixels() { return Plot().GetSurfacePixels(); }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 1; i <= dialog.ListCount(kResultsListId); ++i) {
      rows.push_back(dialog.ListLine(kResultsListId, i));
    }
    return rows;
  }
  Dialog dialog{"funzioni", 0, 0, 974, 720, false};
};

// Where two pixel images differ: how many pixels and the first of them; empty when equal.
std::string Difference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  if (expected.size() != actual.size()) return "images of different sizes";
  const std::size_t pixels = (expected.size() - 8) / 4;
  std::size_t count = 0;
  std::size_t first = 0;
  for (std::size_t i = 0; i < pixels; ++i) {
    if (expected.compare(8 + 4 * i, 4, actual, 8 + 4 * i, 4) == 0) continue;
    if (count++ == 0) first = i;
  }
  std::ostringstream text;
  text << count << " pixels differ, first at column " << first % 600 << " row " << first / 600;
  return text.str();
}

struct DrawCase {
  const char* name;
  float zoom;
  float step;
  std::uint16_t curves;  // bit n: curve n on
  const char* formula;
  void (*parameters)(PlotState&);
};

constexpr std::uint16_t kAllCurves = 0x7FE;
constexpr std::uint16_t kParabola = 1 << 3;

void StartValues(PlotState&) {}
void NegativeA(PlotState& s) {
  for (int n = 1; n <= functionCount; ++n) s.paramA[n].value = -3.7f;
  s.paramB[9].value = 2.5f;  // a negative base with an exponent rounded to whole numbers
}
void ZeroC(PlotState& s) {
  s.paramC[4].value = 0;
  s.paramB[2].value = -0.25f;
}
void ZeroD(PlotState& s) {
  s.paramD[4].value = 0;
  s.paramA[9].value = -1;
  s.paramB[9].value = -1.5f;
}
void LargeValues(PlotState& s) {
  // Powers beyond double range and steep lines: the fast path must hand these over.
  for (int n = 1; n <= functionCount; ++n) {
    s.paramA[n].value = 10;
    s.paramB[n].value = 10;
  }
  s.paramC[4].value = 0.1f;
  s.paramD[4].value = -1;
}
void TinyValues(PlotState& s) {
  for (int n = 1; n <= functionCount; ++n) s.paramA[n].value = 0.0999999f;
  s.paramB[3].value = 0.25f;  // a row exactly halfway between two pixels at zoom 50
  s.paramB[9].value = -10;
}

const DrawCase kDrawCases[] = {
    {"start state", 50, 50, kParabola, "", StartValues},
    {"zoom 1, step 1, sine formula", 1, 1, kAllCurves, "SIN(x)*x^2", StartValues},
    {"zoom 9, step 0.3, reciprocal", 9, 0.3f, kAllCurves, "1/x", NegativeA},
    {"zoom 50, step 100, logarithm", 50, 100, kAllCurves, "LOG(x)", ZeroC},
    {"zoom 50, step 50, halfway rows", 50, 50, kAllCurves, "x+", TinyValues},
    {"zoom 100, step 1, square root", 100, 1, kAllCurves, "SQR(x)", ZeroD},
    {"zoom 100, step 1, sine formula", 100, 1, kAllCurves, "SIN(x)*x^2", StartValues},
    {"zoom 100, step 0.3, no formula", 100, 0.3f, kAllCurves, "", LargeValues},
    {"zoom 137, step 50, sine formula", 137, 50, kAllCurves, "SIN(x)*x^2", NegativeA},
    {"zoom 137, step 0.3, blocks of samples", 137, 0.3f, kAllCurves, "x^3/99", ZeroC},
    {"zoom 9, step 100, logarithm", 9, 100, kAllCurves, "LOG(x)", LargeValues},
};

PlotState StateOf(const DrawCase& c) {
  PlotState state;
  state.zoomValue.value = c.zoom;
  state.stepValue.value = c.step;
  for (int n = 1; n <= functionCount; ++n) state.curveOn[n] = (c.curves >> n) & 1;
  state.currentFormula = c.formula;
  c.parameters(state);
  return state;
}

class AcceleratedPlot : public ::testing::Test {
 protected:
  // Both redraws; the accelerated one over a picture left by whatever came before.
  void ExpectSameRedraw(const PlotState& state, const std::string& what) {
    RedrawPlot(reference.dialog, kPlotAreaId, state, evaluator);
    accelerated.Plot().ClearSurface(0x00123456);
    RedrawPlot(accelerated.dialog, kPlotAreaId, state, evaluator, accelerator);
    EXPECT_EQ(Difference(reference.Pixels(), accelerated.Pixels()), "") << what;
  }

  // The worker's outcomes until it is done, shown on the accelerated board as they come, against
  // the straightforward redraw and table of the last state.
  void ExpectSameOutcome(PlotWorker& worker, const PlotState& state, const std::string& what) {
    accelerated.Plot().ClearSurface(0x00123456);
    while (worker.Busy()) {
      ASSERT_TRUE(worker.WaitFor(std::chrono::minutes(2))) << what;
      std::optional<PlotOutcome> outcome = worker.Take();
      if (!outcome) continue;
      ASSERT_TRUE(outcome->whole) << what;
      ShowPlotPicture(accelerated.dialog, kPlotAreaId, outcome->zoom, *outcome->whole, background);
      if (outcome->table) ShowFormulaTable(accelerated.dialog, *outcome->table, outcome->tableRows);
    }
    RedrawPlot(reference.dialog, kPlotAreaId, state, evaluator);
    ShowFormulaResults(reference.dialog, state, evaluator, state.currentFormula);
    EXPECT_EQ(Difference(reference.Pixels(), accelerated.Pixels()), "") << what;
    EXPECT_EQ(reference.Rows(), accelerated.Rows()) << what;
  }

  PlotWork WholeWork(const PlotState& state) {
    PlotWork work;
    work.picture = PlotWork::Picture::Whole;
    work.state = state;
    work.size = {600, 600};
    work.table = state;
    work.tableTicket = ++tickets;
    return work;
  }

  Board reference;
  Board accelerated;
  ExpressionEvaluator evaluator;
  PlotAccelerator accelerator;
  PlotBackgroundCache background;
  int tickets = 0;
};

TEST_F(AcceleratedPlot, RedrawMatchesPixelForPixelAcrossZoomsStepsParametersAndFormulas) {
  // One accelerator through every case, so that each case meets the caches of the one before.
  for (const DrawCase& c : kDrawCases) {
    PlotState state = StateOf(c);
    ExpectSameRedraw(state, c.name);
    // A parameter drag: the formula's dots come from the cache.
    const long long evaluations = accelerator.FormulaCache().Evaluations();
    state.paramA[3].value = -state.paramA[3].value + 0.1f;
    state.paramB[9].value = 1.5f;
    state.curveOn[1] = state.curveOn[1] == 1 ? 0 : 1;
    ExpectSameRedraw(state, std::string(c.name) + ", after a parameter change");
    EXPECT_EQ(accelerator.FormulaCache().Evaluations(), evaluations) << c.name;
  }
}

// A picture goes to the screen once, whole: the page compares every picture shown with the one
// before, so showing the dots before the frame is drawn over them doubles that work, and shows a
// picture that is not the redraw's for a moment.
TEST_F(AcceleratedPlot, ARedrawShowsTheAreaOnceWithItsFinishedPicture) {
  int shown = 0;
  std::string firstShown;
  accelerated.Plot().SetRedrawHook([&] {
    if (shown++ == 0) firstShown = accelerated.Pixels();
  });
  for (const DrawCase& c : kDrawCases) {
    PlotState state = StateOf(c);
    if (c.formula[0] != '\0') state.keptFormulas = {"x^2-4"};  // a key drawn over the dots
    shown = 0;
    RedrawPlot(accelerated.dialog, kPlotAreaId, state, evaluator, accelerator);
    EXPECT_EQ(shown, 1) << c.name;
    EXPECT_EQ(Difference(accelerated.Pixels(), firstShown), "") << c.name;
  }
}

TEST_F(AcceleratedPlot, ZoomAndStepChangesRedrawEverythingThatDependsOnThem) {
  PlotState state = StateOf(kDrawCases[1]);
  const float zooms[] = {50, 9, 9, 100, 1, 50};
  const float steps[] = {50, 50, 0.3f, 100, 100, 50};
  for (std::size_t i = 0; i < std::size(zooms); ++i) {
    state.zoomValue.value = zooms[i];
    state.stepValue.value = steps[i];
    ExpectSameRedraw(state,
                     "zoom " + std::to_string(zooms[i]) + " step " + std::to_string(steps[i]));
  }
  // A new formula with the same zoom and step, and then none.
  state.currentFormula = "1/x";
  ExpectSameRedraw(state, "new formula");
  state.currentFormula.clear();
  ExpectSameRedraw(state, "no formula");
}

TEST_F(AcceleratedPlot, DraggingAParameterComputesOnlyThatCurveAgain) {
  PlotState state = StateOf(kDrawCases[2]);
  ExpectSameRedraw(state, "first");
  const auto computed = [&] { return accelerator.BuiltinCache().CurvesComputed(); };
  long long before = computed();
  state.paramA[5].value = 2.5f;
  ExpectSameRedraw(state, "a of the sine dragged");
  EXPECT_EQ(computed(), before + 1);
  before = computed();
  state.curveOn[7] = 0;
  ExpectSameRedraw(state, "a switch off");
  state.curveOn[7] = 1;
  ExpectSameRedraw(state, "the switch on again");
  EXPECT_EQ(computed(), before);
  state.stepValue.value = 3;
  ExpectSameRedraw(state, "the step changed");
  EXPECT_EQ(computed(), before + functionCount);
}

TEST_F(AcceleratedPlot, FormulaDrawnOverThePictureMatches) {
  // A formula entered after a redraw is drawn over the old one, without clearing. The compiled
  // sampling path answers most samples of the captured formulas.
  for (const char* formula : {"SQR(x)", "x+", "LOG(x)", "EXP(-x^2/2)", "x MOD 3", "2^-x", "-x^2+4",
                              "x^x", "INT(x)", "(x+1)/(x-1)"}) {
    PlotState state = StateOf(kDrawCases[6]);
    ExpectSameRedraw(state, formula);
    state.currentFormula = formula;
    PlotFormulaCurve(reference.dialog, kPlotAreaId, state, evaluator, formula);
    PlotFormulaCurve(accelerated.dialog, kPlotAreaId, state, evaluator, accelerator, formula);
    EXPECT_EQ(Difference(reference.Pixels(), accelerated.Pixels()), "") << formula;
    EXPECT_EQ(reference.Plot().GetCurrentPosition(), accelerated.Plot().GetCurrentPosition())
        << formula;
    // The redraw that follows reuses the dots just computed.
    const long long evaluations = accelerator.FormulaCache().Evaluations();
    ExpectSameRedraw(state, std::string(formula) + " redrawn");
    EXPECT_EQ(accelerator.FormulaCache().Evaluations(), evaluations) << formula;
  }
}

TEST_F(AcceleratedPlot, WorkerDrawsTheLastStateAfterAbandoningWhatItReplaced) {
  // Work handed over in a burst abandons the work before it wherever that had got to (no
  // patience); what the abandoned work left in the caches must not show afterwards, neither at
  // once nor later.
  PlotWorker worker(0, std::chrono::milliseconds(0));
  for (const DrawCase& c : kDrawCases) worker.Submit(WholeWork(StateOf(c)));
  ExpectSameOutcome(worker, StateOf(kDrawCases[std::size(kDrawCases) - 1]), "after the burst");
  for (const DrawCase& c : kDrawCases) {
    worker.Submit(WholeWork(StateOf(kDrawCases[1])));
    worker.Submit(WholeWork(StateOf(c)));
    ExpectSameOutcome(worker, StateOf(c), c.name);
  }
}

TEST_F(AcceleratedPlot, WorkerFinishesWorkUnderWayWithinItsPatience) {
  // As during a drag: the step being computed is not abandoned for the next one, which follows.
  PlotWorker worker(0, std::chrono::minutes(1));
  worker.Submit(WholeWork(StateOf(kDrawCases[6])));
  // Until it is under way (or, on a slow machine, already done).
  while (!worker.Computing() && !worker.WaitFor(std::chrono::milliseconds(0))) {
    std::this_thread::yield();
  }
  const PlotState last = StateOf(kDrawCases[8]);
  worker.Submit(WholeWork(last));
  std::optional<PlotOutcome> newest;
  while (worker.Busy()) {
    ASSERT_TRUE(worker.WaitFor(std::chrono::minutes(2)));
    if (std::optional<PlotOutcome> outcome = worker.Take()) newest = std::move(outcome);
  }
  EXPECT_EQ(worker.Abandonments(), 0);
  ASSERT_TRUE(newest);
  EXPECT_EQ(newest->zoom, last.zoomValue.value);
}

// Seconds of samples on any machine: every curve and a long formula at zoom 5,000.
PlotState LongState() {
  PlotState state = StateOf(kDrawCases[0]);
  state.curveOn.fill(1);
  std::string formula = "SIN(x)*x^2";
  while (formula.size() < 8000) formula += "+SIN(x)*x^2";
  state.currentFormula = formula;
  state.zoomValue.value = 4999;
  return state;
}

TEST_F(AcceleratedPlot, WorkerStopsOverdueWorkItselfAndWakesTheWindowForEachOutcome) {
  // Nobody looks at the worker meanwhile: it keeps its own time.
  PlotWorker worker(3, std::chrono::milliseconds(20));
  std::atomic<int> wakes{0};
  std::atomic<bool> wokenLater{false};
  worker.OnWake([&](std::chrono::milliseconds after) {
    if (after.count() != 0) wokenLater = true;
    ++wakes;
  });
  worker.Submit(WholeWork(LongState()));
  while (!worker.Computing()) std::this_thread::yield();
  const PlotState last = StateOf(kDrawCases[2]);
  worker.Submit(WholeWork(last));
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (wakes == 0 && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(wakes, 1);
  EXPECT_FALSE(wokenLater) << "the desktop's worker has nothing to be asked later";
  EXPECT_EQ(worker.Abandonments(), 1);
  std::optional<PlotOutcome> outcome = worker.Take();
  ASSERT_TRUE(outcome && outcome->whole);
  EXPECT_EQ(outcome->zoom, last.zoomValue.value);
  EXPECT_FALSE(worker.Busy());
}

TEST_F(AcceleratedPlot, AWorkerDestroyedWhileItsHelpersComputeEnds) {
  for (const unsigned threads : {1u, 3u}) {
    std::atomic<int> wakes{0};
    {
      PlotWorker worker(threads);
      worker.OnWake([&](std::chrono::milliseconds) { ++wakes; });
      worker.Submit(WholeWork(LongState()));
      while (!worker.Computing()) std::this_thread::yield();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(wakes, 0) << threads << " threads: the abandoned work has no outcome";
  }
}

TEST(PlotWorkMerge, LaterWorkTakesOverWhatTheEarlierHasNotShown) {
  using enum PlotWork::Picture;
  struct Case {
    PlotWork::Picture earlier, later, merged;
    bool earlierTable, laterTable;
    int mergedTicket;  // 0: no table
  };
  const Case cases[] = {
      {Whole, FormulaOver, Whole, false, true, 2},  // the whole picture includes the formula
      {FormulaOver, FormulaOver, FormulaOver, true, true, 2},  // the earlier pick is dropped
      {FormulaOver, Whole, Whole, true, false, 1},             // the pick's table still shows
      {Whole, None, Whole, false, false, 0},
      {None, Whole, Whole, true, false, 1},
  };
  // Work numbered n has zoom n and, with a table, ticket n.
  const auto work = [](int n, PlotWork::Picture picture, bool table) {
    PlotWork w;
    w.picture = picture;
    w.state.zoomValue.value = static_cast<float>(n);
    if (table) w.table = w.state;
    w.tableTicket = table ? n : 0;
    return w;
  };
  for (const Case& c : cases) {
    const PlotWork merged =
        MergePlotWork(work(1, c.earlier, c.earlierTable), work(2, c.later, c.laterTable));
    EXPECT_EQ(merged.picture, c.merged);
    EXPECT_EQ(merged.state.zoomValue.value, c.later == None ? 1 : 2);
    EXPECT_EQ(merged.table.has_value(), c.mergedTicket != 0);
    if (merged.table) {
      EXPECT_EQ(merged.tableTicket, c.mergedTicket);
    }
  }
}

TEST_F(AcceleratedPlot, ResultsTableRowsMatch) {
  for (const float zoom : {1.0f, 9.0f, 50.0f, 100.0f, 137.0f}) {
    for (const char* formula :
         {"SIN(x)*x^2", "LOG(x)", "1/x", "SQR(x)", "x+", "7", "x MOD 3", "2^-x", "3*x^3-2*x+1"}) {
      PlotState state;
      state.zoomValue.value = zoom;
      ShowFormulaResults(reference.dialog, state, evaluator, formula);
      ShowFormulaResults(accelerated.dialog, state, evaluator, accelerator, formula);
      EXPECT_EQ(reference.Rows(), accelerated.Rows()) << formula << " at zoom " << zoom;
    }
  }
}

// A background is copied for later redraws once it is drawn twice in a row (a zoom drag's steps
// each draw one of their own); what is put back is the picture and position kept.
TEST(PlotBackgroundCacheTest, KeepsABackgroundDrawnTwiceInARow) {
  PlotBackgroundCache cache;
  DrawingSurface drawn(8, 8);
  drawn.ClearSurface(0x00336699);
  drawn.MoveTo(3, 4);
  DrawingSurface target(8, 8);
  cache.KeepBackground(drawn, 10.0f);
  EXPECT_FALSE(cache.RestoreBackground(target, 10.0f)) << "drawn once";
  cache.KeepBackground(drawn, 20.0f);
  cache.KeepBackground(drawn, 10.0f);
  EXPECT_FALSE(cache.RestoreBackground(target, 10.0f)) << "another zoom in between";
  cache.KeepBackground(drawn, 10.0f);
  ASSERT_TRUE(cache.RestoreBackground(target, 10.0f)) << "drawn twice in a row";
  EXPECT_EQ(target.PixelAt(7, 7), 0x00336699);
  EXPECT_EQ(target.GetCurrentPosition(), (PixelPoint{3, 4}));
  // Still there after a single drawing of another zoom, which is not kept.
  cache.KeepBackground(drawn, 30.0f);
  EXPECT_TRUE(cache.RestoreBackground(target, 10.0f));
  EXPECT_FALSE(cache.RestoreBackground(target, 30.0f));
  cache.Drop();
  EXPECT_FALSE(cache.RestoreBackground(target, 10.0f));
}

}  // namespace
}  // namespace funzioni
