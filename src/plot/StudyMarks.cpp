#include "plot/StudyMarks.h"

#include <cmath>

#include "drawing/DialogServices.h"
#include "plot/PlotMapping.h"

namespace funzioni {

namespace {

constexpr int kArm = 4;   // half the width of a point's cross, in pixels
constexpr int kRing = 7;  // half the side of the square around the chosen item
constexpr int kDash = 4;  // pixels on and then off along an asymptote

void Cross(DrawingSurface& surface, double cx, double cy) {
  for (int d = -kArm; d <= kArm; ++d) {
    surface.SetPixel(cx + d, cy + d, kStudyMarkColor);
    surface.SetPixel(cx + d, cy - d, kStudyMarkColor);
  }
}

void Ring(DrawingSurface& surface, double cx, double cy) {
  for (int d = -kRing; d <= kRing; ++d) {
    surface.SetPixel(cx + d, cy - kRing, kStudyMarkColor);
    surface.SetPixel(cx + d, cy + kRing, kStudyMarkColor);
    surface.SetPixel(cx - kRing, cy + d, kStudyMarkColor);
    surface.SetPixel(cx + kRing, cy + d, kStudyMarkColor);
  }
}

void DashedColumn(DrawingSurface& surface, double cx, int height, bool chosen) {
  for (int y = 0; y < height; ++y) {
    if ((y / kDash) % 2 != 0) continue;
    surface.SetPixel(cx, y, kStudyMarkColor);
    if (chosen) surface.SetPixel(cx + 1, y, kStudyMarkColor);
  }
}

}  // namespace

void DrawStudyMarks(Dialog& dialog, int plotId, const StudyMarksPicture& picture) {
  DrawingSurface& surface = dialog.AttachSurface(plotId);
  const PixelSize size = surface.GetSurfaceSize();
  if (size.width <= 0 || size.height <= 0 || picture.zoom <= 0) return;
  PlotState shown;
  shown.zoomValue.value = picture.zoom;
  shown.view = picture.view;
  const PlotMapping mapping = MakePlotMapping(size, shown);
  const PixelPoint position = surface.GetCurrentPosition();
  const auto column = [&](double x) {
    return std::nearbyint(mapping.Column(static_cast<float>(x)));
  };
  const auto row = [&](double y) { return std::nearbyint(mapping.Row(static_cast<Extended>(y))); };
  for (const PlotSlopeDot& dot : picture.slopes) {
    const double y = row(dot.y);
    if (y >= 0 && y < size.height) surface.SetPixel(column(dot.x), y, kStudySlopeColor);
  }
  for (const PlotMark& mark : picture.marks) {
    if (mark.vertical) {
      DashedColumn(surface, column(mark.x), size.height, mark.chosen);
      if (mark.chosen) Ring(surface, column(mark.x), row(mark.y));
      continue;
    }
    if (!std::isfinite(row(mark.y))) continue;
    Cross(surface, column(mark.x), row(mark.y));
    if (mark.chosen) Ring(surface, column(mark.x), row(mark.y));
  }
  surface.MoveTo(position.x, position.y);
  dialog.RedrawSurface();
}

}  // namespace funzioni
