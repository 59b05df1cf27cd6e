// The study's lines of where the current formula meets the kept formulas and the built-in curves
// that are on, and what of the state crosses to the page's study with the request.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/KeptIntersections.h"
#include "evaluator/ExpressionEvaluator.h"

namespace funzioni {
namespace {

constexpr std::size_t kLetterK = 3;  // "abckmn"

std::vector<std::string> Texts(const std::vector<StudyLine>& lines) {
  std::vector<std::string> texts;
  for (const StudyLine& line : lines) texts.push_back(line.text);
  return texts;
}

TEST(KeptIntersections, LinesInTheOrderOfXWithTheirMarks) {
  const struct {
    const char* name;
    const char* formula;
    std::vector<std::string> kept;
    std::vector<int> switches;
    float k;
    std::vector<std::string> expected;
  } cases[] = {
      {"nothing else drawn", "x^2", {}, {}, 1, {}},
      {"a kept line crossing twice",
       "x^2",
       {"x+2"},
       {},
       1,
       {"Intersezione con x+2: (x \xE2\x89\x88 \xE2\x88\x92"
        "1, y \xE2\x89\x88 1), attraversamento",
        "Intersezione con x+2: (x \xE2\x89\x88 2, y \xE2\x89\x88 4), attraversamento"}},
      {"a kept tangent with its parameter",
       "x^2",
       {"2*x-k"},
       {},
       1,
       {"Intersezione con 2*x-k: (x \xE2\x89\x88 1, y \xE2\x89\x88 1), tangenza"}},
      {"the built-in line a.x+b that is on, sorted among a kept one",
       "x^2",
       {"0-x+2"},
       {2},
       2,
       {"Intersezione con 0-x+2: (x \xE2\x89\x88 \xE2\x88\x92"
        "2, y \xE2\x89\x88 4), attraversamento",
        "Intersezione con a.x+b: (x \xE2\x89\x88 \xE2\x88\x92"
        "1, y \xE2\x89\x88 1), attraversamento",
        "Intersezione con 0-x+2: (x \xE2\x89\x88 1, y \xE2\x89\x88 1), attraversamento",
        "Intersezione con a.x+b: (x \xE2\x89\x88 2, y \xE2\x89\x88 4), attraversamento"}},
  };
  ExpressionEvaluator evaluator;
  for (const auto& c : cases) {
    PlotState state;
    state.curveOn.fill(0);
    for (const int n : c.switches) state.curveOn[n] = 1;
    state.paramA[2].value = 1;
    state.paramB[2].value = 2;
    state.currentFormula = c.formula;
    state.keptFormulas = c.kept;
    state.formulaParams[kLetterK].value = c.k;
    const std::vector<StudyLine> lines = IntersectionLines(evaluator, state);
    EXPECT_EQ(Texts(lines), c.expected) << c.name;
    for (const StudyLine& line : lines) EXPECT_TRUE(line.mark.has_value()) << c.name;
  }
}

TEST(KeptIntersections, NoFormulaMeetsNothing) {
  PlotState state;
  state.keptFormulas = {"x"};
  ExpressionEvaluator evaluator;
  EXPECT_TRUE(IntersectionLines(evaluator, state).empty());
}

TEST(KeptIntersections, TheStateCrossesToThePageAndBadBytesAreRefused) {
  PlotState state;
  state.keptFormulas = {"k*x", "x^2"};
  state.formulaParams[kLetterK].value = -2.5f;
  state.curveOn.fill(0);
  state.curveOn[5] = 1;
  state.paramA[5].value = 3;
  const std::string bytes = EncodeIntersectionState(state);
  PlotState decoded;
  ASSERT_TRUE(DecodeIntersectionState(bytes, decoded));
  EXPECT_EQ(decoded.keptFormulas, state.keptFormulas);
  EXPECT_EQ(decoded.formulaParams[kLetterK].value, -2.5f);
  EXPECT_EQ(decoded.curveOn, state.curveOn);
  EXPECT_EQ(decoded.paramA[5].value, 3.0f);
  EXPECT_EQ(IntersectionPartners(decoded), IntersectionPartners(state));

  std::string tooMany;
  for (const char byte : {'\x06', '\0', '\0', '\0'}) tooMany.push_back(byte);
  const struct {
    const char* name;
    std::string bytes;
  } bad[] = {
      {"empty", ""},
      {"cut short", bytes.substr(0, bytes.size() - 1)},
      {"one byte more", bytes + '\0'},
      {"six formulas", tooMany + bytes.substr(4)},
  };
  for (const auto& b : bad) {
    PlotState untouched;
    EXPECT_FALSE(DecodeIntersectionState(b.bytes, untouched)) << b.name;
    EXPECT_TRUE(untouched.keptFormulas.empty()) << b.name;
  }
}

}  // namespace
}  // namespace funzioni
