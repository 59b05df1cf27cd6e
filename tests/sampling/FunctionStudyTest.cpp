// The study of a typed formula against the mathematics of each function: every kind counted
// exactly, positions within a thousandth of the range (angles in degrees).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>
#include "sampling/StopToken.h"

#include "evaluator/ExpressionEvaluator.h"
#include "sampling/FunctionStudy.h"

namespace funzioni {
namespace {

struct Zero {
  double x;
  bool touching;
};
struct Gap {
  double from;
  double to;
};
struct Sign {
  double from;
  double to;
  int sign;
};

struct StudyCase {
  const char* name;
  const char* formula;
  float zoom;
  std::optional<double> yIntercept;
  std::vector<Gap> gaps;
  std::vector<Zero> zeros;
  std::vector<double> asymptotes;
  std::vector<double> maxima;
  std::vector<double> minima;
  std::vector<double> inflections;
  std::vector<Sign> signs;
};

const double kThird = 1.0 / 3;
const double kRoot3 = 1 / std::sqrt(3.0);
const double kDegree = 180 / M_PI;
// x sin x in degrees: the maxima solve tan u = -u, the inflections u tan u = 2 (u in radians).
const double kSinMax = 2.0287578381104342 * kDegree;
const double kSinInflection = 1.0768739863118038 * kDegree;

const StudyCase kCases[] = {
    {"TangentHasNoZeroAtItsPoles",
     "TAN(x)",
     1000,
     0,
     {},
     {{-180, false}, {0, false}, {180, false}},
     {-90, 90},
     {},
     {},
     {-180, 0, 180},
     {{-200, -180, -1}, {-180, -90, 1}, {-90, 0, -1}, {0, 90, 1}, {90, 180, -1}, {180, 200, 1}}},
    {"HyperbolaPoleWithoutZero",
     "1/x",
     1,
     std::nullopt,
     {{0, 0}},
     {},
     {0},
     {},
     {},
     {},
     {{-0.2, 0, -1}, {0, 0.2, 1}}},
    {"ParabolaTouches", "x^2", 1, 0, {}, {{0, true}}, {}, {}, {0}, {}, {{-0.2, 0, 1}, {0, 0.2, 1}}},
    {"ShiftedParabolaTouches",
     "(x-1)^2",
     10,
     1,
     {},
     {{1, true}},
     {},
     {},
     {1},
     {},
     {{-2, 1, 1}, {1, 2, 1}}},
    {"FlatQuarticMinimumAtZero",
     "x^4",
     1,
     0,
     {},
     {{0, true}},
     {},
     {},
     {0},
     {},
     {{-0.2, 0, 1}, {0, 0.2, 1}}},
    {"KinkMinimum",
     "ABS(3*x-1)",
     10,
     1,
     {},
     {{kThird, true}},
     {},
     {},
     {kThird},
     {},
     {{-2, kThird, 1}, {kThird, 2, 1}}},
    {"RemovableHoleIsAOnePointGap",
     "(x^2-4)/(x-2)",
     50,
     2,
     {{2, 2}},
     {{-2, false}},
     {},
     {},
     {},
     {},
     {{-10, -2, -1}, {-2, 2, 1}, {2, 10, 1}}},
    {"JumpIsNoZeroAndNoAsymptote",
     "x/ABS(x)",
     10,
     std::nullopt,
     {{0, 0}},
     {},
     {},
     {},
     {},
     {},
     {{-2, 0, -1}, {0, 2, 1}}},
    {"SineTimesX",
     "SIN(x)*x",
     1000,
     0,
     {},
     {{-180, false}, {0, true}, {180, false}},
     {},
     {-kSinMax, kSinMax},
     {0},
     {-kSinInflection, kSinInflection},
     {{-200, -180, -1}, {-180, 0, 1}, {0, 180, 1}, {180, 200, -1}}},
    {"CubicWithThreeZeros",
     "x^3-x",
     10,
     0,
     {},
     {{-1, false}, {0, false}, {1, false}},
     {},
     {-kRoot3},
     {kRoot3},
     {0},
     {{-2, -1, -1}, {-1, 0, 1}, {0, 1, -1}, {1, 2, 1}}},
    {"CosineInDegrees",
     "COS(x)",
     1000,
     1,
     {},
     {{-90, false}, {90, false}},
     {},
     {0},
     {-180, 180},
     {-90, 90},
     {{-200, -90, -1}, {-90, 90, 1}, {90, 200, -1}}},
    {"RationalWithTwoPoles",
     "(x^2-1)/(x^2-4)",
     20,
     0.25,
     {{-2, -2}, {2, 2}},
     {{-1, false}, {1, false}},
     {-2, 2},
     {0},
     {},
     {},
     {{-4, -2, 1}, {-2, -1, -1}, {-1, 1, 1}, {1, 2, -1}, {2, 4, 1}}},
    {"PoleWithoutSignChangeOrGap",
     "1/(3*x-1)^2",
     10,
     1,
     {},
     {},
     {kThird},
     {},
     {},
     {},
     {{-2, kThird, 1}, {kThird, 2, 1}}},
    {"LogarithmPoleAtTheEdgeOfItsGap",
     "LN(x)",
     20,
     std::nullopt,
     {{-4, 0}},
     {{1, false}},
     {0},
     {},
     {},
     {},
     {{0, 1, -1}, {1, 4, 1}}},
    {"DoubleRootTimesExponential",
     "(x-1)^2*EXP(x)",
     20,
     1,
     {},
     {{1, true}},
     {},
     {-1},
     {1},
     {-1 - std::sqrt(2.0), -1 + std::sqrt(2.0)},
     {{-4, 1, 1}, {1, 4, 1}}},
    {"ZerosAtTheRangeEndsCross",
     "x^2-4",
     10,
     -4,
     {},
     {{-2, false}, {2, false}},
     {},
     {},
     {0},
     {},
     {{-2, 2, -1}}},
    {"KinksAreNoInflections",
     "ABS(x^2-4)",
     80,
     4,
     {},
     {{-2, true}, {2, true}},
     {},
     {0},
     {-2, 2},
     {},
     {{-16, -2, 1}, {-2, 2, 1}, {2, 16, 1}}},
    {"ValuesTooSmallForFloatsAreNoZeros",
     "EXP(x)",
     1000,
     1,
     {},
     {},
     {},
     {},
     {},
     {},
     {{-200, 200, 1}}},
    {"PoleBesideValuesTooLargeForFloats",
     "x*EXP(1/x)",
     60,
     std::nullopt,
     {{0, 0}},
     {},
     {0},
     {},
     {1},
     {},
     {{-12, 0, -1}, {0, 12, 1}}},
    {"DoubleRootThroughFloatNoise",
     "x^3-6*x^2+9*x",
     50,
     0,
     {},
     {{0, false}, {3, true}},
     {},
     {1},
     {3},
     {2},
     {{-10, 0, -1}, {0, 3, 1}, {3, 10, 1}}},
    {"SlowlyChangingCurvature",
     "LN(x)/x",
     50,
     std::nullopt,
     {{-10, 0}},
     {{1, false}},
     {0},
     {std::exp(1.0)},
     {},
     {std::exp(1.5)},
     {{0, 1, -1}, {1, 10, 1}}},
    {"PoleWhereTheDenominatorVanishesInFloats",
     "1/(x^2-2*x+1)",
     50,
     1,
     {{1, 1}},
     {},
     {1},
     {},
     {},
     {},
     {{-10, 1, 1}, {1, 10, 1}}},
    {"PoleInsideAGapOfFloatNoise",
     "COS(x)/(1+SIN(x))",
     1000,
     1,
     {{-90, -90}},
     {{90, false}},
     {-90},
     {},
     {},
     {90},
     {{-200, -90, -1}, {-90, 90, 1}, {90, 200, -1}}},
    {"FlatTopOfRoundedValuesIsAMaximum", "COS(x)", 10, 1, {}, {}, {}, {0}, {}, {}, {{-2, 2, 1}}},
    {"JumpAtTheRangeEndKeepsTheSignAfterIt",
     "x-FIX(x)+0.25",
     10,
     0.25,
     {},
     {{-1.25, false}, {-0.25, false}},
     {},
     {},
     {},
     {},
     {{-2, -1.25, -1}, {-1.25, -1, 1}, {-1, -0.25, -1}, {-0.25, 2, 1}}},
    {"KinkFoundAmongManyTinyFloats",
     "ABS(3*x-1)",
     5000,
     1,
     {},
     {{kThird, true}},
     {},
     {},
     {kThird},
     {},
     {{-1000, kThird, 1}, {kThird, 1000, 1}}},
    {"TouchingThroughRoundedAngles",
     "ABS(SIN(x))",
     1000,
     0,
     {},
     {{-180, true}, {0, true}, {180, true}},
     {},
     {-90, 90},
     {-180, 0, 180},
     {},
     {{-200, -180, 1}, {-180, 0, 1}, {0, 180, 1}, {180, 200, 1}}},
    {"SmallMinimumAmongHugeValuesIsNoZero",
     "EXP(x)/x",
     1000,
     std::nullopt,
     {{0, 0}},
     {},
     {0},
     {},
     {1},
     {},
     {{-200, 0, -1}, {0, 200, 1}}},
    {"SlightCurvatureSeenByWiderStencils",
     "SIN(x)",
     100,
     0,
     {},
     {{0, false}},
     {},
     {},
     {},
     {0},
     {{-20, 0, -1}, {0, 20, 1}}},
    {"InflectionWhereTheCurvatureIsSlight",
     "x/(x^2+1)",
     10,
     0,
     {},
     {{0, false}},
     {},
     {1},
     {-1},
     {-std::sqrt(3.0), 0, std::sqrt(3.0)},
     {{-2, 0, -1}, {0, 2, 1}}},
    {"JumpsKeepingTheSignAreNoInflections",
     "FIX(x)+0.5",
     50,
     0.5,
     {},
     {},
     {},
     {},
     {},
     {},
     {{-10, -1, -1}, {-1, 10, 1}}},
    {"InflectionsCloserThanOneStencil",
     "1/(x^2+1)",
     1000,
     1,
     {},
     {},
     {},
     {0},
     {},
     {-kRoot3, kRoot3},
     {{-200, 200, 1}}},
    {"ProductTooLargeForFloatsIsNoPole",
     "x*EXP(x)",
     1000,
     0,
     {{std::log(std::numeric_limits<float>::max()), 200}},
     {{0, false}},
     {},
     {},
     {-1},
     {-2},
     {{-200, 0, -1}, {0, std::log(std::numeric_limits<float>::max()), 1}}},
    // The rules the study's comments cite, each on the function it names.
    {"ZeroRoundedFromOnePlusASquare",
     "LN(x^2+1)",
     10,
     0,
     {},
     {{0, true}},
     {},
     {},
     {0},
     {-1, 1},
     {{-2, 0, 1}, {0, 2, 1}}},
    {"HighPowerUnderflowsOnlyAtItsZero",
     "x^10",
     10,
     0,
     {},
     {{0, true}},
     {},
     {},
     {0},
     {},
     {{-2, 0, 1}, {0, 2, 1}}},
    {"FlatBottomOfSingleRoundingSteps",
     "x^2/1000+2",
     100,
     2,
     {},
     {},
     {},
     {},
     {0},
     {},
     {{-20, 20, 1}}},
    {"GapEndSnapsToZero", "SQR(x)", 10, 0, {{-2, 0}}, {{0, true}}, {}, {}, {}, {}, {{0, 2, 1}}},
    {"ExponentialOfReciprocalUnderflowsOnTheLeft",
     "EXP(1/x)",
     10,
     std::nullopt,
     {{0, 0}},
     {},
     {0},
     {},
     {},
     {-0.5},
     {{-2, 0, 1}, {0, 2, 1}}},
    // x (x-3)^2: the double root at 3 touches (f' = 3 (x-1)(x-3), f'' = 6 (x-2)).
    {"DoubleRootSplitByNoiseIsOneTouchingZero",
     "x*(x-3)^2",
     50,
     0,
     {},
     {{0, false}, {3, true}},
     {},
     {1},
     {3},
     {2},
     {{-10, 0, -1}, {0, 3, 1}, {3, 10, 1}}},
    {"NoValueAnywhere", "LN(-ABS(x)-1)", 10, std::nullopt, {{-2, 2}}, {}, {}, {}, {}, {}, {}},
    {"RefusedFormula", "x+", 10, std::nullopt, {{-2, 2}}, {}, {}, {}, {}, {}, {}},
};

class FunctionStudyTest : public testing::TestWithParam<StudyCase> {};

// At zoom 5000 the samples lie half a unit apart and these turn between a gap's edge and the first
// sample beside it: (x ln x)' = ln x + 1 vanishes at 1/e, (x ln(-x))' at -1/e, (x^2 ln x^2)' =
// 2x (ln x^2 + 1) at +-1/sqrt(e); each value there is -1/e or 1/e.
TEST(FunctionStudyBesideAGap, ExtremaBetweenTheEdgeAndTheFirstSample) {
  const double e = std::exp(1.0);
  struct Case {
    const char* formula;
    std::vector<double> minima;
    std::vector<double> maxima;
  };
  const Case cases[] = {{"x*LN(x)", {1 / e}, {}},
                        {"x*LN(-x)", {}, {-1 / e}},
                        {"x^2*LN(x^2)", {-1 / std::sqrt(e), 1 / std::sqrt(e)}, {}}};
  for (const Case& c : cases) {
    ExpressionEvaluator evaluator;
    const FunctionStudy study = StudyFunction(evaluator, c.formula, 5000);
    for (const auto& [points, expected, value] : {std::tuple{&study.minima, &c.minima, -1 / e},
                                                  std::tuple{&study.maxima, &c.maxima, 1 / e}}) {
      ASSERT_EQ(points->size(), expected->size()) << c.formula;
      for (std::size_t i = 0; i < points->size(); ++i) {
        EXPECT_NEAR((*points)[i].x, (*expected)[i], 1e-3) << c.formula << " " << i;
        EXPECT_NEAR((*points)[i].y, value, 1e-6) << c.formula << " " << i;
      }
    }
  }
}

void ExpectPositions(const char* kind, const std::vector<double>& expected,
                     const std::vector<double>& found, double tolerance) {
  ASSERT_EQ(found.size(), expected.size()) << kind;
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_NEAR(found[i], expected[i], tolerance) << kind << " " << i;
  }
}

template <typename Item>
std::vector<double> Xs(const std::vector<Item>& items) {
  std::vector<double> xs;
  for (const Item& item : items) xs.push_back(item.x);
  return xs;
}

TEST_P(FunctionStudyTest, AgreesWithTheMathematics) {
  const StudyCase& c = GetParam();
  ExpressionEvaluator evaluator;
  const FunctionStudy study = StudyFunction(evaluator, c.formula, c.zoom);
  const double tolerance = 1e-3 * 0.4 * c.zoom;
  EXPECT_FLOAT_EQ(study.xMin, -0.2f * c.zoom);
  EXPECT_FLOAT_EQ(study.xMax, 0.2f * c.zoom);
  ASSERT_EQ(study.yIntercept.has_value(), c.yIntercept.has_value());
  if (c.yIntercept) {
    EXPECT_NEAR(*study.yIntercept, *c.yIntercept, 1e-6);
  }

  ASSERT_EQ(study.gaps.size(), c.gaps.size());
  for (std::size_t i = 0; i < c.gaps.size(); ++i) {
    EXPECT_NEAR(study.gaps[i].from, c.gaps[i].from, tolerance);
    EXPECT_NEAR(study.gaps[i].to, c.gaps[i].to, tolerance);
    EXPECT_FALSE(study.gaps[i].reason.empty());
  }
  std::vector<double> zeros;
  for (const Zero& zero : c.zeros) zeros.push_back(zero.x);
  ExpectPositions("zero", zeros, Xs(study.zeros), tolerance);
  for (std::size_t i = 0; i < study.zeros.size() && i < c.zeros.size(); ++i) {
    EXPECT_EQ(study.zeros[i].touching, c.zeros[i].touching) << "zero " << i;
  }
  ExpectPositions("asymptote", c.asymptotes, study.asymptotes, tolerance);
  ExpectPositions("max", c.maxima, Xs(study.maxima), tolerance);
  ExpectPositions("min", c.minima, Xs(study.minima), tolerance);
  ExpectPositions("inflection", c.inflections, Xs(study.inflections), tolerance);

  ASSERT_EQ(study.signs.size(), c.signs.size());
  for (std::size_t i = 0; i < c.signs.size(); ++i) {
    EXPECT_NEAR(study.signs[i].from, c.signs[i].from, tolerance) << "sign " << i;
    EXPECT_NEAR(study.signs[i].to, c.signs[i].to, tolerance) << "sign " << i;
    EXPECT_EQ(study.signs[i].sign, c.signs[i].sign) << "sign " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Formulas, FunctionStudyTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<StudyCase>& info) {
                           return std::string(info.param.name);
                         });

// The values of the extrema are the function's own, and a gap keeps the evaluator's reason.
TEST(FunctionStudy, ValuesAndReasonsComeFromTheEvaluator) {
  ExpressionEvaluator evaluator;
  const FunctionStudy cubic = StudyFunction(evaluator, "x^3-x", 10);
  ASSERT_EQ(cubic.maxima.size(), 1u);
  EXPECT_NEAR(cubic.maxima[0].y, 2 * kRoot3 / 3, 1e-6);
  const FunctionStudy log = StudyFunction(evaluator, "LN(x)", 20);
  ASSERT_EQ(log.gaps.size(), 1u);
  EXPECT_EQ(log.gaps[0].reason, "LN or LOG <= 0");
}

// Newer work abandons a study: a stop already requested leaves every list empty.
TEST(FunctionStudy, AStopEndsTheStudy) {
  ExpressionEvaluator evaluator;
  StopSource stop;
  stop.request_stop();
  const FunctionStudy study = StudyFunction(evaluator, "x^3-x", 10, stop.get_token());
  EXPECT_FLOAT_EQ(study.xMax, 2);
  EXPECT_TRUE(study.zeros.empty());
  EXPECT_TRUE(study.maxima.empty());
  EXPECT_TRUE(study.signs.empty());
}

// A stop requested while a heavy study runs (every x through the text engine: a long formula
// with exponent letters, which the compiled plan declines) ends it promptly, whatever stage it
// is at; unstopped this study takes many seconds.
TEST(FunctionStudy, AStopDuringAHeavyStudyEndsItPromptly) {
  const std::string part =
      "SIN(x)*1E0+COS(2*x)*LN(x^2+1E0)/(x^2+3E0)+EXP(0-x^2/1E3)*ATN(x)-SQR(ABS(x)+1E0)*SIN(3*x)/"
      "(1E0+x^4)";
  std::string formula = part;
  for (int i = 0; i < 6; ++i) formula += "+" + formula;
  for (const auto delay : {std::chrono::milliseconds(0), std::chrono::milliseconds(300)}) {
    StopSource stop;
    auto study = std::async(std::launch::async, [&] {
      ExpressionEvaluator evaluator;
      return StudyFunction(evaluator, formula, 100, stop.get_token());
    });
    ASSERT_EQ(study.wait_for(delay), std::future_status::timeout);
    stop.request_stop();
    EXPECT_EQ(study.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    study.wait();
  }
}

}  // namespace
}  // namespace funzioni
