#pragma once

// The plotting area repainted whole from the plot state: face, grids, scale numbers, axes,
// curves and frame.

#include "state/PlotState.h"

namespace funzioni {

class Dialog;
class ExpressionEvaluator;
class PlotAccelerator;
class PlotBackgroundCache;
struct CurveDots;

// Repaints the plotting area plotId completely from the state and shows it. The typed formula,
// when there is one, is shown once before the frame is drawn over it.
void RedrawPlot(Dialog& dialog, int plotId, const PlotState& state, ExpressionEvaluator& evaluator);

// The same picture, drawn with what the accelerator keeps between redraws and with the typed
// formula evaluated on every core (evaluator serves the calling thread).
void RedrawPlot(Dialog& dialog, int plotId, const PlotState& state, ExpressionEvaluator& evaluator,
                PlotAccelerator& accelerator);

// The same picture from curves' dots computed beforehand (CollectCurveDots) for the given zoom:
// face, grids and axes from the kept copies, the dots, the frame. The layer is left empty.
void ShowPlotPicture(Dialog& dialog, int plotId, float zoom, CurveDots& dots,
                     PlotBackgroundCache& background);

}  // namespace funzioni
