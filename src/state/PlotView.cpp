#include "state/PlotView.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

namespace funzioni {

namespace {

// One axis of a view: its centre and half width.
struct Span {
  double centre;
  double half;
};

Span ClampSpan(double low, double high) {
  Span span{(low + high) / 2, (high - low) / 2};
  if (!std::isfinite(span.centre)) span.centre = 0;
  span.centre = std::clamp(span.centre, -kMaxCentre, kMaxCentre);
  const double least = std::max(kMinHalfWidth, kMinRelativeHalfWidth * std::fabs(span.centre));
  if (!std::isfinite(span.half)) span.half = kMaxHalfWidth;
  span.half = std::clamp(span.half, least, kMaxHalfWidth);
  return span;
}

// The edges as they were when they are already in range (so that a range given from outside is
// kept to the bit), otherwise from the clamped centre and half width.
void ClampAxis(double& low, double& high) {
  const Span span = ClampSpan(low, high);
  if (span.centre == (low + high) / 2 && span.half == (high - low) / 2) return;
  low = span.centre - span.half;
  high = span.centre + span.half;
}

void ZoomAxis(double& low, double& high, double at, double factor) {
  const double half = (high - low) / 2;
  // The factor that the limits allow, with the centre it gives.
  const double centre = at + ((low + high) / 2 - at) * factor;
  // A huge factor puts that centre far out, where the relative least would pass the largest
  // half width: the range of the clamp must never be upside down.
  const double least =
      std::min(std::max(kMinHalfWidth, kMinRelativeHalfWidth * std::fabs(centre)), kMaxHalfWidth);
  const double allowed = std::clamp(half * factor, least, kMaxHalfWidth) / half;
  low = at - (at - low) * allowed;
  high = at + (high - at) * allowed;
}

double DecimalStepAtLeast(double minimum) {
  const double power = std::pow(10.0, std::floor(std::log10(minimum)));
  for (const double m : {1.0, 2.0, 5.0, 10.0}) {
    // A hair of tolerance: log10 and pow round, and a minimum of exactly 0.2 wants 0.2.
    if (m * power >= minimum * (1 - 1e-9)) return m * power;
  }
  return 10 * power;
}

constexpr std::array<double, 5> kDegreeSteps{15, 30, 45, 90, 180};
constexpr double kTurn = 360;
// In degrees a decimal step stops at 5: 10 degrees is no angle a pupil counts in.
constexpr double kLargestDecimalDegreeStep = 5;

}  // namespace

PlotView SeedView(float zoom) {
  const double r = static_cast<float>(0.2 * zoom);
  return PlotView{-r, r, -r, r};
}

PlotView ClampView(const PlotView& view) {
  PlotView clamped = view;
  ClampAxis(clamped.xMin, clamped.xMax);
  ClampAxis(clamped.yMin, clamped.yMax);
  return clamped;
}

PlotView ZoomViewAt(const PlotView& view, double x, double y, double factor, ZoomAxes axes) {
  if (!(factor > 0) || !std::isfinite(factor)) return view;
  PlotView zoomed = view;
  if (axes != ZoomAxes::OnlyY) ZoomAxis(zoomed.xMin, zoomed.xMax, x, factor);
  if (axes != ZoomAxes::OnlyX) ZoomAxis(zoomed.yMin, zoomed.yMax, y, factor);
  return ClampView(zoomed);
}

PlotView PanViewByPixels(const PlotView& view, double dx, double dy, int width, int height) {
  if (width <= 0 || height <= 0) return view;
  const double shiftX = -dx * (view.xMax - view.xMin) / width;
  const double shiftY = dy * (view.yMax - view.yMin) / height;
  return ClampView(
      PlotView{view.xMin + shiftX, view.xMax + shiftX, view.yMin + shiftY, view.yMax + shiftY});
}

PlotView PanViewByTenths(const PlotView& view, int tx, int ty) {
  const double shiftX = tx * (view.xMax - view.xMin) / 10;
  const double shiftY = ty * (view.yMax - view.yMin) / 10;
  return ClampView(
      PlotView{view.xMin + shiftX, view.xMax + shiftX, view.yMin + shiftY, view.yMax + shiftY});
}

PlotView ViewAtZoom(const PlotView& view, float zoom) {
  const double halfX = SeedView(zoom).xMax;
  const double halfY = view.HalfY() * halfX / view.HalfX();
  const double cx = view.CentreX();
  const double cy = view.CentreY();
  return ClampView(PlotView{cx - halfX, cx + halfX, cy - halfY, cy + halfY});
}

std::optional<PlotView> FitViewY(const PlotView& view, std::span<const double> values) {
  std::vector<double> finite;
  finite.reserve(values.size());
  for (const double v : values) {
    if (std::isfinite(v)) finite.push_back(v);
  }
  if (finite.empty()) return std::nullopt;
  std::sort(finite.begin(), finite.end());
  const double last = static_cast<double>(finite.size() - 1);
  const double low = finite[static_cast<std::size_t>(std::floor(kFitTailShare * last))];
  const double high = finite[static_cast<std::size_t>(std::ceil((1 - kFitTailShare) * last))];
  // A constant has no spread: it is shown in the middle of a range of 2 (or a tenth of itself).
  const double margin = high > low ? (high - low) * kFitMargin : std::max(1.0, std::fabs(low) / 10);
  PlotView fitted = view;
  fitted.yMin = low - margin;
  fitted.yMax = high + margin;
  return ClampView(fitted);
}

std::optional<PlotView> SettledView(const PlotView& view, float zoom) {
  if (view == SeedView(zoom)) return std::nullopt;
  return view;
}

double TickStepAtLeast(double minimum, bool degrees) {
  if (!(minimum > 0) || !std::isfinite(minimum)) return 1;
  if (!degrees || minimum <= kLargestDecimalDegreeStep) return DecimalStepAtLeast(minimum);
  for (const double step : kDegreeSteps) {
    if (step >= minimum) return step;
  }
  return kTurn * DecimalStepAtLeast(minimum / kTurn);
}

std::string TickLabel(double value, double step, bool degrees) {
  const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  char digits[64];
  const int length = std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
  std::string_view text(digits, length > 0 ? static_cast<std::size_t>(length) : 0);
  // A multiple of the step that rounds to 0 reads "0", not "-0".
  if (text.find_first_not_of("-0.") == std::string_view::npos) text = "0";
  constexpr std::string_view kDegreeSign = "\xC2\xB0";  // UTF-8
  std::string label(text);
  if (degrees) label.append(kDegreeSign);
  return label;
}

double ChooseTickStep(const TickAxis& axis, const LabelExtent& extent) {
  const double span = axis.high - axis.low;
  if (!(span > 0) || !(axis.pixels > 0)) return 1;
  const double perUnit = axis.pixels / span;
  double step = TickStepAtLeast(kMinTickPixels / perUnit, axis.degrees);
  // Each round takes the next step of the rule; the widest labels are those at the ends.
  for (int round = 0; round < 64; ++round) {
    const double first = std::ceil(axis.low / step) * step;
    const double last = std::floor(axis.high / step) * step;
    const double widest = std::max(extent(TickLabel(first, step, axis.degrees)),
                                   extent(TickLabel(last, step, axis.degrees)));
    if (widest + kLabelGap <= step * perUnit) return step;
    step = TickStepAtLeast(step * (1 + 1e-6), axis.degrees);
  }
  return step;
}

bool UsesAngleFunction(std::string_view formula) {
  std::string upper(formula);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  constexpr std::array<std::string_view, 6> kAngleNames{"SIN", "COS", "TAN", "SEC", "CSC", "COT"};
  constexpr std::string_view kInverse = "ARC";
  for (const std::string_view name : kAngleNames) {
    for (std::size_t at = upper.find(name); at != std::string::npos;
         at = upper.find(name, at + 1)) {
      const std::size_t end = at + name.size();
      const bool hyperbolic = end < upper.size() && upper[end] == 'H';
      const bool inverse = at >= kInverse.size() &&
                           std::string_view(upper).substr(at - kInverse.size(), 3) == kInverse;
      if (!hyperbolic && !inverse) return true;
    }
  }
  return false;
}

}  // namespace funzioni
