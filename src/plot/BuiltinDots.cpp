#include "plot/BuiltinDots.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "plot/BuiltinFunctions.h"
#include "plot/Curves.h"
#include "plot/DotLayer.h"
#include "plot/RunningSum.h"

namespace funzioni {

namespace {

constexpr int kNoRow = -1;
constexpr int kUnsure = -2;

// Unit roundoff of a double.
constexpr double kUnit = 0x1p-53;
// Relative error allowed for one fast value against the extended-precision one: a few roundings
// and a library function within one unit in the last place on either side come to well under
// 2^-50; 2^-45 leaves a wide margin.
constexpr double kRelative = 0x1p-45;
// Extra relative error of a value computed as e raised to a product: the extended-precision path
// rounds the exponent v ln u, which the result amplifies by |v ln u| = |ln y|.
constexpr double kPerLog = 0x1p-58;
// What a value that underflowed in double may differ from the extended one.
constexpr double kTiny = 1e-300;

// A bound on |ln y| (y finite and not zero) from its binary exponent.
double LogBound(double y) {
  return std::abs(std::ilogb(y)) + 2.0;
}

// A power that overflows double is beyond 1e307 in magnitude in extended precision too (both
// are within a tiny relative error of the true value), which puts its dot far off the area.
bool OverflowedPower(double y) {
  return std::isinf(y);
}

// The error bound of a value that the extended path gets as an exponential.
double ExponentialError(double y) {
  if (y == 0) return kTiny;
  const double magnitude = std::fabs(y);
  return magnitude * (kRelative + LogBound(y) * kPerLog) + kTiny;
}

}  // namespace

std::optional<int> PixelOnArea(double coordinate, int limit) {
  if (!std::isfinite(coordinate)) return std::nullopt;
  const double pixel = std::rint(coordinate);
  if (pixel < 0 || pixel >= limit) return std::nullopt;
  return static_cast<int>(pixel);
}

BuiltinRows::BuiltinRows(const PlotState& state, const PlotMapping& mapping)
    : state_(state),
      mapping_(mapping),
      height_(mapping.height),
      scaleY_(mapping.height / (0.4 * mapping.zoom)),
      halfRange_(mapping.halfRange) {}

BuiltinRows::Terms BuiltinRows::TermsAt(float x, bool withSines) {
  Terms t;
  t.x = x;
  t.x1 = x;
  t.x2 = t.x1 * t.x1;
  if (withSines) {
    t.sinX = std::sin(t.x1);
    t.cosX = std::cos(t.x1);
  }
  return t;
}

BuiltinRows::Estimate BuiltinRows::Fast(int n, const Terms& t) const {
  // Products of two floats are exact in double, as in extended precision.
  const double a = state_.paramA[n].value;
  const double b = state_.paramB[n].value;
  const double x = t.x1;
  switch (n) {
    case 1: {
      const double y = a * x;
      return {y, kRelative * std::fabs(y)};
    }
    case 2: {
      const double ax = a * x;
      return {ax + b, kRelative * (std::fabs(ax) + std::fabs(b))};
    }
    case 3:
    case 7: {
      const double power = n == 3 ? t.x2 : t.x2 * x;
      const double term = a * power;
      // A positive x is raised as exp(v ln x) on the extended path.
      const double logError = power == 0 ? 0 : std::fabs(term) * LogBound(power) * kPerLog;
      return {term + b, kRelative * (std::fabs(term) + std::fabs(b)) + logError};
    }
    case 4: {
      // Numerator and denominator are each one rounding of an exact sum in either precision.
      const double c = state_.paramC[n].value;
      const double d = state_.paramD[n].value;
      const double y = (a * x + b) / (c * x + d);
      return {y, kRelative * std::fabs(y)};
    }
    case 5:
      return {a * t.sinX, kRelative * std::fabs(a)};
    case 6:
      return {a * t.cosX, kRelative * std::fabs(a)};
    case 8: {
      const double v = a * x;
      if (v == 0) return {1, 0};
      const double y = std::exp2(v);
      if (OverflowedPower(y)) return {0, 0, true};
      return {y, ExponentialError(y)};
    }
    case 9: {
      const double u = a * x;
      const double v = b * x;
      if (v == 0) return {1, 0};
      if (u == 0) {
        if (v > 0) return {0, 0};
        return {0, 0, true};  // zero to a negative power
      }
      // A negative base takes the exponent rounded to a whole number, halves to even.
      const double y = u < 0 ? std::pow(u, std::nearbyint(v)) : std::pow(u, v);
      if (OverflowedPower(y)) return {0, 0, true};
      return {y, ExponentialError(y)};
    }
    case 10: {
      const double ax = a * x;
      if (ax < 0) return {0, 0, true};
      const double y = std::sqrt(ax);
      return {y, kRelative * y};
    }
    default:
      return {0, 0, true};
  }
}

int BuiltinRows::Decide(const Estimate& e) const {
  if (e.noValue) return kNoRow;
  if (!std::isfinite(e.y)) return kUnsure;
  const double row = height_ - scaleY_ * (e.y + halfRange_);
  // The row's own three roundings in double and in extended precision, the final rounding of
  // the extended row to double, and the value's error scaled to pixels, each with room to spare.
  const double bound =
      2 * scaleY_ * e.error +
      16 * kUnit *
          (height_ + scaleY_ * (std::fabs(e.y) + halfRange_ + 2 * e.error) + std::fabs(row));
  if (!std::isfinite(row) || !std::isfinite(bound)) return kUnsure;
  if (row - bound > height_ || row + bound < -1) return kNoRow;
  const double nearest = std::nearbyint(row);
  // Both rows lie strictly inside (nearest - 1/2, nearest + 1/2): both round to nearest.
  if (std::fabs(row - nearest) + bound >= 0.5 - 1e-9) return kUnsure;
  if (nearest < 0 || nearest >= height_) return kNoRow;
  return static_cast<int>(nearest);
}

std::optional<int> BuiltinRows::Row(int n, const Terms& terms) const {
  const int row = Decide(Fast(n, terms));
  if (row >= 0) return row;
  if (row == kNoRow) return std::nullopt;
  ++fallbacks_;
  return ExactRow(n, terms.x);
}

std::optional<int> BuiltinRows::Row(int n, float x) const {
  return Row(n, TermsAt(x, n == 5 || n == 6));
}

std::optional<int> BuiltinRows::ExactRow(int n, float x) const {
  const std::optional<long double> y = BuiltinValue(state_, n, x);
  if (!y) return std::nullopt;
  return PixelOnArea(mapping_.Row(*y), static_cast<int>(height_));
}

void CollectBuiltinDots(const PlotState& state, const PlotMapping& mapping, DotLayer& layer) {
  std::array<int, functionCount> shown{};
  std::array<Color, functionCount> colors{};
  std::size_t shownCount = 0;
  bool sines = false;
  for (int n = 1; n <= functionCount; ++n) {
    if (state.curveOn[n] != 1) continue;
    shown[shownCount] = n;
    colors[shownCount] = BuiltinCurveColor(n);
    ++shownCount;
    sines = sines || n == 5 || n == 6;
  }
  if (shownCount == 0) return;

  const BuiltinRows rows(state, mapping);
  const int width = static_cast<int>(mapping.width);
  const float r = mapping.halfRange;
  ForEachRunningValue(-r, r, BuiltinSampleStep(state), [&](float x) {
    const std::optional<int> column = PixelOnArea(mapping.Column(x), width);
    if (!column) return;  // every dot of this x falls off the area
    const BuiltinRows::Terms terms = BuiltinRows::TermsAt(x, sines);
    for (std::size_t i = 0; i < shownCount; ++i) {
      const std::optional<int> row = rows.Row(shown[i], terms);
      if (row) layer.Put(*column, *row, colors[i]);
    }
  });
}

}  // namespace funzioni
