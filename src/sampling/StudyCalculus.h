#pragma once

// The tangent at a point and the integral over an interval of the typed formula, from the
// evaluator's own values at 32-bit x, each with what its numbers can vouch for.

#include <string>

#include "sampling/FunctionStudy.h"

namespace funzioni {

class StudyProbe;

struct StudyTangent {
  enum class Kind { Tangent, Corner, None };
  Kind kind = Kind::None;
  double x = 0;
  double y = 0;
  double m = 0;  // Tangent: y = m x + q
  double q = 0;
  StudyValue left;  // Corner: the one-sided slopes
  StudyValue right;
  std::string reason;  // None: "no value" or "no derivative"
};

// The tangent at x: a line where both one-sided slopes agree, the two slopes where they do not
// (a corner, a cusp or a vertical tangent), none where f has no value or a side has no slope.
StudyTangent TangentAt(StudyProbe& probe, float x);

struct StudyIntegral {
  // Why it was refused: a gap or a pole at `at`, values missing between `at` and `to`, or an
  // error bound not below a ten-thousandth of the value.
  enum class Refusal { None, Gap, Pole, GapBetween, WideBound };
  bool refused = false;
  Refusal why = Refusal::None;
  double at = 0;
  double to = 0;
  std::string reason;  // when refused: the same in English words ("pole at 0")
  double value = 0;    // the signed integral from a to b
  double error = 0;    // a bound on its error
  double area = 0;     // the integral of |f|
  double areaError = 0;
};

// The integral from a to b (either order), refused when a gap or a pole lies between them or
// when the error bound is not below a ten-thousandth of the value.
StudyIntegral IntegralOf(StudyProbe& probe, double a, double b);

}  // namespace funzioni
