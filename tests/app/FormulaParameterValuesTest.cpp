// The typed formula's parameters in the plot state and on their meters, without a window.

#include "app/FormulaParameterValues.h"

#include <gtest/gtest.h>

#include "app/Meters.h"

namespace funzioni {
namespace {

std::size_t IndexOf(char letter) {
  return *FormulaParameterIndex(letter);
}

TEST(FormulaParameterValues, ValuesLastWhileTheFormulaUsesTheirLetter) {
  PlotState state;
  SetTypedFormula(state, "x^3-k*x+9");
  EXPECT_EQ(state.currentFormula, "x^3- 1*x+9");  // every parameter starts at 1, as a built-in's
  state.formulaParams[IndexOf('k')].value = -2.5f;
  PutFormulaParameters(state);
  EXPECT_EQ(state.currentFormula, "x^3--2.5*x+9");

  SetTypedFormula(state, "k*x+a");
  EXPECT_EQ(state.currentFormula, "-2.5*x+ 1");  // k kept, a new
  state.formulaParams[IndexOf('a')].value = 4.0f;
  SetTypedFormula(state, "x^2");
  EXPECT_EQ(state.currentFormula, "x^2");
  EXPECT_EQ(state.formulaParams[IndexOf('a')].value, 1.0f);
  EXPECT_EQ(state.formulaParams[IndexOf('k')].value, 1.0f);
  SetTypedFormula(state, "");
  EXPECT_EQ(state.currentFormula, "");
}

TEST(FormulaParameterValues, AFamilyLastsWhileTheFormulaUsesItsLetter) {
  const struct {
    const char* name;
    const char* next;
    int curves;  // of the family in k after the next formula
  } cases[] = {
      {"k still used", "k*x^2", 5},
      {"k and another letter", "a*x+k", 5},
      {"k no longer used", "a*x", 0},
      {"no letter at all", "x^2", 0},
  };
  for (const auto& c : cases) {
    PlotState state;
    SetTypedFormula(state, "x^3-k*x+9");
    state.family = {IndexOf('k'), 5};
    SetTypedFormula(state, c.next);
    EXPECT_EQ(state.family.curves, c.curves) << c.name;
  }
}

TEST(FormulaParameterValues, MetersMoveOnlyTheLettersInUse) {
  PlotState state;
  Meters meters(state);
  const int k = FormulaMeterId(IndexOf('k'));
  const int m = FormulaMeterId(IndexOf('m'));
  EXPECT_FALSE(meters.Has(k));
  SetTypedFormula(state, "-x^3+k*x+9");
  EXPECT_TRUE(meters.Has(k));
  EXPECT_FALSE(meters.Has(m));
  EXPECT_FALSE(meters.Drag(m, 50.0f).has_value());

  // The right end of -10..10, then the keypad and the reset, as any parameter's meter.
  const std::optional<MeterLook> end = meters.Drag(k, 100.0f);
  ASSERT_TRUE(end.has_value());
  EXPECT_EQ(end->caption, "k =10.0");
  EXPECT_EQ(state.currentFormula, "-x^3+ 10*x+9");
  meters.Step(k, -1);
  EXPECT_EQ(state.currentFormula, "-x^3+ 9.9*x+9");
  meters.SetValue(k, -30.0);  // clamped to the range
  EXPECT_EQ(state.currentFormula, "-x^3+-10*x+9");
  const std::optional<MeterLook> reset = meters.Reset(k);
  EXPECT_EQ(reset->needle, 55.0f);
  EXPECT_EQ(state.currentFormula, "-x^3+ 1*x+9");
  EXPECT_EQ(state.typedFormula, "-x^3+k*x+9");
}

TEST(FormulaParameterValues, MeterIdentifiersMapToTheLetters) {
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    EXPECT_EQ(FormulaMeterIndexOf(FormulaMeterId(i)), i);
  }
  EXPECT_FALSE(FormulaMeterIndexOf(kFormulaMeterBaseId - 1));
  EXPECT_FALSE(FormulaMeterIndexOf(kFormulaMeterBaseId + static_cast<int>(kFormulaParameterCount)));
}

}  // namespace
}  // namespace funzioni
