// How a plan rounds its results to 32 bits exactly as the text engine does, which computes in
// extended precision and writes and reads each stage's value as text: each helper answers the
// engine's 32-bit value, or nothing where a cheaper computation might land on the other side
// of a rounding boundary.
#pragma once

#include <cmath>
#include <optional>

#include "evaluator/Extended.h"
#include "evaluator/FloatParts.h"
#include "evaluator/LanguageTables.h"

namespace funzioni::detail {

// A value that the engine writes with 18 digits from its extended form and reads back as a
// 32-bit float: the same as rounding it to 32 bits directly, unless it lies within `margin`
// (relative) of a point halfway between two floats, where the 18-digit text might fall on the
// other side. `margin` also covers how far `value` may be from the engine's own extended result.
// `value` is given in double, within 2^-52 of the engine's extended result (relative) or equal
// to it; `margin` must cover that as well as the 18-digit text (5 * 10^-18).
inline std::optional<float> ThroughText(double value, double margin) {
  if (std::isnan(value)) return std::nullopt;
  const auto f = static_cast<float>(value);
  if (!std::isfinite(f)) return std::nullopt;
  const double magnitude = std::fabs(value);
  // Exact: value lies within half a spacing of f.
  const double offset = std::fabs(value - f);
  if (offset != 0) {
    const double half =
        static_cast<double>(SpacingToward(std::fabs(f), magnitude < std::fabs(f))) / 2;
    if (std::fabs(offset - half) <= magnitude * margin) return std::nullopt;
  }
  return f == 0 ? 0.0f : f;
}

// The 32-bit rounding of a function's extended result from a double `result` within 2^-50 of
// it (relative): the same unless `result` lies near a point halfway between two floats.
inline std::optional<float> NearestFloat(double result) {
  return ThroughText(result, 0x1p-44);
}

// The elementary functions in double precision where their arguments raise no message; empty
// where the extended kernel must answer.
[[gnu::always_inline]] inline std::optional<float> FastFunction(int code, double a) {
  switch (code) {
    case fn::kSin:
      return NearestFloat(std::sin(a));
    case fn::kCos:
      return NearestFloat(std::cos(a));
    case fn::kAtn:
      return std::isinf(a) ? std::nullopt : NearestFloat(std::atan(a));
    case fn::kLog:
      return a > 0 ? NearestFloat(std::log(a)) : std::nullopt;
    case fn::kExp:
      return std::fabs(a) < 80 ? NearestFloat(std::exp(a)) : std::nullopt;
    case fn::kSqr:
      return a >= 0 ? NearestFloat(std::sqrt(a)) : std::nullopt;
    case fn::kLog10:
      return a > 0 ? NearestFloat(std::log10(a)) : std::nullopt;
    default:
      return std::nullopt;
  }
}

// A 32-bit result as it reads back from its text: zero loses its sign, an infinite value is
// written 9.99999999999999999E+998 and reads back as infinite; NaN ("0") takes a path that a
// plan does not follow.
inline std::optional<float> Written(float v) {
  if (std::isnan(v)) return std::nullopt;
  return v == 0 ? 0.0f : v;
}

}  // namespace funzioni::detail
