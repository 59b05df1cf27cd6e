#pragma once

// The built-in curves computed fast. Each dot's row is first computed in double precision
// together with a bound on how far it can lie from the row that the extended-precision value
// gives. When that whole interval rounds to one pixel (or lies off the area) the pixel is known;
// only when the interval touches a rounding boundary is the extended-precision value computed.
// So every dot lands on exactly the pixel that PlotBuiltinCurves gives it.

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>

#include "drawing/Color.h"
#include "plot/PlotMapping.h"
#include "sampling/StopToken.h"
#include "state/PlotState.h"

namespace funzioni {

class DotLayer;
class WorkerPool;

// A pixel coordinate as the drawing surface rounds it (nearest, halves to even); empty when not
// finite or outside 0..limit - 1. Inline: it runs for every sample, and a call would hand the
// answer back through memory, stored in parts and read back whole, which makes the processor wait.
inline std::optional<int> PixelOnArea(double coordinate, int limit) {
  // The comparison also turns away NaN.
  if (!(std::fabs(coordinate) < 0x1p50)) return std::nullopt;
  // Nearest whole number, halves to even, for |v| < 2^51 (the default rounding mode does it).
  constexpr double kShift = 0x1.8p52;
  const double pixel = (coordinate + kShift) - kShift;
  if (pixel < 0 || pixel >= limit) return std::nullopt;
  return static_cast<int>(pixel);
}

class BuiltinRows {
 public:
  // Marks a sample whose dot leaves no mark on the area.
  static constexpr int kNoRow = -1;

  BuiltinRows(const PlotState& state, const PlotMapping& mapping);

  // The row of function n's dot at each x, or kNoRow.
  void Rows(int n, std::span<const float> xs, std::span<int> rows) const;

  // One x: the row of function n's dot, empty when it leaves no mark.
  std::optional<int> Row(int n, float x) const;
  // The same through the extended-precision value alone (the reference for Row).
  std::optional<int> ExactRow(int n, float x) const;

  // How many samples so far needed the extended-precision value.
  long long Fallbacks() const { return fallbacks_; }

 private:
  const PlotState& state_;
  PlotMapping mapping_;
  mutable long long fallbacks_ = 0;
};

// The functions whose switch is exactly 1, in drawing order, with the colours of their dots.
struct ShownCurves {
  std::array<int, functionCount> numbers{};
  std::array<Color, functionCount> colors{};
  std::size_t count = 0;
};
ShownCurves ListShownCurves(const PlotState& state);

// Sets the dots of every built-in function whose switch is exactly 1 into the layer, at the
// pixels and in the order in which PlotBuiltinCurves sets them on the surface. The rows are
// computed with the pool's helpers when a pool is given (and free); the dots are set by the
// calling thread. False when a stop requested through stop ended the work first (the layer is then
// incomplete).
bool CollectBuiltinDots(const PlotState& state, const PlotMapping& mapping, DotLayer& layer,
                        WorkerPool* pool = nullptr, StopToken stop = {});

}  // namespace funzioni
