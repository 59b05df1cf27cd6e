#pragma once

// The rectangle of the plane that the plotting area shows, with x and y scaled apart, and what
// the pupil's gestures do to it. The state keeps no view while the picture is the seed view of the
// zoom meter (centred at 0, square, -0.2 z..0.2 z), so that everything drawn then is computed as
// it always was; a view exists only once a gesture has moved the picture away from it.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace funzioni {

struct PlotView {
  double xMin = -10;
  double xMax = 10;
  double yMin = -10;
  double yMax = 10;

  double CentreX() const { return (xMin + xMax) / 2; }
  double CentreY() const { return (yMin + yMax) / 2; }
  double HalfX() const { return (xMax - xMin) / 2; }
  double HalfY() const { return (yMax - yMin) / 2; }
  friend bool operator==(const PlotView&, const PlotView&) = default;
};

// A half width of a thousandth lets a pole be looked at closely; 10^6 holds ten periods of a sine
// in degrees many times over.
inline constexpr double kMinHalfWidth = 1e-3;
inline constexpr double kMaxHalfWidth = 1e6;
// Centres stay within 10^6 of 0, so no edge passes 2 * 10^6: far inside a 32-bit float's range,
// and x still written exactly enough with 7 significant digits.
inline constexpr double kMaxCentre = 1e6;
// x reaches the formula written with 7 significant digits, 10^-6 apart relative to x at worst:
// each of 600 columns gets an x of its own while 2 h / 600 >= 10^-6 |centre|, that is
// h >= 3 * 10^-4 |centre|; a thousandth leaves a margin.
inline constexpr double kMinRelativeHalfWidth = 1e-3;

// The seed view of a zoom value: both axes from -0.2 z to 0.2 z (0.2 z as a 32-bit float).
PlotView SeedView(float zoom);

// The view brought into range: each half width within [kMinHalfWidth, kMaxHalfWidth] (and not
// below kMinRelativeHalfWidth of its centre's distance from 0), each centre within kMaxCentre.
// The centre stays where it is unless it was out of range.
PlotView ClampView(const PlotView& view);

enum class ZoomAxes { Both, OnlyX, OnlyY };

// The view scaled by factor (above 1: a wider range, zooming out) around the point (x, y), which
// keeps its place on the area unless a limit was reached.
PlotView ZoomViewAt(const PlotView& view, double x, double y, double factor, ZoomAxes axes);

// The view moved so that the picture follows a drag of (dx, dy) pixels on an area of width by
// height pixels (dy grows downwards, as rows do).
PlotView PanViewByPixels(const PlotView& view, double dx, double dy, int width, int height);

// The view moved by tenths of its width (tx, to the right) and height (ty, upwards).
PlotView PanViewByTenths(const PlotView& view, int tx, int ty);

// The zoom meter moved while a view is shown: x's half width becomes 0.2 z around the current
// centre and y's follows in the same proportion.
PlotView ViewAtZoom(const PlotView& view, float zoom);

// The share of the curves' values that "Adatta y" leaves out at each end, so that the values near
// a pole do not stretch the range: the central 90 % are shown.
inline constexpr double kFitTailShare = 0.05;
// The margin added above and below the fitted values, as a share of their spread.
inline constexpr double kFitMargin = 0.05;

// The view with y set to the central part of the values (the finite ones), x untouched; empty
// when no value is finite.
std::optional<PlotView> FitViewY(const PlotView& view, std::span<const double> values);

// The view as the state keeps it: nothing when it is exactly the seed view of the zoom.
std::optional<PlotView> SettledView(const PlotView& view, float zoom);

// Ticks: grid lines and numbers at 1, 2 or 5 x 10^k units; in degrees, from 15 on, at 15, 30, 45,
// 90, 180 and 360 x (1, 2 or 5) x 10^k.
// The smallest step of that rule that is at least minimum (which must be finite and above 0).
double TickStepAtLeast(double minimum, bool degrees);

// The number written beside a tick: as many decimals as the step has, no "-0"; in degrees with
// the degree sign.
std::string TickLabel(double value, double step, bool degrees);

// What an axis needs to place its ticks.
struct TickAxis {
  double low = 0;  // the range shown
  double high = 1;
  double pixels = 600;  // the area's length along the axis
  bool degrees = false;
};
// The pixels a label takes along the axis (its width on x, its height on y).
using LabelExtent = std::function<double(std::string_view label)>;
// Below this many pixels apart, grid lines would blur into a fill.
inline constexpr double kMinTickPixels = 12;
// Blank pixels between two neighbouring labels.
inline constexpr double kLabelGap = 6;

// The smallest step of the rule whose labels, each extent pixels long, fit side by side.
double ChooseTickStep(const TickAxis& axis, const LabelExtent& extent);

// The formula uses a function that takes degrees (SIN, COS, TAN, SEC, CSC, COT, not their
// hyperbolic or inverse forms), in either case.
bool UsesAngleFunction(std::string_view formula);

}  // namespace funzioni
