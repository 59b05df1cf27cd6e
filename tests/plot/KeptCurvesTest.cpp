// Formulas kept drawn beside the typed one: each in its own colour under the typed formula's
// yellow, with the parameters' values now, named in a key; and the same through the page's bytes.

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PlotFixture.h"
#include "plot/Curves.h"
#include "plot/KeptCurves.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotBoard.h"
#include "plot/PlotCompute.h"
#include "plot/PlotWorkCodec.h"
#include "state/FormulaParameters.h"
#include "state/KeptFormulas.h"

namespace funzioni::testing {
namespace {

constexpr std::size_t kLetterK = 3;  // "abckmn"

class KeptCurves : public PlotFixture {
 protected:
  void RedrawKept() { RedrawPlot(dialog, kPlotAreaId, state, evaluator, accelerator); }
  int Count(Color color) const {
    int count = 0;
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 600; ++x) count += At(x, y) == color ? 1 : 0;
    }
    return count;
  }
  // The pixel of the seed view at zoom 50 (x and y from -10 to 10 over 600 pixels).
  Color AtPoint(double x, double y) const {
    return At(static_cast<int>(600 * (x + 10) / 20), static_cast<int>(600 - 600 * (y + 10) / 20));
  }
  PlotAccelerator accelerator{1};
};

TEST_F(KeptCurves, EachKeptFormulaInItsOwnColour) {
  struct Case {
    const char* name;
    const char* current;
    std::vector<std::string> kept;
    float k;
    // A point of the plane on the first kept curve, away from the key, and the colour there.
    double x, y;
    Color expected;
  };
  const Color first = KeptCurveColor(0);
  const Color second = KeptCurveColor(1);
  const Case cases[] = {
      {"a kept line", "", {"x"}, 1, 5, 5, first},
      {"its parameter follows the meter", "", {"k*x"}, -1, 5, -5, first},
      {"the same parameter at 2", "", {"k*x"}, 2, 2.5, 5, first},
      {"the second in the second colour", "", {"x", "0-x"}, 1, 5, -5, second},
      {"the typed formula's yellow over a kept one", "x", {"x"}, 1, 5, 5, kYellow},
  };
  for (const Case& c : cases) {
    SwitchEverythingOff();
    state.currentFormula = c.current;
    state.keptFormulas = c.kept;
    state.formulaParams[kLetterK].value = c.k;
    RedrawKept();
    // The curve's pixel may lie one row off the exact point.
    const bool near = AtPoint(c.x, c.y) == c.expected || AtPoint(c.x, c.y + 0.04) == c.expected ||
                      AtPoint(c.x, c.y - 0.04) == c.expected;
    EXPECT_TRUE(near) << c.name;
    EXPECT_GT(Count(c.expected), 300) << c.name;
  }
}

TEST_F(KeptCurves, TheKeyNamesTheKeptFormulasOnlyWhenThereAreAny) {
  SwitchEverythingOff();
  state.keptFormulas = {"x", "0-x", "x^2"};
  RedrawKept();
  // Each swatch lies in the upper left corner, one line under the other.
  for (std::size_t i = 0; i < state.keptFormulas.size(); ++i) {
    EXPECT_EQ(At(10, 10 + 14 * static_cast<int>(i)), KeptCurveColor(i)) << i;
  }
  const std::string withKey = Plot().GetSurfacePixels();

  state.keptFormulas.clear();
  RedrawKept();
  const std::string without = Plot().GetSurfacePixels();
  EXPECT_NE(At(10, 10), KeptCurveColor(0));
  EXPECT_NE(withKey, without);
  for (std::size_t i = 0; i < kMaxKeptFormulas; ++i) {
    EXPECT_EQ(Count(KeptCurveColor(i)), 0) << i;
  }
}

TEST(KeptCurveColours, FiveColoursApartFromEveryBuiltInCurveAndTheFormula) {
  for (std::size_t i = 0; i < kMaxKeptFormulas; ++i) {
    EXPECT_NE(KeptCurveColor(i), FormulaCurveColor()) << i;
    for (int n = 1; n <= functionCount; ++n) EXPECT_NE(KeptCurveColor(i), BuiltinCurveColor(n));
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(KeptCurveColor(i), KeptCurveColor(j));
  }
}

TEST(KeptCurvesCodec, KeptFormulasCrossToTheWorkerAndBack) {
  PlotWork work;
  work.picture = PlotWork::Picture::Whole;
  work.state.zoomValue.value = 50;
  work.state.typedFormula = "k*x^2";
  work.state.currentFormula = "2*x^2";
  work.state.keptFormulas = {"k*x", "SIN(x)*10"};
  work.state.formulaParams[kLetterK].value = 2;
  work.size = {600, 600};
  const std::vector<std::uint8_t> bytes = EncodePlotWork(work);
  const std::optional<PlotWork> decoded = DecodePlotWork(bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->state.keptFormulas, work.state.keptFormulas);
  EXPECT_EQ(decoded->state.typedFormula, work.state.typedFormula);
  EXPECT_EQ(decoded->state.formulaParams[kLetterK].value, 2.0f);

  PlotComputer computer(1);
  std::optional<PlotOutcome> outcome = computer.Compute(*decoded, DotLayer{});
  ASSERT_TRUE(outcome && outcome->whole);
  EXPECT_EQ(outcome->whole->key.size(), 2u);
  const std::vector<std::uint8_t> outcomeBytes = EncodePlotOutcome(*outcome);
  const std::optional<PlotOutcome> back = DecodePlotOutcome(outcomeBytes);
  ASSERT_TRUE(back && back->whole);
  EXPECT_EQ(back->whole->key, outcome->whole->key);

  // A list longer than the window keeps is no message of this program.
  PlotWork tooMany = work;
  tooMany.state.keptFormulas.assign(kMaxKeptFormulas + 1, "x");
  EXPECT_FALSE(DecodePlotWork(EncodePlotWork(tooMany)));
}

}  // namespace
}  // namespace funzioni::testing
