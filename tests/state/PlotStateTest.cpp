#include "state/PlotState.h"

#include <gtest/gtest.h>

namespace funzioni {
namespace {

TEST(PlotState, BuiltinTableIsPaddedToTwentyCharacters) {
  const PlotState state;
  EXPECT_EQ(state.builtinFunctions[3].text, "a.x^2+b             ");
  EXPECT_EQ(state.builtinFunctions[4].text, "(a.x+b):(c.x+d)     ");
  int usesAll = 0;
  for (int n = 1; n <= functionCount; ++n) {
    const BuiltinFunction& f = state.builtinFunctions[n];
    EXPECT_EQ(f.text.size(), 20u) << n;
    EXPECT_EQ(f.usesA, 1) << n;
    usesAll += f.usesB + f.usesC + f.usesD;
  }
  // b for functions 2, 3, 4, 7; c and d only for function 4 (function 9 reads b without a meter).
  EXPECT_EQ(usesAll, 6);
  EXPECT_EQ(state.builtinFunctions[9].usesB, 0);
  EXPECT_EQ(FixedWidthText("abcdefghijklmnopqrstuvwxyz", 20), "abcdefghijklmnopqrst");
}

TEST(PlotState, InitialiseStateRestoresStartValuesAndRecordsAreSeparate) {
  PlotState state;
  state.paramA[5].value = 3.5f;
  EXPECT_EQ(state.paramA[6].value, 1.0f);
  state.curveOn.fill(1);
  state.currentFormula = "SIN(x)";
  state.zoomValue.value = 7;
  state.InitialiseState();
  EXPECT_EQ(state.paramA[5].value, 1.0f);
  EXPECT_EQ(state.curveOn[1], 0);
  EXPECT_EQ(state.curveOn[3], 1);
  EXPECT_TRUE(state.currentFormula.empty());
  EXPECT_EQ(state.zoomValue.value, 50.0f);
}

}  // namespace
}  // namespace funzioni
