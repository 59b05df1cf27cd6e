#pragma once

// The dots of the built-in curves and of the typed formula on the plotting area.

#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "drawing/Color.h"
#include "drawing/Geometry.h"
#include "plot/DotLayer.h"
#include "plot/KeptCurves.h"
#include "plot/PlotMapping.h"
#include "sampling/FormulaSampling.h"
#include "sampling/SampleXs.h"
#include "sampling/StopToken.h"
#include "state/PlotState.h"

namespace funzioni {

class Dialog;
class DrawingSurface;
class ExpressionEvaluator;
class PlotAccelerator;
struct FormulaDots;

// Draws one dot per sample of every built-in function whose switch is exactly 1, function by
// function at each x, onto the plotting area. Does not show the surface.
void PlotBuiltinCurves(Dialog& dialog, int plotId, const PlotState& state);

// The colour of the dots of built-in function n (1..functionCount).
Color BuiltinCurveColor(int n);
// The colour of the typed formula's dots (yellow).
Color FormulaCurveColor();

// Paints the yellow dots of the samples in order on the surface.
void DrawFormulaSamples(DrawingSurface& surface, const PlotMapping& mapping,
                        std::span<const FormulaSample> samples);

// Computes and draws the typed formula over whatever the plotting area shows, then shows it.
void PlotFormulaCurve(Dialog& dialog, int plotId, const PlotState& state,
                      ExpressionEvaluator& evaluator, std::string_view formula);

// The same through the accelerator: the formula's dots kept while the formula, the zoom and the
// step stay the same, and otherwise evaluated on every core.
void PlotFormulaCurve(Dialog& dialog, int plotId, const PlotState& state,
                      ExpressionEvaluator& evaluator, PlotAccelerator& accelerator,
                      std::string_view formula);

// Sets the formula's dots over whatever the plotting area shows, then shows it.
void ShowFormulaDots(Dialog& dialog, int plotId, const FormulaDots& dots);

// The dots a redraw sets on an area of a given size, the built-in curves', the kept formulas'
// over them and the current formula's over all, computed apart from the area (on any thread).
struct CurveDots {
  DotLayer layer;  // the built-in curves' dots, the kept formulas' and the formula's over them
  bool formulaShown = false;
  // Where the formula's last dot leaves the surface's current position.
  std::optional<std::pair<double, double>> formulaLastPosition;
  // The view the dots are of, when a gesture moved it (the grid follows it), and whether its x
  // axis is labelled in degrees.
  std::optional<PlotView> view;
  bool degrees = false;
  // The key of the kept formulas, drawn over the dots; empty when none is kept.
  std::vector<KeptKeyEntry> key;
};

// Computes the dots into the given layer (passed in so that its memory serves again); empty when
// a stop requested through stop ended the work first.
std::optional<CurveDots> CollectCurveDots(const PlotState& state, PixelSize size,
                                          ExpressionEvaluator& evaluator,
                                          PlotAccelerator& accelerator, DotLayer layer,
                                          StopToken stop = {});

// Sets the dots and the key on the plotting area without showing it: the caller shows the
// finished picture once (the layer is left empty, ready to serve again).
void SetCurveDots(Dialog& dialog, int plotId, CurveDots& dots);

}  // namespace funzioni
