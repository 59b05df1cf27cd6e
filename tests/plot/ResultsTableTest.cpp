// The results table: heading lines, one row per tenth of a unit, and the number mask.

#include <algorithm>
#include <string>
#include <vector>

#include "PlotFixture.h"
#include "plot/ResultsTable.h"
#include "sampling/FormulaSampler.h"
#include "sampling/ResultRows.h"

namespace funzioni::testing {
namespace {

using ResultsTable = PlotFixture;

std::string XText(const std::string& row) {
  return row.substr(0, row.find(" ;"));
}
std::string YText(const std::string& row) {
  return row.substr(row.find(" ;") + 2);
}

TEST_F(ResultsTable, BuiltinFunctionAcrossTheStartRange) {
  ShowBuiltinResults(dialog, state, 3);
  const std::vector<std::string> lines = ResultLines();
  ASSERT_EQ(lines.size(), 202u);
  EXPECT_EQ(lines[0], "a.x^2+b             ");
  EXPECT_EQ(lines[1], " ");
  EXPECT_EQ(lines[2], "-10.0 ; 101.0");
  EXPECT_EQ(XText(lines.back()), " 9.9");  // the running sum stops one step short of 10
  // The row nearest 0 is a drifted running sum, not exactly 0.
  const std::string nearZero = XText(lines[102]);
  EXPECT_TRUE(nearZero == " 0.0" || nearZero == "-0.0") << nearZero;
  EXPECT_EQ(lines[102], " 0.0 ; 1.0");
}

TEST_F(ResultsTable, FiveRowsAtZoomOneWithAnInfiniteValue) {
  state.zoomValue.value = 1;
  state.paramC[4].value = 1;
  state.paramD[4].value = 0;
  ShowBuiltinResults(dialog, state, 4);  // (x + 1) / x; the switch is off, which does not matter
  const std::vector<std::string> expected = {
      "(a.x+b):(c.x+d)     ", " ",         "-0.2 ;-4.0", "-0.1 ;-9.0", " 0 ; inf",
      " 0.1 ; 11.0",          " 0.2 ; 6.0"};
  EXPECT_EQ(ResultLines(), expected);
}

TEST_F(ResultsTable, SquareRootOnlyForNonNegativeX) {
  ShowBuiltinResults(dialog, state, 10);
  const std::vector<std::string> lines = ResultLines();
  ASSERT_EQ(lines.size(), 2u + 100u);  // from the sample nearest 0 up to 9.9
  EXPECT_EQ(lines[0], "sqr(a.x)            ");
  EXPECT_EQ(lines[2], " 0.0 ; 0.0");
  for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_EQ(lines[i][0], ' ') << lines[i];
  EXPECT_EQ(lines.back(), " 9.9 ; 3.1");

  state.paramA[10].value = -1;  // now only x <= 0
  ShowBuiltinResults(dialog, state, 10);
  EXPECT_EQ(ResultLines().size(), 2u + 100u);
  EXPECT_EQ(ResultLines()[2], "-10.0 ; 3.2");
}

TEST_F(ResultsTable, FormulaRowsAndRejectedSamples) {
  ShowFormulaResults(dialog, state, evaluator, "x^2");
  std::vector<std::string> lines = ResultLines();
  ASSERT_EQ(lines.size(), 202u);
  EXPECT_EQ(lines[0], "x^2");
  EXPECT_EQ(lines[1], " ");
  EXPECT_EQ(lines[2], "-10.0 ; 100.0");
  EXPECT_EQ(lines[102], " 0.0 ; 0.0");

  ShowFormulaResults(dialog, state, evaluator, "5");  // no x: the same y in every row
  lines = ResultLines();
  ASSERT_EQ(lines.size(), 202u);
  for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_EQ(YText(lines[i]), " 5.0");

  ShowFormulaResults(dialog, state, evaluator, "x+");  // never evaluates: headings only
  EXPECT_EQ(ResultLines(), (std::vector<std::string>{"x+", " "}));

  state.zoomValue.value = 1;
  ShowFormulaResults(dialog, state, evaluator, "1/x");  // the sample at exactly 0 is rejected
  const std::vector<std::string> expected = {"1/x",         " ",           "-0.2 ;-5.0",
                                             "-0.1 ;-10.0", " 0.1 ; 10.0", " 0.2 ; 5.0"};
  EXPECT_EQ(ResultLines(), expected);
}

// Values exactly halfway between two tenths round away from zero, on the window's plain path and
// on its compiled one alike.
TEST_F(ResultsTable, ExactHalvesRoundAwayFromZero) {
  struct Case {
    const char* name;
    float zoom;
    const char* formula;
    const char* row;  // a row the table must hold
  };
  const Case cases[] = {
      {"quarter", 1, "0.25", " 0.1 ; 0.3"},
      {"negative quarter", 1, "-0.25", " 0.1 ;-0.3"},
      {"square of 1.5", 13, "x^2", " 1.5 ; 2.3"},
      {"square through products", 13, "-x*-x", " 1.5 ; 2.3"},
      {"shifted square", 13, "3+x^2", " 1.5 ; 5.3"},
      {"negative square", 13, "0-x^2", "-1.5 ;-2.3"},
      {"large power", 50, "10^x", " 5.8 ; 630956.3"},
  };
  FormulaSampler sampler(2);
  for (const Case& c : cases) {
    state.zoomValue.value = c.zoom;
    ShowFormulaResults(dialog, state, evaluator, c.formula);
    const std::vector<std::string> lines = ResultLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.row), lines.end()) << c.name;
    const std::vector<std::string> rows = FormulaTableRows(state, evaluator, sampler, c.formula);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), rows) << c.name;
  }
}

}  // namespace
}  // namespace funzioni::testing
