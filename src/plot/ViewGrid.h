#pragma once

// The grid, the scale numbers and the axes of a view a gesture has moved: lines and numbers at the
// ticks' steps (PlotView.h) as many as fit, the axes where they lie in view. The seed view's own
// grid is PlotBoard's.

#include "drawing/DrawingSurface.h"
#include "state/PlotView.h"

namespace funzioni {

// Draws over the face; degrees: the x numbers in degrees (the formula uses an angle function).
void DrawViewGridAndAxes(DrawingSurface& surface, PixelSize size, const PlotView& view,
                         bool degrees);

}  // namespace funzioni
