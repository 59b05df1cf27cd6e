#pragma once

// The plotting area repainted whole from the plot state: face, grids, scale numbers, axes,
// curves and frame.

#include "app/PlotState.h"

namespace funzioni {

class Dialog;
class ExpressionEvaluator;

// The grid's unit length 10 (H - 1) / (4 z) and the fine grid's tenth of it, in pixels, each a
// 32-bit float (29.95 and 2.995 at z = 50 on a 600-pixel area).
float UnitGridStep(int height, float zoom);
float FineGridStep(int height, float zoom);

// Repaints the plotting area plotId completely from the state and shows it. The typed formula,
// when there is one, is shown once before the frame is drawn over it.
void RedrawPlot(Dialog& dialog, int plotId, const PlotState& state, ExpressionEvaluator& evaluator);

}  // namespace funzioni
