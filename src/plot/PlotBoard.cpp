#include "plot/PlotBoard.h"

#include <string>

#include "controls/ControlRenderer.h"
#include "drawing/DialogServices.h"
#include "plot/Curves.h"
#include "plot/PlotAccelerator.h"
#include "plot/PlotMapping.h"
#include "plot/ViewGrid.h"
#include "sampling/RunningSum.h"

namespace funzioni {

namespace {

constexpr Color kFineGridColor = 0x00505050;  // Rgb(80, 80, 80)
constexpr Color kUnitGridColor = 0x00646464;  // Rgb(100, 100, 100)

// Lines are drawn from W/2 (or H/2) outwards in both directions, one pair per step.
void DrawRowPair(DrawingSurface& surface, double width, double height, float y, Color color) {
  surface.MoveTo(0, y);
  surface.LineTo(width, 0, color, true);
  surface.MoveTo(0, height - y);
  surface.LineTo(width, 0, color, true);
}

void DrawColumnPair(DrawingSurface& surface, double width, double height, float x, Color color) {
  surface.MoveTo(x, 0);
  surface.LineTo(0, height, color, true);
  surface.MoveTo(width - x, 0);
  surface.LineTo(0, height, color, true);
}

void DrawFineGrid(DrawingSurface& surface, double width, double height, float step) {
  ForEachRunningValue(static_cast<float>(height / 2), static_cast<float>(height), step,
                      [&](float y) { DrawRowPair(surface, width, height, y, kFineGridColor); });
  ForEachRunningValue(static_cast<float>(width / 2), static_cast<float>(width), step,
                      [&](float x) { DrawColumnPair(surface, width, height, x, kFineGridColor); });
}

// The unit lines, and the numbers 1 to 9 beside the second to tenth lines of the upper half of
// the y axis and of the right half of the x axis.
void DrawUnitGrid(DrawingSurface& surface, double width, double height, float step) {
  const auto labelled = [](int k) { return 1 < k && k < 11; };
  int k = 0;
  ForEachRunningValue(static_cast<float>(height / 2), static_cast<float>(height), step,
                      [&](float y) {
                        DrawRowPair(surface, width, height, y, kUnitGridColor);
                        ++k;
                        if (!labelled(k)) return;
                        surface.MoveTo(width / 2 - 10, height - y - 6);
                        surface.PrintText(std::to_string(k - 1));
                      });
  k = 0;
  ForEachRunningValue(static_cast<float>(width / 2), static_cast<float>(width), step, [&](float x) {
    DrawColumnPair(surface, width, height, x, kUnitGridColor);
    ++k;
    if (!labelled(k)) return;
    surface.MoveTo(x - 4, height / 2);
    surface.PrintText(std::to_string(k - 1));
  });
}

void DrawLine(DrawingSurface& surface, double x1, double y1, double x2, double y2) {
  surface.MoveTo(x1, y1);
  surface.LineTo(x2, y2, kDefaultColor);
}

// Axes with arrowheads and their letters, in the foreground colour.
void DrawAxes(DrawingSurface& surface, double width, double height) {
  const double midX = width / 2;
  const double midY = height / 2;
  DrawLine(surface, 0, midY, width, midY);
  DrawLine(surface, width - 2, midY, width - 7, midY - 5);
  DrawLine(surface, width - 2, midY, width - 7, midY + 5);
  surface.MoveTo(width - 17, midY - 20);
  surface.PrintText("x");
  DrawLine(surface, midX, 0, midX, height);
  DrawLine(surface, midX, 2, midX - 5, 7);
  DrawLine(surface, midX, 2, midX + 5, 7);
  surface.MoveTo(midX + 10, 3);
  surface.PrintText("y");
}

// The grid's unit length 10 (H - 1) / (4 z) and the fine grid's tenth of it, in pixels, each a
// 32-bit float (29.95 and 2.995 at z = 50 on a 600-pixel area).
float UnitGridStep(int height, float zoom) {
  return static_cast<float>(10.0 * (height - 1) / (4.0 * zoom));
}

float FineGridStep(int height, float zoom) {
  return static_cast<float>(0.1 * 10.0 * (height - 1) / (4.0 * zoom));
}

// Step 1 of every redraw: the font, the colours and the surface's size.
PixelSize PrepareSurface(DrawingSurface& surface) {
  surface.SetSurfaceFont("arial", 10, 0);
  surface.SetForegroundColor(kWhite);
  surface.SetBackgroundColor(kTransparent);
  return surface.GetSurfaceSize();
}

void DrawPlotFace(Dialog& dialog, int plotId) {
  DrawFace(dialog, plotId, 0, "verde", 3);
}

// The grids, the scale numbers and the axes over the face.
void DrawGridAndAxes(DrawingSurface& surface, PixelSize size, float zoom) {
  const double width = size.width;
  const double height = size.height;
  if (zoom < 10) DrawFineGrid(surface, width, height, FineGridStep(size.height, zoom));
  if (zoom < 120) DrawUnitGrid(surface, width, height, UnitGridStep(size.height, zoom));
  DrawAxes(surface, width, height);
}

// The seed view's grid at the zoom, or a moved view's.
void DrawGridOfView(DrawingSurface& surface, PixelSize size, float zoom,
                    const std::optional<PlotView>& view, bool degrees) {
  if (view) {
    DrawViewGridAndAxes(surface, size, *view, degrees);
  } else {
    DrawGridAndAxes(surface, size, zoom);
  }
}

// Face, grids and axes from the kept copies where there are any; what is drawn is kept.
void PaintBackground(Dialog& dialog, int plotId, DrawingSurface& surface, PixelSize size,
                     float zoom, const CurveDots& dots, PlotBackgroundCache& cache) {
  if (cache.RestoreBackground(surface, zoom, dots.view, dots.degrees)) return;
  if (!cache.RestoreFace(surface)) {
    DrawPlotFace(dialog, plotId);
    cache.KeepFace(surface);
  }
  DrawGridOfView(surface, size, zoom, dots.view, dots.degrees);
  cache.KeepBackground(surface, zoom, dots.view, dots.degrees);
}

}  // namespace

void RedrawPlot(Dialog& dialog, int plotId, const PlotState& state,
                ExpressionEvaluator& evaluator) {
  const float zoom = state.zoomValue.value;
  DrawingSurface& surface = dialog.AttachSurface(plotId);
  const PixelSize size = PrepareSurface(surface);

  DrawPlotFace(dialog, plotId);
  DrawGridOfView(surface, size, zoom, state.view,
                 state.view && UsesAngleFunction(state.currentFormula));

  PlotBuiltinCurves(dialog, plotId, state);
  if (!state.currentFormula.empty()) {
    PlotFormulaCurve(dialog, plotId, state, evaluator, state.currentFormula);
  }

  DrawRaisedFrame(surface, 2, "oro");
  dialog.RedrawSurface();
}

void RedrawPlot(Dialog& dialog, int plotId, const PlotState& state, ExpressionEvaluator& evaluator,
                PlotAccelerator& accelerator) {
  const PixelSize size = dialog.AttachSurface(plotId).GetSurfaceSize();
  std::optional<CurveDots> dots =
      CollectCurveDots(state, size, evaluator, accelerator, std::move(accelerator.Layer()));
  if (!dots) return;  // cannot happen without a stop
  ShowPlotPicture(dialog, plotId, state.zoomValue.value, *dots, accelerator.Background());
  accelerator.Layer() = std::move(dots->layer);
}

void ShowPlotPicture(Dialog& dialog, int plotId, float zoom, CurveDots& dots,
                     PlotBackgroundCache& background) {
  DrawingSurface& surface = dialog.AttachSurface(plotId);
  const PixelSize size = PrepareSurface(surface);
  PaintBackground(dialog, plotId, surface, size, zoom, dots, background);
  SetCurveDots(dialog, plotId, dots);
  DrawRaisedFrame(surface, 2, "oro");
  dialog.RedrawSurface();
}

}  // namespace funzioni
