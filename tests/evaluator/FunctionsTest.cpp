// Every function of the language: a value checked against an independent working (the
// mathematical value rounded to a 32-bit float and written exactly), and every domain message.
#include <gtest/gtest.h>

#include "EvaluatorCases.h"

namespace funzioni::testing {
namespace {

TEST(Functions, Values) {
  const TextCase cases[] = {
      {"ARCSINH(2)", " 1.44363546371459961"},
      {"ARCCOSH(2)", " 1.31695795059204102"},
      {"ARCTANH(.5)", " .549306154251098633"},
      {"ARCSECH(.5)", " 1.31695795059204102"},
      {"ARCCSCH(2)", " .481211811304092407"},
      {"ARCCSCH(-1)", "-.881373584270477295"},
      {"ARCCOTH(2)", " .549306154251098633"},
      {"ARCSIN(.5)", " .523598790168762207"},
      {"ARCSIN(1)", " 1.57079637050628662"},  // 1 / SQR(0) is infinite
      {"ARCCOS(.5)", " 1.04719758033752441"},
      {"ARCCOS(1)", " 0"},
      {"ARCCOS(-1)", " 3.14159274101257324"},
      {"SINH(1)", " 1.1752011775970459"},  // a plain argument, not degrees
      {"TANH(1)", " .761594176292419434"},
      {"TANH(20000)", " 1"},
      {"SECH(1)", " .648054301738739014"},
      {"SECH(20000)", " 0"},
      {"CSCH(1)", " .850918114185333252"},
      {"COTH(1)", " 1.31303524971008301"},
      {"COTH(-20000)", "-1"},
      {"SEC(60)", " 2"},
      {"SEC(90)", "-22877332"},  // the cosine of the rounded angle is not exactly 0
      {"CSC(30)", " 2"},
      {"COT(45)", " .999999940395355225"},
      {"SIN(30)", " .5"},
      {"SIN(45)", " .70710676908493042"},
      {"COS(60)", " .499999970197677612"},
      {"TAN(45)", " 1"},
      {"ATN(1)", " .785398185253143311"},
      {"LN(10)", " 2.30258512496948242"},
      {"LOG(2)", " .693147182464599609"},
      {"EXP(1)", " 2.71828174591064453"},
      {"SQR(2)", " 1.41421353816986084"},
      {"LOG10(2)", " .301030009984970093"},
      {"ABS(-2.5)", " 2.5"},
      {"LOG2(10)", " 3.32192802429199219"},
      {"CEIL(-2.5)", "-2"},
      {"FIX(-2.5)", "-2"},
      {"FRAC(-2.5)", "-.5"},
      {"SGN(-3)", "-1"},
      {"SGN(0)", " 0"},
      {"EXP2(.5)", " 1.41421353816986084"},
      {"EXP10(.5)", " 3.1622776985168457"},
      {"SQR(SQR(16))", " 2"},
      {"SIN(30)+COS(60)*TAN(45)", " 1"},  // 1 - 2^-25 is a tie between two floats: even wins
  };
  ExpectResults(cases);
}

TEST(Functions, InverseSecantCosecantCotangent) {
  const TextCase cases[] = {
      {"ARCSEC(2)", " 1.04719758033752441"},  // the angle whose cosine is 1/2
      {"ARCSEC(1)", " 0"},
      {"ARCSEC(-1)", " 3.14159274101257324"},
      {"ARCSEC(-2)", " 2.09439516067504883"},
      {"ARCCSC(2)", " .523598790168762207"},  // the angle whose sine is 1/2
      {"ARCCSC(-1)", "-1.57079637050628662"},
      {"ARCCOT(1)", " .785398185253143311"},
      {"ARCCOT(-1)", " 2.35619449615478516"},
      {"ARCCOT(0)", " 1.57079637050628662"},
  };
  ExpectResults(cases);
}

TEST(Functions, InfiniteArguments) {
  const TextCase cases[] = {
      {"LN(1E39)", " 9.99999999999999999E+998"},
      {"LOG(EXP(100))", " 9.99999999999999999E+998"},
      {"ATN(1E39)", " 1.57079637050628662"},
      {"ARCCOT(1E39)", " 0"},
      {"ARCSINH(-1E20)", " 0"},  // the formula as written cancels to LN(0)
  };
  ExpectResults(cases);
}

TEST(Functions, DomainMessages) {
  const MessageCase cases[] = {
      {"ARCCOSH(.5)", "Argument outside range for ARCCOSH"},
      {"ARCCOSH(1E39)", "Argument too large for ARCCOSH. Will give overflow"},
      {"ARCTANH(1)", "Argument outside range for ARCTANH"},
      {"ARCSECH(0)", "Argument outside range for ARCSECH"},
      {"ARCSECH(1.5)", "Argument outside range for ARCSECH"},
      {"ARCCSCH(1E39)", "Argument too large for ARCCSCH. Will give overflow"},
      {"ARCCOTH(1)", "Argument outside range for ARCCOTH"},
      {"ARCSIN(1.5)", "Argument outside range for ARCSIN"},
      {"ARCCOS(-1.5)", "Argument outside range for ARCCOS"},
      {"ARCSEC(.5)", "Argument outside range for ARCSEC"},
      {"ARCSEC(1E39)", "Argument too large for ARCSEC. Will give overflow"},
      {"ARCCSC(-.5)", "Argument outside range for ARCCSC"},
      {"ARCCSC(1E39)", "Argument too large for ARCCSC. Will give overflow"},
      {"SINH(11357)", "Argument too large for SINH. Will give overflow. "},
      {"CSCH(0)", "Argument for CSCH is zero."},
      {"COTH(0)", "Argument for COTH is zero."},
      {"CSC(0)", "CSC is not defined for this argument."},
      {"COT(0)", "COT is not defined for this argument."},
      {"LN(0)", "LN or LOG <= 0"},
      {"LOG(-1)", "LN or LOG <= 0"},
      {"EXP(-11357)", "Argument too large for EXP. Will give overflow. "},
      {"SQR(-1)", "Square Root < 0"},
      {"LOG10(0)", "LOG10 <= 0"},
      {"LOG2(-2)", "LOG2 <= 0"},
      {"EXP2(16384)", "Argument too large for EXP2. Will give overflow. "},
      {"EXP10(4933)", "Argument too large for EXP10. Will give overflow. "},
      {"SIN", "Illegal last character: N  Please correct. "},
  };
  ExpectMessages(cases);
}

TEST(Functions, EvaluatedInTableOrder) {
  // SINH before SIN, ARCCOS before COS; a code that occurs twice is done at each place in turn.
  const TextCase cases[] = {
      {"SINH(0)+SIN(90)", " 1"},
      {"COS(0)+ARCCOS(1)", " 1"},
      {"SIN(30)*SIN(30)", " .25"},
      {"-SIN(30)", "-.5"},
  };
  ExpectResults(cases);
}

}  // namespace
}  // namespace funzioni::testing
