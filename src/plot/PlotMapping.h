#pragma once

#include "evaluator/Extended.h"

// The mapping between plot values and pixels of the plotting area: x and y both run from -r to
// r with the half-range r = 0.2 z; x = -r is column 0 and x = r column W; y = r is row 0 and
// y = -r row H.

#include "drawing/Geometry.h"
#include "sampling/SampleXs.h"

namespace funzioni {

struct PlotMapping {
  double width = 0;
  double height = 0;
  float zoom = 0;
  float halfRange = 0;  // a 32-bit float, like every stored plot value

  // The sum is taken in double: only stored values are rounded to 32 bits.
  double Column(float x) const {
    return width * (static_cast<double>(halfRange) + x) / (0.4 * zoom);
  }
  double Row(Extended y) const {
    return static_cast<double>(height - height / (0.4 * zoom) * (y + halfRange));
  }
};

inline PlotMapping MakePlotMapping(PixelSize size, float zoom) {
  return PlotMapping{static_cast<double>(size.width), static_cast<double>(size.height), zoom,
                     HalfRange(zoom)};
}

}  // namespace funzioni
