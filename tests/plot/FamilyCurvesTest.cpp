// The typed formula's family in one parameter: its curves in graded shades from the parameter's
// minimum to its maximum under the typed yellow, the key of which shade is which value, nothing
// while it is off, and the same through the page's bytes.

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PlotFixture.h"
#include "app/FaceColor.h"
#include "plot/Curves.h"
#include "plot/FamilyCurves.h"
#include "plot/KeptCurves.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotBoard.h"
#include "plot/PlotCompute.h"
#include "plot/PlotWorkCodec.h"

namespace funzioni::testing {
namespace {

constexpr std::size_t kLetterA = 0;  // "abckmn"
constexpr std::size_t kLetterK = 3;

class FamilyPicture : public PlotFixture {
 protected:
  void RedrawFamily() { RedrawPlot(dialog, kPlotAreaId, state, evaluator, accelerator); }
  // The pixel of the seed view at zoom 50 (x and y from -10 to 10 over 600 pixels).
  Color AtPoint(double x, double y) const {
    return At(static_cast<int>(600 * (x + 10) / 20), static_cast<int>(600 - 600 * (y + 10) / 20));
  }
  // The curve's pixel may lie one row off the exact point.
  bool Near(double x, double y, Color color) const {
    return AtPoint(x, y) == color || AtPoint(x, y + 0.04) == color || AtPoint(x, y - 0.04) == color;
  }
  void TypeFormula(const std::string& typed, const std::string& current) {
    SwitchEverythingOff();
    state.typedFormula = typed;
    state.currentFormula = current;
  }
  PlotAccelerator accelerator{1};
};

TEST_F(FamilyPicture, ThreeCurvesOfXSquaredPlusKLieAtTheirRowsInTheirShades) {
  TypeFormula("x^2+k", "x^2+ 1");
  ParamRecord& k = state.formulaParams[kLetterK];
  k.minimum = -5;
  k.maximum = 5;
  k.value = 1;
  state.family = {kLetterK, 3};
  RedrawFamily();
  // At x = 0.5 the curves are 0.25 - 5, 0.25 and 0.25 + 5; the current k = 1 stays yellow.
  const struct {
    const char* name;
    double y;
    Color color;
  } rows[] = {
      {"k = -5, the lightest", -4.75, FamilyCurveColor(0, 3)},
      {"k = 0, the middle shade", 0.25, FamilyCurveColor(1, 3)},
      {"k = 5, the darkest", 5.25, FamilyCurveColor(2, 3)},
      {"k = 1, the typed yellow", 1.25, kYellow},
  };
  for (const auto& row : rows) {
    EXPECT_TRUE(Near(0.5, row.y, row.color)) << row.name;
    EXPECT_TRUE(Near(-0.5, row.y, row.color)) << row.name;
  }
  // The key's swatches in the upper left corner, one line per value in order.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(At(10, 10 + 14 * i), FamilyCurveColor(i, 3)) << i;
}

TEST_F(FamilyPicture, TheCurrentValuesCurveStaysYellowOverItsFamilyTwin) {
  // k = 0 is both a family value and the current one: the yellow covers its shade.
  TypeFormula("x^2+k", "x^2+0");
  ParamRecord& k = state.formulaParams[kLetterK];
  k.minimum = -5;
  k.maximum = 5;
  k.value = 0;
  state.family = {kLetterK, 3};
  RedrawFamily();
  EXPECT_TRUE(Near(0.5, 0.25, kYellow));
  EXPECT_TRUE(Near(2, 4, kYellow));
}

TEST_F(FamilyPicture, AFamilyThatIsNotDrawnLeavesEveryPixelAsWithout) {
  const struct {
    const char* name;
    std::string typed;
    FormulaFamily family;
  } cases[] = {
      {"switched off", "x^2+k", {kLetterK, 0}},
      {"a letter the formula does not use", "x^2+k", {kLetterA, 5}},
      {"a single curve is no family", "x^2+k", {kLetterK, 1}},
      {"a formula without parameters", "x^2", {kLetterK, 5}},
  };
  for (const auto& c : cases) {
    TypeFormula(c.typed, "x^2+1");
    state.family = {};
    RedrawFamily();
    const std::string without = Plot().GetSurfacePixels();
    state.family = c.family;
    RedrawFamily();
    EXPECT_EQ(Plot().GetSurfacePixels(), without) << c.name;
    EXPECT_TRUE(FamilyKey(state).empty()) << c.name;
  }
}

TEST_F(FamilyPicture, DraggingTheFamilysOwnParameterEvaluatesNoFamilyCurveAgain) {
  TypeFormula("k*x", "1*x");
  state.family = {kLetterK, 5};
  RedrawFamily();
  const long long before = accelerator.KeptCaches().Family(0).Evaluations();
  state.formulaParams[kLetterK].value = 2.5f;
  state.currentFormula = "2.5*x";
  RedrawFamily();
  EXPECT_EQ(accelerator.KeptCaches().Family(0).Evaluations(), before);
  // The family stays where it was: k = 5 (the fourth of -10, -5, 0, 5, 10) through (1, 5).
  EXPECT_TRUE(Near(1, 5, FamilyCurveColor(3, 5)));
}

TEST(FamilyValues, FromTheMinimumToTheMaximumInEvenSteps) {
  const struct {
    const char* name;
    float minimum, maximum;
    int curves;
    std::vector<float> values;
  } cases[] = {
      {"-10..10 in five", -10, 10, 5, {-10, -5, 0, 5, 10}},
      {"-1..1 in nine, quarters", -1, 1, 9, {-1, -0.75f, -0.5f, -0.25f, 0, 0.25f, 0.5f, 0.75f, 1}},
      {"0..10 in three", 0, 10, 3, {0, 5, 10}},
      {"-5..5 in two, the ends", -5, 5, 2, {-5, 5}},
  };
  for (const auto& c : cases) {
    PlotState state;
    state.typedFormula = "x^2+k";
    state.formulaParams[kLetterK].minimum = c.minimum;
    state.formulaParams[kLetterK].maximum = c.maximum;
    state.family = {kLetterK, c.curves};
    std::vector<float> values;
    for (const FamilyCurve& curve : FamilyCurves(state)) values.push_back(curve.value);
    EXPECT_EQ(values, c.values) << c.name;
  }
}

TEST(FamilyValues, EachCurveHasItsValueAndTheOtherParametersTheirsNow) {
  PlotState state;
  state.typedFormula = "a*x+k";
  state.formulaParams[kLetterA].value = 2;
  state.formulaParams[kLetterK].minimum = -1;
  state.formulaParams[kLetterK].maximum = 1;
  state.family = {kLetterK, 3};
  const std::vector<FamilyCurve> curves = FamilyCurves(state);
  ASSERT_EQ(curves.size(), 3u);
  EXPECT_EQ(curves[0].text, " 2*x+-1");
  EXPECT_EQ(curves[1].text, " 2*x+ 0");
  EXPECT_EQ(curves[2].text, " 2*x+ 1");
  const std::vector<KeptKeyEntry> key = FamilyKey(state);
  ASSERT_EQ(key.size(), 3u);
  EXPECT_EQ(key[0].text, "k = -1");
  EXPECT_EQ(key[1].text, "k = 0");
  EXPECT_EQ(key[2].text, "k = 1");
  const struct {
    float value;
    const char* text;
  } texts[] = {{-7.5f, "-7.5"}, {0.1f, "0.1"}, {-0.25f, "-0.25"}, {10, "10"}, {0, "0"}};
  for (const auto& t : texts) EXPECT_EQ(FamilyValueText(t.value), t.text) << t.value;
}

int Lightness(Color color) {
  return (color & 0xFF) + ((color >> 8) & 0xFF) + ((color >> 16) & 0xFF);
}

TEST(FamilyShades, LightToDarkAndApartFromEveryOtherCurve) {
  for (const int count : {2, 3, 5, 9}) {
    for (int i = 0; i < count; ++i) {
      const Color shade = FamilyCurveColor(i, count);
      if (i > 0) {
        EXPECT_LT(Lightness(shade), Lightness(FamilyCurveColor(i - 1, count))) << count;
      }
      EXPECT_NE(shade, FormulaCurveColor());
      for (int n = 1; n <= functionCount; ++n) EXPECT_NE(shade, BuiltinCurveColor(n));
      for (std::size_t kept = 0; kept < kMaxKeptFormulas; ++kept) {
        EXPECT_NE(shade, KeptCurveColor(kept));
      }
      // Clear of the face: the darkest shade is still well lighter.
      EXPECT_GT(Lightness(shade), Lightness(kFaceColor) + 100) << count << " " << i;
    }
  }
}

TEST(FamilyCodec, TheFamilyCrossesToTheWorkerAndItsKeyBack) {
  PlotWork work;
  work.picture = PlotWork::Picture::Whole;
  work.state.zoomValue.value = 50;
  work.state.typedFormula = "x^3-k*x+9";
  work.state.currentFormula = "x^3- 1*x+9";
  work.state.keptFormulas = {"x"};
  work.state.family = {kLetterK, kMaxFamilyCurves};
  work.size = {600, 600};
  const std::optional<PlotWork> decoded = DecodePlotWork(EncodePlotWork(work));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->state.family, work.state.family);

  PlotComputer computer(1);
  const std::optional<PlotOutcome> outcome = computer.Compute(*decoded, DotLayer{});
  ASSERT_TRUE(outcome && outcome->whole);
  // The kept formula's line first, then one per family value.
  ASSERT_EQ(outcome->whole->key.size(), 1u + kMaxFamilyCurves);
  EXPECT_EQ(outcome->whole->key[1].text, "k = -10");
  const std::optional<PlotOutcome> back = DecodePlotOutcome(EncodePlotOutcome(*outcome));
  ASSERT_TRUE(back && back->whole);
  EXPECT_EQ(back->whole->key, outcome->whole->key);

  const struct {
    const char* name;
    FormulaFamily family;
  } malformed[] = {
      {"no such letter", {kFormulaParameterCount, 3}},
      {"more curves than a family has", {kLetterK, kMaxFamilyCurves + 1}},
  };
  for (const auto& m : malformed) {
    PlotWork bad = work;
    bad.state.family = m.family;
    EXPECT_FALSE(DecodePlotWork(EncodePlotWork(bad))) << m.name;
  }
}

}  // namespace
}  // namespace funzioni::testing
