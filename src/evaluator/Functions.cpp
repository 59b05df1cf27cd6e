#include "evaluator/Functions.h"

namespace funzioni::detail {

namespace {

constexpr Extended kLnLimit = 5678;

Extended Sqr(Extended a) {
  return ext::Sqrt(a);
}
Extended Exp(Extended a) {
  return ext::Exp(a);
}

FunctionResult Value(Extended v) {
  return {v, nullptr};
}
FunctionResult Refuse(const char* message) {
  return {0, message};
}

// Inverse functions 1..11 (results in radians).
FunctionResult ApplyInverse(int code, Extended a) {
  switch (code) {
    case fn::kArcsinh:
      return Value(Ln(a + Sqr(a * a + 1)));
    case fn::kArccosh:
      if (a < 1) return Refuse("Argument outside range for ARCCOSH");
      if (Ln(a) > kLnLimit) return Refuse("Argument too large for ARCCOSH. Will give overflow");
      return Value(Ln(a + Sqr(a * a - 1)));
    case fn::kArctanh:
      if (ext::Fabs(a) >= 1) return Refuse("Argument outside range for ARCTANH");
      return Value(Ln((1 + a) / (1 - a)) / 2);
    case fn::kArcsech:
      if (a <= 0 || a > 1) return Refuse("Argument outside range for ARCSECH");
      return Value(Ln((Sqr(1 - a * a) + 1) / a));
    case fn::kArccsch:
      if (Ln(a) > kLnLimit) return Refuse("Argument too large for ARCCSCH. Will give overflow");
      return Value(Ln((Sgn(a) * Sqr(a * a + 1) + 1) / a));
    case fn::kArccoth:
      if (ext::Fabs(a) <= 1) return Refuse("Argument outside range for ARCCOTH");
      return Value(Ln((a + 1) / (a - 1)) / 2);
    case fn::kArcsin:
      if (ext::Fabs(a) > 1) return Refuse("Argument outside range for ARCSIN");
      return Value(Atn(a / Sqr(1 - a * a)));
    case fn::kArccos:
      if (ext::Fabs(a) > 1) return Refuse("Argument outside range for ARCCOS");
      return Value(kHalfPi - Atn(a / Sqr(1 - a * a)));
    case fn::kArcsec:  // ARCSEC: the angle in [0, pi] whose cosine is 1/a
      if (ext::Fabs(a) < 1) return Refuse("Argument outside range for ARCSEC");
      if (Ln(a) > kLnLimit) return Refuse("Argument too large for ARCSEC. Will give overflow");
      return Value(ext::Acos(1 / a));
    case fn::kArccsc:  // ARCCSC: the angle in [-pi/2, pi/2] whose sine is 1/a
      if (ext::Fabs(a) < 1) return Refuse("Argument outside range for ARCCSC");
      if (Ln(a) > kLnLimit) return Refuse("Argument too large for ARCCSC. Will give overflow");
      return Value(ext::Asin(1 / a));
    default:  // ARCCOT
      return Value(kHalfPi - Atn(a));
  }
}

// Hyperbolic functions 12..16 (plain argument).
FunctionResult ApplyHyperbolic(int code, Extended a) {
  const bool huge = ext::Fabs(a) > kOverflowLimit;
  switch (code) {
    case fn::kSinh:
      if (huge) return Refuse("Argument too large for SINH. Will give overflow. ");
      return Value((Exp(a) - Exp(-a)) / 2);
    case fn::kTanh:
      if (huge) return Value(Sgn(a));
      return Value((Exp(a) - Exp(-a)) / (Exp(a) + Exp(-a)));
    case fn::kSech:
      if (huge) return Value(0);
      return Value(2 / (Exp(a) + Exp(-a)));
    case fn::kCsch:
      if (a == 0) return Refuse("Argument for CSCH is zero.");
      return Value(2 / (Exp(a) - Exp(-a)));
    default:  // COTH
      if (a == 0) return Refuse("Argument for COTH is zero.");
      if (huge) return Value(Sgn(a));
      return Value((Exp(a) + Exp(-a)) / (Exp(a) - Exp(-a)));
  }
}

// Circular functions 17..22 (argument already in radians).
FunctionResult ApplyCircular(int code, Extended a) {
  switch (code) {
    case fn::kSec: {
      const Extended c = ext::Cos(a);
      if (c == 0) return Refuse("SEC is not defined for this argument.");
      return Value(1 / c);
    }
    case fn::kCsc: {
      const Extended s = ext::Sin(a);
      if (s == 0) return Refuse("CSC is not defined for this argument.");
      return Value(1 / s);
    }
    case fn::kCot: {
      const Extended t = ext::Sin(a) / ext::Cos(a);
      if (t == 0) return Refuse("COT is not defined for this argument.");
      return Value(1 / t);
    }
    case fn::kSin:
      return Value(ext::Sin(a));
    case fn::kCos:
      return Value(ext::Cos(a));
    default:  // TAN
      return Value(ext::Sin(a) / ext::Cos(a));
  }
}

// Functions 23..35.
FunctionResult ApplyOther(int code, Extended a) {
  switch (code) {
    case fn::kAtn:
      return Value(Atn(a));
    case fn::kLog:  // LOG (typed LN or LOG)
      if (a <= 0) return Refuse("LN or LOG <= 0");
      return Value(Ln(a));
    case fn::kExp:
      if (ext::Fabs(a) > kOverflowLimit) {
        return Refuse("Argument too large for EXP. Will give overflow. ");
      }
      return Value(Exp(a));
    case fn::kSqr:  // SQR
      if (a < 0) return Refuse("Square Root < 0");
      return Value(Sqr(a));
    case fn::kLog10:  // CLG (typed LOG10)
      if (a <= 0) return Refuse("LOG10 <= 0");
      return Value(ext::Log10(a));
    case fn::kAbs:
      return Value(ext::Fabs(a));
    case fn::kLog2:  // TLG (typed LOG2)
      if (a <= 0) return Refuse("LOG2 <= 0");
      return Value(ext::Log2(a));
    case fn::kCeil:
      return Value(ext::Ceil(a));
    case fn::kFix:
      return Value(ext::Trunc(a));
    case fn::kFrac:
      return Value(a - ext::Trunc(a));
    case fn::kSgn:
      return Value(Sgn(a));
    case fn::kExp2:  // ETO (typed EXP2)
      if (ext::Fabs(a) > 16383) return Refuse("Argument too large for EXP2. Will give overflow. ");
      return Value(ext::Exp2(a));
    default:  // ETE (typed EXP10)
      if (ext::Fabs(a) > 4932) return Refuse("Argument too large for EXP10. Will give overflow. ");
      return Value(ext::Pow(10, a));
  }
}

}  // namespace

Extended Ln(Extended a) {
  return a > 0 ? ext::Log(a) : 0;
}

Extended Atn(Extended a) {
  if (ext::IsInf(a)) return a > 0 ? kHalfPi : -kHalfPi;
  return ext::Atan(a);
}

Extended Sgn(Extended a) {
  return a > 0 ? 1 : (a < 0 ? -1 : 0);
}

FunctionResult ApplyFunction(int code, Extended a) {
  if (code <= fn::kArccot) return ApplyInverse(code, a);
  if (code <= fn::kCoth) return ApplyHyperbolic(code, a);
  if (code <= fn::kTan) return ApplyCircular(code, a);
  return ApplyOther(code, a);
}

}  // namespace funzioni::detail
