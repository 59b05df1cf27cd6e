#include "plot/BuiltinDots.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "evaluator/BitCast.h"
#include "plot/Curves.h"
#include "plot/DotLayer.h"
#include "sampling/BuiltinFunctions.h"
#include "sampling/ChunkSizes.h"
#include "sampling/RunningSum.h"
#include "sampling/WorkerPool.h"

namespace funzioni {

namespace {

constexpr int kUnsure = -2;

// Unit roundoff of a double.
constexpr double kUnit = 0x1p-53;
// Relative error allowed for one fast value against the extended-precision one: a few roundings
// and a library function within one unit in the last place on either side come to well under
// 2^-50; 2^-45 leaves a wide margin.
constexpr double kRelative = 0x1p-45;
// Extra relative error of a value that the extended path computes as e raised to v ln u: the
// rounding of that exponent is amplified by |v ln u| = |ln y|.
constexpr double kPerLog = 0x1p-58;
// What a value that underflowed in double may differ from the extended one.
constexpr double kTiny = 1e-300;

// Nearest whole number, halves to even, for |v| < 2^51 (the default rounding mode does it).
double RoundHalfEven(double v) {
  constexpr double kShift = 0x1.8p52;
  return (v + kShift) - kShift;
}

// A bound on |ln y| for a finite y other than 0, from its binary exponent.
double LogBound(double y) {
  const auto biased = static_cast<int>((BitCast<std::uint64_t>(y) >> 52) & 0x7FF);
  if (biased == 0) return 1100;  // below 2^-1022
  return std::abs(biased - 1023) + 2.0;
}

// A fast value and a bound on its distance from the extended-precision value.
struct Estimate {
  double y = 0;
  double error = 0;
  bool noDot = false;  // no mark on the area, whatever the precision
};

// An exponential, or no dot when it overflowed: a power beyond double range is beyond 1e307 in
// extended precision too (both lie within a tiny relative error of the true value), which puts
// its dot far off the area.
Estimate Exponential(double y) {
  if (std::isinf(y)) return {0, 0, true};
  if (y == 0) return {0, kTiny};
  return {y, std::fabs(y) * (kRelative + LogBound(y) * kPerLog) + kTiny};
}

// Maps a value to its row: y = r is row 0 and y = -r row H.
struct RowScale {
  double height;
  double scale;   // H / ySpan, pixels per unit
  double offset;  // added to y before scaling (r in the seed view)

  // The row when the estimate vouches for it, kNoRow, or kUnsure.
  int Decide(const Estimate& e) const {
    if (e.noDot) return BuiltinRows::kNoRow;
    const double row = height - scale * (e.y + offset);
    // The row's three roundings in double and in extended precision, the extended row's rounding
    // to double, and the value's own error in pixels, each with room to spare.
    const double bound =
        2 * scale * e.error +
        16 * kUnit *
            (height + scale * (std::fabs(e.y) + std::fabs(offset) + 2 * e.error) + std::fabs(row));
    // The usual case first: both rows well inside the area (this also turns away NaN) and
    // strictly inside (nearest - 1/2, nearest + 1/2), so that both round to nearest.
    if (std::fabs(row - (height - 1) / 2) + bound < height / 2 - 1e-9) {
      const double nearest = RoundHalfEven(row);
      if (std::fabs(row - nearest) + bound < 0.5 - 1e-9) return static_cast<int>(nearest);
    }
    return DecideNearTheEdges(row, bound);
  }

