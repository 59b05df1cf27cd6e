#pragma once

// The plotting area repainted whole from the plot state: face, grids, scale numbers, axes,
// curves and frame.

#include "app/PlotState.h"

namespace funzioni {

class Dialog;
class ExpressionEvaluator;

// Repaints the plotting area plotId completely from the state and shows it. The typed formula,
// when there is one, is shown once before the frame is drawn over it.
void RedrawPlot(Dialog& dialog, int plotId, const PlotState& state, ExpressionEvaluator& evaluator);

}  // namespace funzioni
