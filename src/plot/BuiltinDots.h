#pragma once

// The built-in curves computed fast. Each dot's row is first computed in double precision
// together with a bound on how far it can lie from the row that the extended-precision value
// gives. When the whole interval rounds to one pixel (or lies off the area) that pixel is the
// answer; only when the interval touches a rounding boundary is the extended-precision value
// computed. So every dot lands on exactly the pixel that PlotBuiltinCurves gives it.

#include <optional>

#include "app/PlotState.h"
#include "plot/PlotMapping.h"

namespace funzioni {

class DotLayer;

// A pixel coordinate as the drawing surface rounds it (nearest, halves to even); empty when not
// finite or outside 0..limit - 1.
std::optional<int> PixelOnArea(double coordinate, int limit);

class BuiltinRows {
 public:
  BuiltinRows(const PlotState& state, const PlotMapping& mapping);

  // The row of function n's dot at x; empty when the dot leaves no mark on the area.
  std::optional<int> Row(int n, float x) const;
  // The same through the extended-precision value alone (the reference for Row).
  std::optional<int> ExactRow(int n, float x) const;

  // How many Row calls so far had to fall back on the extended-precision value.
  long long Fallbacks() const { return fallbacks_; }

  // Row with the powers and sines of x already at hand; used by the drawing loop.
  struct Terms {
    float x = 0;
    double x1 = 0;
    double x2 = 0;  // exact: a float squared fits a double
    double sinX = 0;
    double cosX = 0;
  };
  static Terms TermsAt(float x, bool withSines);
  std::optional<int> Row(int n, const Terms& terms) const;

 private:
  // A fast value of function n and a bound on its distance from the extended-precision value.
  struct Estimate {
    double y = 0;
    double error = 0;
    bool noValue = false;  // no dot on the area, whatever the precision
  };
  Estimate Fast(int n, const Terms& t) const;
  // The rounded row when the estimate vouches for it (a row, or kNoRow), otherwise kUnsure.
  int Decide(const Estimate& e) const;

  const PlotState& state_;
  PlotMapping mapping_;
  double height_ = 0;
  double scaleY_ = 0;  // pixels per unit of y
  double halfRange_ = 0;
  mutable long long fallbacks_ = 0;
};

// Sets the dots of every built-in function whose switch is exactly 1 into the layer, at the
// pixels and in the order PlotBuiltinCurves sets them on the surface.
void CollectBuiltinDots(const PlotState& state, const PlotMapping& mapping, DotLayer& layer);

}  // namespace funzioni
