#pragma once

#include <optional>

#include "evaluator/Extended.h"

// The mapping between plot values and pixels of the plotting area. In the seed view of the zoom
// x and y both run from -r to r with the half-range r = 0.2 z: x = -r is column 0 and x = r
// column W; y = r is row 0 and y = -r row H. In a view a gesture has moved, x runs from xMin
// (column 0) to xMax (column W) and y from yMax (row 0) to yMin (row H), each axis scaled apart.

#include "drawing/Geometry.h"
#include "sampling/SampleXs.h"
#include "state/PlotState.h"

namespace funzioni {

struct PlotMapping {
  double width = 0;
  double height = 0;
  float zoom = 0;
  float halfRange = 0;  // a 32-bit float, like every stored plot value
  // column = W (x + xOffset) / xSpan and row = H - H / ySpan (y + yOffset): in the seed view the
  // offsets are r and the spans 0.4 z, so that the arithmetic is the seed's own.
  double xOffset = 0;
  double xSpan = 1;
  double yOffset = 0;
  double ySpan = 1;

  // The sum is taken in double: only stored values are rounded to 32 bits.
  double Column(float x) const { return width * (xOffset + x) / xSpan; }
  double Row(Extended y) const {
    return static_cast<double>(height - height / ySpan * (y + yOffset));
  }
};

// The seed view of a zoom value.
inline PlotMapping MakePlotMapping(PixelSize size, float zoom) {
  const float r = HalfRange(zoom);
  const double span = 0.4 * zoom;
  return PlotMapping{
      static_cast<double>(size.width), static_cast<double>(size.height), zoom, r, r, span, r, span};
}

// The state's view: its moved view when it has one, otherwise the seed view of its zoom.
inline PlotMapping MakePlotMapping(PixelSize size, const PlotState& state) {
  PlotMapping mapping = MakePlotMapping(size, state.zoomValue.value);
  if (!state.view) return mapping;
  const PlotView& view = *state.view;
  mapping.xOffset = -view.xMin;
  mapping.xSpan = view.xMax - view.xMin;
  mapping.yOffset = -view.yMin;
  mapping.ySpan = view.yMax - view.yMin;
  return mapping;
}

}  // namespace funzioni
