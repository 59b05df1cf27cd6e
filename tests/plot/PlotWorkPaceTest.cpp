// Where the browser's plot worker computes: on the page only work of a kind just computed quickly,
// never formulas that took long, and after a slow step on the page the background instance again
// for a while, longer each time the page is slow again.

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "plot/PlotWorkPace.h"

namespace funzioni {
namespace {

using std::chrono::microseconds;

constexpr microseconds kQuick{1000};
constexpr microseconds kHeaviest{10000};

PlotWork Step(float a = 1) {
  PlotWork work;
  work.picture = PlotWork::Picture::Whole;
  work.state.typedFormula = "a*x^2";
  work.state.currentFormula = "1*x^2";
  work.state.paramA[1].value = a;
  work.size = {600, 600};
  return work;
}

TEST(PlotWorkPace, OnlyWorkOfTheKindJustComputedQuicklyIsComputedOnThePage) {
  PlotWorkPace pace(kQuick, kHeaviest);
  EXPECT_FALSE(pace.Here(Step())) << "nothing is known yet";
  pace.Computed(Step(), microseconds(500), false);
  EXPECT_TRUE(pace.Here(Step(2))) << "a parameter moved";
  PlotWork zoomed = Step();
  zoomed.state.zoomValue.value = 100;
  EXPECT_TRUE(pace.Here(zoomed)) << "the zoom moved";

  const struct {
    const char* name;
    void (*change)(PlotWork&);
  } otherKinds[] = {
      {"another formula", [](PlotWork& w) { w.state.typedFormula = "SIN(x)"; }},
      {"a curve switched on", [](PlotWork& w) { w.state.curveOn[3] ^= 1; }},
      {"a kept formula", [](PlotWork& w) { w.state.keptFormulas.push_back("x"); }},
      {"a family", [](PlotWork& w) { w.state.family.curves = 5; }},
      {"a table", [](PlotWork& w) { w.table = w.state; }},
      {"another area",
       [](PlotWork& w) {
         w.size = {300, 600};
       }},
      {"the formula over the picture",
       [](PlotWork& w) { w.picture = PlotWork::Picture::FormulaOver; }},
  };
  for (const auto& kind : otherKinds) {
    PlotWork work = Step();
    kind.change(work);
    EXPECT_FALSE(pace.Here(work)) << kind.name;
  }

  pace.Computed(Step(), microseconds(1500), false);
  EXPECT_FALSE(pace.Here(Step())) << "the last step took long";
  pace.Computed(Step(), microseconds(900), false);
  EXPECT_TRUE(pace.Here(Step()));
}

TEST(PlotWorkPace, FormulasThatTookLongStayInTheBackgroundUntilTheyChange) {
  PlotWorkPace pace(kQuick, kHeaviest);
  pace.Computed(Step(), microseconds(40000), false);  // the formula computed from scratch
  pace.Computed(Step(), microseconds(300), false);
  EXPECT_FALSE(pace.Here(Step())) << "the page's first step could compute it all again";
  PlotWork curve = Step();
  curve.state.curveOn[2] ^= 1;
  pace.Computed(curve, microseconds(300), false);
  EXPECT_FALSE(pace.Here(curve)) << "a curve switched on keeps the formula's cost";

  pace.Abandoned(Step());
  pace.Computed(Step(), microseconds(300), false);
  EXPECT_FALSE(pace.Here(Step())) << "a computation abandoned as overdue";

  PlotWork other = Step();
  other.state.typedFormula = "x";
  pace.Computed(other, microseconds(2000), false);
  pace.Computed(other, microseconds(300), false);
  EXPECT_TRUE(pace.Here(other)) << "a new formula is judged afresh";
}

TEST(PlotWorkPace, AfterASlowStepOnThePageTheBackgroundTakesLongerEachTime) {
  PlotWorkPace pace(kQuick, kHeaviest);
  pace.Computed(Step(), microseconds(300), false);
  // How many steps go to the background instance after each slow step on the page.
  auto backgroundSteps = [&pace] {
    int steps = 0;
    while (!pace.Here(Step()) && steps < 100) {
      pace.Computed(Step(), microseconds(300), false);
      ++steps;
    }
    return steps;
  };
  pace.Computed(Step(), microseconds(5000), true);
  EXPECT_EQ(backgroundSteps(), 1);
  pace.Computed(Step(), microseconds(5000), true);
  EXPECT_EQ(backgroundSteps(), 2);
  pace.Computed(Step(), microseconds(5000), true);
  EXPECT_EQ(backgroundSteps(), 4);
  for (int i = 0; i < 3; ++i) pace.Computed(Step(), microseconds(5000), true);
  EXPECT_EQ(backgroundSteps(), 8) << "at most";

  pace.Computed(Step(), microseconds(200), true);
  EXPECT_TRUE(pace.Here(Step()));
  pace.Computed(Step(), microseconds(5000), true);
  EXPECT_EQ(backgroundSteps(), 1) << "a quick step on the page starts again from one";

  pace.Computed(Step(), microseconds(5000), true);
  PlotWork other = Step();
  other.size = {200, 200};
  pace.Computed(other, microseconds(300), false);
  EXPECT_TRUE(pace.Here(other)) << "another kind starts afresh";
}

}  // namespace
}  // namespace funzioni