  int DecideNearTheEdges(double row, double bound) const {
    if (!std::isfinite(row) || !std::isfinite(bound)) return kUnsure;
    if (row - bound > height || row + bound < -1) return BuiltinRows::kNoRow;
    const double nearest = RoundHalfEven(row);
    if (std::fabs(row - nearest) + bound >= 0.5 - 1e-9) return kUnsure;
    if (nearest < 0 || nearest >= height) return BuiltinRows::kNoRow;
    return static_cast<int>(nearest);
  }
};

}  // namespace

BuiltinRows::BuiltinRows(const PlotState& state, const PlotMapping& mapping)
    : state_(state), mapping_(mapping) {}

void BuiltinRows::Rows(int n, std::span<const float> xs, std::span<int> rows) const {
  const RowScale scale{mapping_.height, mapping_.height / mapping_.ySpan, mapping_.yOffset};
  // Products of two floats are exact in double, as in extended precision.
  const double a = state_.paramA[n].value;
  const double b = state_.paramB[n].value;
  const double c = state_.paramC[n].value;
  const double d = state_.paramD[n].value;
  const auto fill = [&](auto estimate) {
    for (std::size_t i = 0; i < xs.size() && i < rows.size(); ++i) {
      const int row = scale.Decide(estimate(static_cast<double>(xs[i])));
      if (row != kUnsure) {
        rows[i] = row;
        continue;
      }
      ++fallbacks_;
      rows[i] = ExactRow(n, xs[i]).value_or(kNoRow);
    }
  };
  // x^2 and x^3 in double; a positive x is raised as exp(v ln x) on the extended path.
  const auto polynomial = [&](double power) {
    const double term = a * power;
    const double logError = power == 0 ? 0 : std::fabs(term) * LogBound(power) * kPerLog;
    return Estimate{term + b, kRelative * (std::fabs(term) + std::fabs(b)) + logError};
  };
  switch (n) {
    case 1:
      return fill([&](double x) { return Estimate{a * x, kRelative * std::fabs(a * x)}; });
    case 2:
      return fill([&](double x) {
        return Estimate{a * x + b, kRelative * (std::fabs(a * x) + std::fabs(b))};
      });
    case 3:
      return fill([&](double x) { return polynomial(x * x); });
    case 4:
      // Numerator and denominator are each one rounding of an exact sum in either precision, so
      // the denominator is 0 in both or in neither; dividing by 0 gives no finite row.
      return fill([&](double x) {
        const double denominator = c * x + d;
        if (denominator == 0) return Estimate{0, 0, true};
        const double y = (a * x + b) / denominator;
        return Estimate{y, kRelative * std::fabs(y)};
      });
    case 5:
      return fill([&](double x) { return Estimate{a * std::sin(x), kRelative * std::fabs(a)}; });
    case 6:
      return fill([&](double x) { return Estimate{a * std::cos(x), kRelative * std::fabs(a)}; });
    case 7:
      return fill([&](double x) { return polynomial(x * x * x); });
    case 8:
      return fill([&](double x) {
        const double v = a * x;
        return v == 0 ? Estimate{1, 0} : Exponential(std::exp2(v));
      });
    case 9:
      return fill([&](double x) {
        const double u = a * x;
        const double v = b * x;
        if (v == 0) return Estimate{1, 0};
        if (u == 0) return v > 0 ? Estimate{0, 0} : Estimate{0, 0, true};
        // A negative base takes the exponent rounded to a whole number, halves to even.
        return Exponential(u < 0 ? std::pow(u, std::nearbyint(v)) : std::pow(u, v));
      });
    case 10:
      return fill([&](double x) {
        const double ax = a * x;
        if (ax < 0) return Estimate{0, 0, true};
        const double y = std::sqrt(ax);
        return Estimate{y, kRelative * y};
      });
    default:
      return fill([](double) { return Estimate{0, 0, true}; });
  }
}

std::optional<int> BuiltinRows::Row(int n, float x) const {
  int row = kNoRow;
  Rows(n, std::span<const float>(&x, 1), std::span<int>(&row, 1));
  if (row == kNoRow) return std::nullopt;
  return row;
}

std::optional<int> BuiltinRows::ExactRow(int n, float x) const {
  const std::optional<Extended> y = BuiltinValue(state_, n, x);
  if (!y) return std::nullopt;
  return PixelOnArea(mapping_.Row(*y), static_cast<int>(mapping_.height));
}

ShownCurves ListShownCurves(const PlotState& state) {
  ShownCurves curves;
  for (int n = 1; n <= functionCount; ++n) {
    if (state.curveOn[n] != 1) continue;
    curves.numbers[curves.count] = n;
    curves.colors[curves.count] = BuiltinCurveColor(n);
    ++curves.count;
  }
  return curves;
}

bool CollectBuiltinDots(const PlotState& state, const PlotMapping& mapping, DotLayer& layer,
                        WorkerPool* pool, StopToken stop) {
  const ShownCurves curves = ListShownCurves(state);
  if (curves.count == 0) return true;

  // Samples go in blocks, so that memory stays bounded however far the zoom goes: the rows of
  // a block's samples are computed function by function in parts side by side, and then the
  // block's dots are set in drawing order, sample by sample, function by function.
  std::vector<float> xs;
  std::vector<int> columns;
  std::vector<int> rows(curves.count * kSamplesPerDotBlock);
  xs.reserve(kSamplesPerDotBlock);
  columns.reserve(kSamplesPerDotBlock);
  const auto collectBlock = [&] {
    const std::size_t count = xs.size();
    // Runs of samples go to whichever thread asks next, each run with its own BuiltinRows.
    const std::size_t runs = (count + kBuiltinSamplesPerRun - 1) / kBuiltinSamplesPerRun;
    const auto computeRun = [&](std::size_t run, unsigned) {
      const BuiltinRows rowsOfRun(state, mapping);
      const std::size_t first = run * kBuiltinSamplesPerRun;
      const std::size_t size = std::min(kBuiltinSamplesPerRun, count - first);
      for (std::size_t k = 0; k < curves.count; ++k) {
        rowsOfRun.Rows(curves.numbers[k], std::span<const float>(xs).subspan(first, size),
                       std::span<int>(rows).subspan(k * kSamplesPerDotBlock + first, size));
      }
    };
    if (pool != nullptr && runs > 1) {
      pool->Run(runs, computeRun);
    } else {
      for (std::size_t run = 0; run < runs; ++run) computeRun(run, 0);
    }
    for (std::size_t i = 0; i < count; ++i) {
      for (std::size_t k = 0; k < curves.count; ++k) {
        const int row = rows[k * kSamplesPerDotBlock + i];
        if (row != BuiltinRows::kNoRow) layer.Put(columns[i], row, curves.colors[k]);
      }
    }
    xs.clear();
    columns.clear();
  };

  const int width = static_cast<int>(mapping.width);
  bool stopped = false;
  ForEachSampleX(BuiltinSampleRule(state), [&](float x) {
    if (stopped) return;
    // A sample whose column lies off the area leaves no mark at all.
    const std::optional<int> column = PixelOnArea(mapping.Column(x), width);
    if (!column) return;
    xs.push_back(x);
    columns.push_back(*column);
    if (xs.size() < kSamplesPerDotBlock) return;
    collectBlock();
    stopped = stop.stop_requested();
  });
  if (stopped) return false;
  collectBlock();
  return !stop.stop_requested();
}

}  // namespace funzioni
