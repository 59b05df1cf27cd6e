// The tangent and the integral against their closed forms (angles in degrees): slopes and
// values within a thousandth, refusals where a gap or a pole lies in the way.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "evaluator/ExpressionEvaluator.h"
#include "sampling/StudyCalculus.h"
#include "sampling/StudyProbe.h"

namespace funzioni {
namespace {

constexpr double kInf = HUGE_VAL;
const double kDegree = M_PI / 180;

using TangentKind = StudyTangent::Kind;

struct TangentCase {
  const char* name;
  const char* formula;
  float x;
  TangentKind kind;
  double y;
  double left;  // for a tangent: m
  double right;
};

const TangentCase kTangents[] = {
    {"ParabolaAtTwo", "x^2", 2, TangentKind::Tangent, 4, 4, 4},
    {"ExamFunctionAtItsMinimum", "(x^3+4)/x^2", 2, TangentKind::Tangent, 3, 0, 0},
    {"ExamFunctionLeftOfItsPole", "(x^3+4)/x^2", -1, TangentKind::Tangent, 3, 9, 9},
    {"SineInDegrees", "SIN(x)", 30, TangentKind::Tangent, 0.5, kDegree* std::sqrt(3.0) / 2,
     kDegree* std::sqrt(3.0) / 2},
    {"CubicAtThree", "x^3-3*x", 3, TangentKind::Tangent, 18, 24, 24},
    {"CornerOfAnAbsoluteValue", "ABS(x-1)", 1, TangentKind::Corner, 0, -1, 1},
    {"CornerOfAShiftedParabola", "ABS(x^2-4)", 2, TangentKind::Corner, 0, -4, 4},
    {"CuspOfACubeRoot", "(x^2)^(1/3)", 0, TangentKind::Corner, 0, -kInf, kInf},
    {"NoValueAtAPole", "1/x", 0, TangentKind::None, 0, 0, 0},
    {"NoSlopeAtTheDomainsEnd", "SQR(x)", 0, TangentKind::None, 0, 0, 0},
};

void ExpectSlope(const StudyValue& found, double expected, const char* side) {
  if (std::isinf(expected)) {
    EXPECT_EQ(found.kind,
              expected > 0 ? StudyValue::Kind::PlusInfinity : StudyValue::Kind::MinusInfinity)
        << side;
    return;
  }
  ASSERT_EQ(found.kind, StudyValue::Kind::Number) << side;
  EXPECT_NEAR(found.value, expected, 1e-3 * std::max(1.0, std::fabs(expected))) << side;
}

class TangentTest : public testing::TestWithParam<TangentCase> {};

TEST_P(TangentTest, AgreesWithTheDerivative) {
  const TangentCase& c = GetParam();
  ExpressionEvaluator evaluator;
  StudyProbe probe(c.formula, evaluator);
  const StudyTangent tangent = TangentAt(probe, c.x);
  ASSERT_EQ(tangent.kind, c.kind) << tangent.reason;
  if (c.kind == TangentKind::None) {
    EXPECT_FALSE(tangent.reason.empty());
    return;
  }
  EXPECT_NEAR(tangent.y, c.y, 1e-6 * std::max(1.0, std::fabs(c.y)));
  if (c.kind == TangentKind::Tangent) {
    EXPECT_NEAR(tangent.m, c.left, 1e-3 * std::max(1.0, std::fabs(c.left)));
    EXPECT_NEAR(tangent.q, c.y - c.left * c.x, 1e-3 * std::max(1.0, std::fabs(c.y)));
    return;
  }
  ExpectSlope(tangent.left, c.left, "left");
  ExpectSlope(tangent.right, c.right, "right");
}

INSTANTIATE_TEST_SUITE_P(Points, TangentTest, testing::ValuesIn(kTangents),
                         [](const testing::TestParamInfo<TangentCase>& info) {
                           return std::string(info.param.name);
                         });

struct IntegralCase {
  const char* name;
  const char* formula;
  double a;
  double b;
  bool refused;
  double value;
  double area;
};

const IntegralCase kIntegrals[] = {
    {"ParabolaOverTheUnitInterval", "x^2", 0, 1, false, 1.0 / 3, 1.0 / 3},
    {"ReversedLimitsChangeTheSign", "x^2", 2, 0, false, -8.0 / 3, 8.0 / 3},
    {"AreaCountsBothSidesOfTheAxis", "x^2-1", 0, 2, false, 2.0 / 3, 2},
    {"OddFunctionOverASymmetricInterval", "x", -1, 1, false, 0, 1},
    {"SineOverAWholeTurnInDegrees", "SIN(x)", 0, 360, false, 0, 4 / kDegree},
    {"ExamFunctionRightOfItsPole", "(x^3+4)/x^2", 1, 3, false, 4 + 8.0 / 3, 4 + 8.0 / 3},
    {"RootWithASteepStart", "SQR(x)", 0, 1, false, 2.0 / 3, 2.0 / 3},
    {"PoleInBetween", "1/x", -1, 2, true, 0, 0},
    {"PoleAtAnEvenSample", "1/(x-1)", 0, 2, true, 0, 0},
    {"GapAtAnEnd", "LN(x)", 0, 1, true, 0, 0},
    {"GapInBetween", "SQR(x^2-1)", -2, 2, true, 0, 0},
};

class IntegralTest : public testing::TestWithParam<IntegralCase> {};

TEST_P(IntegralTest, AgreesWithTheClosedForm) {
  const IntegralCase& c = GetParam();
  ExpressionEvaluator evaluator;
  StudyProbe probe(c.formula, evaluator);
  const StudyIntegral integral = IntegralOf(probe, c.a, c.b);
  ASSERT_EQ(integral.refused, c.refused) << integral.reason;
  if (c.refused) {
    EXPECT_FALSE(integral.reason.empty());
    return;
  }
  // The bound holds and is below a ten-thousandth of the value (of the area for a value 0).
  EXPECT_NEAR(integral.value, c.value, integral.error + 1e-12);
  EXPECT_NEAR(integral.area, c.area, integral.areaError + 1e-12);
  EXPECT_LT(integral.error, 1e-4 * std::max(std::fabs(c.value), std::fabs(c.area)));
}

INSTANTIATE_TEST_SUITE_P(Intervals, IntegralTest, testing::ValuesIn(kIntegrals),
                         [](const testing::TestParamInfo<IntegralCase>& info) {
                           return std::string(info.param.name);
                         });

// Why an integral is refused, and where: the window names the pole or the gap.
struct RefusalCase {
  const char* name;
  const char* formula;
  double a;
  double b;
  StudyIntegral::Refusal why;
  double at;
};

const RefusalCase kRefusals[] = {
    {"PoleOnASample", "1/x", -1, 1, StudyIntegral::Refusal::Pole, 0},
    {"PoleBetweenSamples", "1/x", -1, 2, StudyIntegral::Refusal::Pole, 0},
    {"LogarithmAtTheEnd", "LN(x)", 0, 1, StudyIntegral::Refusal::Pole, 0},
    {"RootWithoutValuesInBetween", "SQR(x^2-1)", -2, 2, StudyIntegral::Refusal::Gap, -1},
};

class RefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, NamesTheCauseAndWhereItLies) {
  const RefusalCase& c = GetParam();
  ExpressionEvaluator evaluator;
  StudyProbe probe(c.formula, evaluator);
  const StudyIntegral integral = IntegralOf(probe, c.a, c.b);
  ASSERT_TRUE(integral.refused);
  EXPECT_EQ(integral.why, c.why) << integral.reason;
  // Within a sample step of the scan.
  EXPECT_NEAR(integral.at, c.at, 2 * (c.b - c.a) / 4096) << integral.reason;
}

INSTANTIATE_TEST_SUITE_P(Intervals, RefusalTest, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<RefusalCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace funzioni
