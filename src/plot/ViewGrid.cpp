#include "plot/ViewGrid.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace funzioni {

namespace {

constexpr Color kFineGridColor = 0x00505050;  // as the seed view's grids
constexpr Color kUnitGridColor = 0x00646464;
// The fine grid divides a tick step in five, drawn only while its lines stay this far apart.
constexpr double kFineDivisions = 5;
constexpr double kLeastFinePixels = 8;
// Numbers stand this far from their axis, as the seed's y numbers do (10 pixels left of the
// axis for a one-digit number about 7 wide).
constexpr double kLabelOffset = 3;
// The seed's numbers stand 6 pixels above their line (y) and 4 left of it (x).
constexpr double kYLabelRise = 6;
constexpr double kXLabelShift = 4;

// Where values of one axis land, in pixels from the area's low edge (left, or bottom).
struct AxisPixels {
  double low;
  double high;
  double pixels;
  double At(double value) const { return pixels * (value - low) / (high - low); }
};

// Calls visit with every multiple of step within [low, high], worked out from its count.
template <typename Visit>
void ForEachMultiple(double low, double high, double step, Visit&& visit) {
  const double first = std::ceil(low / step);
  const double last = std::floor(high / step);
  for (double k = first; k <= last; ++k) visit(k * step);
}

void DrawColumns(DrawingSurface& surface, const AxisPixels& axis, double step, double height,
                 Color color) {
  ForEachMultiple(axis.low, axis.high, step, [&](double x) {
    surface.MoveTo(axis.At(x), 0);
    surface.LineTo(0, height, color, true);
  });
}

void DrawRows(DrawingSurface& surface, const AxisPixels& axis, double step, double width,
              Color color) {
  ForEachMultiple(axis.low, axis.high, step, [&](double y) {
    surface.MoveTo(0, axis.pixels - axis.At(y));
    surface.LineTo(width, 0, color, true);
  });
}

void DrawFineGrid(DrawingSurface& surface, const AxisPixels& across, const AxisPixels& down,
                  double stepX, double stepY) {
  const double fineX = stepX / kFineDivisions;
  const double fineY = stepY / kFineDivisions;
  if (across.At(across.low + fineX) >= kLeastFinePixels) {
    DrawColumns(surface, across, fineX, down.pixels, kFineGridColor);
  }
  if (down.At(down.low + fineY) >= kLeastFinePixels) {
    DrawRows(surface, down, fineY, across.pixels, kFineGridColor);
  }
}

void DrawLine(DrawingSurface& surface, double x1, double y1, double x2, double y2) {
  surface.MoveTo(x1, y1);
  surface.LineTo(x2, y2, kDefaultColor);
}

// The axes through 0 where 0 is in view, with the seed's arrowheads and letters.
void DrawAxes(DrawingSurface& surface, double axisColumn, double axisRow, double width,
              double height) {
  if (axisRow >= 0 && axisRow <= height) {
    DrawLine(surface, 0, axisRow, width, axisRow);
    DrawLine(surface, width - 2, axisRow, width - 7, axisRow - 5);
    DrawLine(surface, width - 2, axisRow, width - 7, axisRow + 5);
    surface.MoveTo(width - 17, axisRow - 20);
    surface.PrintText("x");
  }
  if (axisColumn >= 0 && axisColumn <= width) {
    DrawLine(surface, axisColumn, 0, axisColumn, height);
    DrawLine(surface, axisColumn, 2, axisColumn - 5, 7);
    DrawLine(surface, axisColumn, 2, axisColumn + 5, 7);
    surface.MoveTo(axisColumn + 10, 3);
    surface.PrintText("y");
  }
}

}  // namespace

void DrawViewGridAndAxes(DrawingSurface& surface, PixelSize size, const PlotView& view,
                         bool degrees) {
  const double width = size.width;
  const double height = size.height;
  const AxisPixels across{view.xMin, view.xMax, width};
  const AxisPixels down{view.yMin, view.yMax, height};
  const auto textWidth = [&](std::string_view label) {
    return static_cast<double>(surface.MeasureText(label).width);
  };
  const auto textHeight = [&](std::string_view label) {
    return static_cast<double>(surface.MeasureText(label).height);
  };
  const double stepX = ChooseTickStep({view.xMin, view.xMax, width, degrees}, textWidth);
  const double stepY = ChooseTickStep({view.yMin, view.yMax, height, false}, textHeight);

  DrawFineGrid(surface, across, down, stepX, stepY);
  DrawColumns(surface, across, stepX, height, kUnitGridColor);
  DrawRows(surface, down, stepY, width, kUnitGridColor);

  // The numbers beside the axes, or along the edge the axis lies beyond, kept inside the area;
  // none at 0.
  const double axisColumn = across.At(0);
  const double axisRow = height - down.At(0);
  const double lineHeight = textHeight("0");
  const double xLabelRow = std::clamp(axisRow, 0.0, height - lineHeight);
  ForEachMultiple(view.xMin, view.xMax, stepX, [&](double x) {
    const std::string label = TickLabel(x, stepX, degrees);
    if (label == "0" || label == "0\xC2\xB0") return;
    const double column =
        std::clamp(across.At(x) - kXLabelShift, 2.0, width - textWidth(label) - 2);
    surface.MoveTo(column, xLabelRow);
    surface.PrintText(label);
  });
  ForEachMultiple(view.yMin, view.yMax, stepY, [&](double y) {
    const std::string label = TickLabel(y, stepY, false);
    if (label == "0") return;
    const double labelWidth = textWidth(label);
    const double column =
        std::clamp(axisColumn - kLabelOffset - labelWidth, 2.0, width - labelWidth - 2);
    const double row = std::clamp(height - down.At(y) - kYLabelRise, 0.0, height - lineHeight);
    surface.MoveTo(column, row);
    surface.PrintText(label);
  });
  DrawAxes(surface, axisColumn, axisRow, width, height);
}

}  // namespace funzioni
