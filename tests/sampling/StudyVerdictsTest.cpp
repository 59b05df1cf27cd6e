// The study's limits, asymptotes, corners, parity and intervals against the mathematics of each
// function (angles in degrees, ATN's result in radians): kinds and counts exact, positions
// within a thousandth of the range, values within a thousandth.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "evaluator/ExpressionEvaluator.h"
#include "sampling/FunctionStudy.h"

namespace funzioni {
namespace {

using Kind = StudyValue::Kind;
using Where = StudyLimit::Where;

constexpr double kInf = HUGE_VAL;
const double kDegree = M_PI / 180;

// A value as a number, or +-kInf, or NAN for none.
StudyValue V(double v) {
  if (std::isnan(v)) return {Kind::None, 0};
  if (v == kInf) return {Kind::PlusInfinity, 0};
  if (v == -kInf) return {Kind::MinusInfinity, 0};
  return {Kind::Number, v};
}

struct Limit {
  Where where;
  double at;
  double value;
};
Limit AtMinusInf(double v) {
  return {Where::MinusInfinity, 0, v};
}
Limit AtPlusInf(double v) {
  return {Where::PlusInfinity, 0, v};
}
Limit Left(double at, double v) {
  return {Where::Left, at, v};
}
Limit Right(double at, double v) {
  return {Where::Right, at, v};
}

struct LimitCase {
  const char* name;
  const char* formula;
  float zoom;
  std::vector<Limit> limits;
  std::vector<StudyAsymptote> horizontal;
  std::vector<StudyAsymptote> oblique;
};

const LimitCase kLimitCases[] = {
    {"SineOverXTendsToZeroWhileOscillating",
     "SIN(x)/x",
     100,
     {AtMinusInf(0), Left(0, kDegree), Right(0, kDegree), AtPlusInf(0)},
     {{-1, 0, 0}, {1, 0, 0}},
     {}},
    {"LogarithmFlatFarOutStillGrowsWithoutBound",
     "LOG(x)",
     100,
     {Right(0, -kInf), AtPlusInf(kInf)},
     {},
     {}},
    {"PowerTimesExponentialTendsToZero",
     "x^10*EXP(0-x)",
     100,
     {AtMinusInf(kInf), AtPlusInf(0)},
     {{1, 0, 0}},
     {}},
    {"ExponentialBeyondTheNumberRangeIsInfinite",
     "EXP(x)",
     100,
     {AtMinusInf(0), AtPlusInf(kInf)},
     {{-1, 0, 0}},
     {}},
    {"ExamFunctionHasTheObliqueAsymptoteYEqualsX",
     "(x^3+4)/x^2",
     100,
     {AtMinusInf(-kInf), Left(0, kInf), Right(0, kInf), AtPlusInf(kInf)},
     {},
     {{-1, 1, 0}, {1, 1, 0}}},
    {"XPlusSineHasSlopeOneButNoIntercept",
     "x+SIN(x)",
     100,
     {AtMinusInf(-kInf), AtPlusInf(kInf)},
     {},
     {}},
    {"Hyperbola",
     "1/x",
     100,
     {AtMinusInf(0), Left(0, -kInf), Right(0, kInf), AtPlusInf(0)},
     {{-1, 0, 0}, {1, 0, 0}},
     {}},
    {"RationalWithTwoPolesAndAHorizontalAsymptote",
     "(2*x^2+1)/(x^2-1)",
     10,
     {AtMinusInf(2), Left(-1, kInf), Right(-1, -kInf), Left(1, -kInf), Right(1, kInf),
      AtPlusInf(2)},
     {{-1, 0, 2}, {1, 0, 2}},
     {}},
    {"OverflowThroughANaNIsNoLimit",
     "x^2/(x^2-1)",
     10,
     {AtMinusInf(1), Left(-1, kInf), Right(-1, -kInf), Left(1, -kInf), Right(1, kInf),
      AtPlusInf(1)},
     {{-1, 0, 1}, {1, 0, 1}},
     {}},
    {"RootOfSquarePlusOneHasTwoObliqueAsymptotes",
     "SQR(x^2+1)",
     100,
     {AtMinusInf(kInf), AtPlusInf(kInf)},
     {},
     {{-1, -1, 0}, {1, 1, 0}}},
    {"ObliqueAsymptoteWithAnIntercept",
     "(2*x^2+3*x+1)/(x+2)",
     100,
     {AtMinusInf(-kInf), Left(-2, -kInf), Right(-2, kInf), AtPlusInf(kInf)},
     {},
     {{-1, 2, -1}, {1, 2, -1}}},
    {"ExponentialOfReciprocalFromEachSide",
     "EXP(1/x)",
     100,
     {AtMinusInf(1), Left(0, 0), Right(0, kInf), AtPlusInf(1)},
     {{-1, 0, 1}, {1, 0, 1}},
     {}},
    {"RemovableHoleHasEqualOneSidedLimits",
     "(x^2-9)/(x+3)",
     100,
     {AtMinusInf(-kInf), Left(-3, -6), Right(-3, -6), AtPlusInf(kInf)},
     {},
     {{-1, 1, -3}, {1, 1, -3}}},
    {"HoleBesideAPole",
     "(x-1)/(x^2-1)",
     10,
     {AtMinusInf(0), Left(-1, -kInf), Right(-1, kInf), Left(1, 0.5), Right(1, 0.5), AtPlusInf(0)},
     {{-1, 0, 0}, {1, 0, 0}},
     {}},
    {"JumpHasTwoOneSidedLimits",
     "x/ABS(x)",
     10,
     {AtMinusInf(-1), Left(0, -1), Right(0, 1), AtPlusInf(1)},
     {{-1, 0, -1}, {1, 0, 1}},
     {}},
    {"DomainEndsAreApproachedFromInside", "SQR(4-x^2)", 20, {Right(-2, 0), Left(2, 0)}, {}, {}},
    {"SawtoothHasNoLimit", "x-FIX(x)+0.25", 10, {AtMinusInf(NAN), AtPlusInf(NAN)}, {}, {}},
    {"ArcTangentInRadians",
     "ATN(x)",
     100,
     {AtMinusInf(-M_PI / 2), AtPlusInf(M_PI / 2)},
     {{-1, 0, -M_PI / 2}, {1, 0, M_PI / 2}},
     {}},
    {"PolynomialOverflowingThroughANaN",
     "x^4-x^3",
     10,
     {AtMinusInf(kInf), AtPlusInf(kInf)},
     {},
     {}},
    {"SineHasNoLimit", "SIN(x)", 1000, {AtMinusInf(NAN), AtPlusInf(NAN)}, {}, {}},
    // e^-x sin x swings ever wider towards -inf; its product overflows at x = -88.7, long
    // before SIN (in degrees) turns, and its factors' signs tell.
    {"GrowingOscillationBeyondTheNumberRangeHasNoLimit",
     "EXP(0-x)*SIN(x)",
     10,
     {AtMinusInf(NAN), AtPlusInf(0)},
     {{1, 0, 0}},
     {}},
    {"ProductBeyondTheNumberRangeKeepsItsSign",
     "x*EXP(0-x)",
     10,
     {AtMinusInf(-kInf), AtPlusInf(0)},
     {{1, 0, 0}},
     {}},
};

void ExpectValue(const StudyValue& found, const StudyValue& expected, const std::string& what) {
  ASSERT_EQ(found.kind, expected.kind) << what;
  if (expected.kind != Kind::Number) return;
  EXPECT_NEAR(found.value, expected.value, 1e-3 * std::max(std::fabs(expected.value), 1e-3))
      << what;
}

class StudyLimitsTest : public testing::TestWithParam<LimitCase> {};

TEST_P(StudyLimitsTest, AgreeWithTheMathematics) {
  const LimitCase& c = GetParam();
  ExpressionEvaluator evaluator;
  const FunctionStudy study = StudyFunction(evaluator, c.formula, c.zoom);
  const double position = 1e-3 * 0.4 * c.zoom;
  ASSERT_EQ(study.limits.size(), c.limits.size());
  for (std::size_t i = 0; i < c.limits.size(); ++i) {
    const std::string what = "limit " + std::to_string(i);
    EXPECT_EQ(study.limits[i].where, c.limits[i].where) << what;
    EXPECT_NEAR(study.limits[i].at, c.limits[i].at, position) << what;
    ExpectValue(study.limits[i].value, V(c.limits[i].value), what);
  }
  for (const auto& [found, expected, kind] :
       {std::tuple{&study.horizontalAsymptotes, &c.horizontal, "horizontal"},
        std::tuple{&study.obliqueAsymptotes, &c.oblique, "oblique"}}) {
    ASSERT_EQ(found->size(), expected->size()) << kind;
    for (std::size_t i = 0; i < expected->size(); ++i) {
      EXPECT_EQ((*found)[i].side, (*expected)[i].side) << kind << " " << i;
      EXPECT_NEAR((*found)[i].m, (*expected)[i].m, 1e-3 * std::fabs((*expected)[i].m)) << kind;
      EXPECT_NEAR((*found)[i].q, (*expected)[i].q,
                  1e-3 * std::max(1.0, std::fabs((*expected)[i].q)))
          << kind << " " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formulas, StudyLimitsTest, testing::ValuesIn(kLimitCases),
                         [](const testing::TestParamInfo<LimitCase>& info) {
                           return std::string(info.param.name);
                         });

struct Corner {
  double x;
  double left;
  double right;
};

struct ShapeCase {
  const char* name;
  const char* formula;
  float zoom;
  StudyParity parity;
  std::vector<Corner> corners;
  std::vector<StudyInterval> increasing;
  std::vector<StudyInterval> decreasing;
  std::vector<StudyInterval> concaveUp;
  std::vector<StudyInterval> concaveDown;
};

const ShapeCase kShapeCases[] = {
    {"CornerOfAnAbsoluteValue",
     "ABS(x-1)",
     100,
     StudyParity::None,
     {{1, -1, 1}},
     {{1, 20}},
     {{-20, 1}},
     {},
     {}},
    {"KinksChangeTheConcavity",
     "ABS(x^2-4)",
     100,
     StudyParity::Even,
     {{-2, -4, 4}, {2, -4, 4}},
     {{-2, 0}, {2, 20}},
     {{-20, -2}, {0, 2}},
     {{-20, -2}, {2, 20}},
     {{-2, 2}}},
    {"NegativeBasesWithFractionalPowersHaveNoValue",
     "x^(2/3)",
     100,
     StudyParity::None,
     {},
     {{0, 20}},
     {},
     {},
     {{0, 20}}},
    {"CuspOfACubeRoot",
     "(x^2)^(1/3)",
     100,
     StudyParity::Even,
     {{0, -kInf, kInf}},
     {{0, 20}},
     {{-20, 0}},
     {},
     {{-20, 0}, {0, 20}}},
    {"OddCubic",
     "x^3-3*x",
     10,
     StudyParity::Odd,
     {},
     {{-2, -1}, {1, 2}},
     {{-1, 1}},
     {{0, 2}},
     {{-2, 0}}},
    {"ExamFunctionGrowsFallsAndGrows",
     "(x^3+4)/x^2",
     100,
     StudyParity::None,
     {},
     {{-20, 0}, {2, 20}},
     {{0, 2}},
     {{-20, 0}, {0, 20}},
     {}},
    {"CornerWithTheSlopesSwapped",
     "x^2-ABS(x)",
     10,
     StudyParity::Even,
     {{0, 1, -1}},
     {{-0.5, 0}, {0.5, 2}},
     {{-2, -0.5}, {0, 0.5}},
     {{-2, 0}, {0, 2}},
     {}},
    {"SlightCurvatureOfAFlatParabola",
     "x^2/1000+2",
     100,
     StudyParity::Even,
     {},
     {{0, 20}},
     {{-20, 0}},
     {{-20, 20}},
     {}},
    {"HyperbolaIsOddAndFallsOnEachSide",
     "1/x",
     10,
     StudyParity::Odd,
     {},
     {},
     {{-2, 0}, {0, 2}},
     {{0, 2}},
     {{-2, 0}}},
    // e^(1/x) falls and is concave up on each side of 0 (f' = -e^(1/x)/x^2, f'' =
    // e^(1/x)(2x+1)/x^4); right of 0 its values pass the largest float up to x = 1/88.7, which is
    // no break.
    {"ExponentialOfReciprocalBeyondTheNumberRange",
     "EXP(1/x)",
     1,
     StudyParity::None,
     {},
     {},
     {{-0.2, 0}, {0, 0.2}},
     {{-0.2, 0}, {0, 0.2}},
     {}},
    {"ExponentialOfReciprocalBendsAtMinusOneHalf",
     "EXP(1/x)",
     10,
     StudyParity::None,
     {},
     {},
     {{-2, 0}, {0, 2}},
     {{-0.5, 0}, {0, 2}},
     {{-2, -0.5}}},
    {"StepsAreNeitherRisingNorCurved", "FIX(x)+0.5", 10, StudyParity::None, {}, {}, {}, {}, {}},
    // Only the two zeros at -2 and 2 are in view: they are no evidence of a parity.
    {"ZerosAloneTellNoParity", "SQR(x^2-4)/x", 10, StudyParity::None, {}, {}, {}, {}, {}},
};

class StudyShapeTest : public testing::TestWithParam<ShapeCase> {};

void ExpectIntervals(const char* kind, const std::vector<StudyInterval>& found,
                     const std::vector<StudyInterval>& expected, double tolerance) {
  ASSERT_EQ(found.size(), expected.size()) << kind;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(found[i].from, expected[i].from, tolerance) << kind << " " << i;
    EXPECT_NEAR(found[i].to, expected[i].to, tolerance) << kind << " " << i;
  }
}

TEST_P(StudyShapeTest, AgreesWithTheMathematics) {
  const ShapeCase& c = GetParam();
  ExpressionEvaluator evaluator;
  const FunctionStudy study = StudyFunction(evaluator, c.formula, c.zoom);
  const double position = 1e-3 * 0.4 * c.zoom;
  EXPECT_EQ(study.parity, c.parity);
  ASSERT_EQ(study.corners.size(), c.corners.size());
  for (std::size_t i = 0; i < c.corners.size(); ++i) {
    EXPECT_NEAR(study.corners[i].x, c.corners[i].x, position);
    ExpectValue(study.corners[i].left, V(c.corners[i].left), "left slope");
    ExpectValue(study.corners[i].right, V(c.corners[i].right), "right slope");
  }
  ExpectIntervals("increasing", study.increasing, c.increasing, position);
  ExpectIntervals("decreasing", study.decreasing, c.decreasing, position);
  ExpectIntervals("concave up", study.concaveUp, c.concaveUp, position);
  ExpectIntervals("concave down", study.concaveDown, c.concaveDown, position);
}

INSTANTIATE_TEST_SUITE_P(Formulas, StudyShapeTest, testing::ValuesIn(kShapeCases),
                         [](const testing::TestParamInfo<ShapeCase>& info) {
                           return std::string(info.param.name);
                         });

// The new kinds come after today's, in their order, and only when there is something to say.
TEST(StudyText, NewKindsFollowTheOldOnesInOrder) {
  ExpressionEvaluator evaluator;
  const std::string text = StudyText(StudyFunction(evaluator, "(x^3+4)/x^2", 100));
  std::vector<std::string> kinds;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    const std::string kind = text.substr(at, text.find('\t', at) - at);
    if (kinds.empty() || kinds.back() != kind) kinds.push_back(kind);
    at = end + 1;
  }
  const std::vector<std::string> expected = {"range",      "gap",        "zero",      "asymptote",
                                             "min",        "sign",       "limit",     "asymptote-o",
                                             "increasing", "decreasing", "concave-up"};
  EXPECT_EQ(kinds, expected);
  EXPECT_NE(text.find("limit\t0-\t+inf\n"), std::string::npos);
  EXPECT_NE(text.find("asymptote-o\t+inf\t1\t0\n"), std::string::npos);
}

// Inflections where the second derivative changes sign, and none where only the values' rounding
// steps do.
struct InflectionCase {
  const char* name;
  const char* formula;
  float zoom;
  std::vector<double> xs;
};

const InflectionCase kInflectionCases[] = {
    // ln(x^2+1) bends at x = -1 and 1, out of view at zoom 1; there 1+x^2 steps by 2^-23.
    {"RoundingStepsOfOnePlusASquareAreNoInflections", "LN(x^2+1)", 1, {}},
    {"LogarithmOfOnePlusASquare", "LN(x^2+1)", 100, {-1, 1}},
    // 1/(x^2+1) bends at -1/sqrt(3) and 1/sqrt(3), within one coarse stencil of its maximum.
    {"BesideTheMaximumAtAWideZoom", "1/(x^2+1)", 1000, {-1 / std::sqrt(3.0), 1 / std::sqrt(3.0)}},
    // Odd functions bend opposite ways on either side of 0. In degrees sin x bends by
    // (pi/180)^3 x^3 / 6, at zoom 1 some 25 units of the values' last 32-bit place over the range,
    // far below what any stencil's second difference can tell; tan x bends twice as much.
    {"OddSineAtZeroThoughTooSlightForAStencil", "SIN(x)", 1, {0}},
    {"OddTangentAtZero", "TAN(x)", 1, {0}},
    {"OddSineOfTwiceTheAngleAtZero", "SIN(2*x)", 1, {0}},
    {"OddProductOfSineAndCosineAtZero", "SIN(x)*COS(x)", 2, {0}},
    {"OddTangentOfHalfTheAngleAtZero", "TAN(x/2)", 10, {0}},
    // tan(x/2) over [0, 0.2] bends by (pi/360)^2 0.2^2 / 4, some 12 units of the last place.
    {"OddTangentOfHalfTheAngleBendingByAFewUnits", "TAN(x/2)", 1, {0}},
    {"OddLineAndSineAtZero", "x+SIN(x)", 10, {0}},
    {"OddLineAndSineAtAMiddleZoom", "x+SIN(x)", 50, {0}},
    // arcsin is defined on [-1, 1] only, a hundredth of the range at zoom 1000.
    {"OddArcsineOnANarrowDomain", "ARCSIN(x)", 1000, {0}},
    // Odd and straight, or flat around 0: no bend at 0.
    {"OddStraightLineHasNone", "5*x/7", 1, {}},
    {"OddSteepLineHasNone", "x*99999", 10, {}},
    {"OddStepsFlatAroundZeroHaveNone", "FIX(x)", 50, {}},
    // -cos'' = cos vanishes at 90 + 180 k: the last at -990 and 990, a hundredth of the range
    // from its ends at zoom 5000; sin 2x bends at every multiple of 90.
    {"CosineUpToTheRangeEnds",
     "COS(x)",
     5000,
     {-990, -810, -630, -450, -270, -90, 90, 270, 450, 630, 810, 990}},
    {"SineOfTwiceTheAngleUpToTheRangeEnds", "SIN(2*x)", 5000, {-990, -900, -810, -720, -630, -540,
                                                               -450, -360, -270, -180, -90,  0,
                                                               90,   180,  270,  360,  450,  540,
                                                               630,  720,  810,  900,  990}},
    // (x^4-2x^2)'' = 12x^2-4 and (x^3-x^2)'' = 6x-2: inflections within a thousandth of the range
    // of the extrema at 0 and +-1 (at 0 and 2/3), kept apart from them.
    {"QuarticBesideItsExtremaAtTheWidestZoom",
     "x^4-2*x^2",
     5000,
     {-1 / std::sqrt(3.0), 1 / std::sqrt(3.0)}},
    {"CubicBesideItsExtremaAtTheWidestZoom", "x^3-x^2", 5000, {1.0 / 3}},
};

class StudyInflectionsTest : public testing::TestWithParam<InflectionCase> {};

TEST_P(StudyInflectionsTest, WhereTheCurvatureChangesSign) {
  const InflectionCase& c = GetParam();
  ExpressionEvaluator evaluator;
  const FunctionStudy study = StudyFunction(evaluator, c.formula, c.zoom);
  ASSERT_EQ(study.inflections.size(), c.xs.size());
  for (std::size_t i = 0; i < c.xs.size(); ++i) {
    EXPECT_NEAR(study.inflections[i].x, c.xs[i], 1e-3 * 0.4 * c.zoom) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Formulas, StudyInflectionsTest, testing::ValuesIn(kInflectionCases),
                         [](const testing::TestParamInfo<InflectionCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace funzioni
