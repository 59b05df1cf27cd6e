#include "plot/StudyMarks.h"

#include <algorithm>
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

constexpr int kHatch = 4;  // pixels between the diagonal strokes of the shaded area

// The pixels of a segment already inside the area, one per step along its longer axis.
void Segment(DrawingSurface& surface, double x1, double y1, double x2, double y2) {
  const int steps = static_cast<int>(std::ceil(std::max(std::fabs(x2 - x1), std::fabs(y2 - y1))));
  for (int i = 0; i <= steps; ++i) {
    const double t = steps == 0 ? 0 : static_cast<double>(i) / steps;
    surface.SetPixel(std::nearbyint(x1 + t * (x2 - x1)), std::nearbyint(y1 + t * (y2 - y1)),
                     kStudyTangentColor);
  }
}

// The part of the segment inside [0, w] x [0, h] (Liang-Barsky); false when none is.
bool Clip(double& x1, double& y1, double& x2, double& y2, double w, double h) {
  double t0 = 0;
  double t1 = 1;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1, w - x1, y1, h - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    if (p[i] > 0) t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  const double ax = x1 + t0 * dx;
  const double ay = y1 + t0 * dy;
  x2 = x1 + t1 * dx;
  y2 = y1 + t1 * dy;
  x1 = ax;
  y1 = ay;
  return true;
}

struct Frame {
  const PlotMapping& mapping;
  double width;  // the last column and row that are inside
  double height;
  double Column(double x) const { return mapping.width * (mapping.xOffset + x) / mapping.xSpan; }
  double Row(double y) const {
    return mapping.height - mapping.height / mapping.ySpan * (y + mapping.yOffset);
  }
  double X(double column) const { return column * mapping.xSpan / mapping.width - mapping.xOffset; }
};

void Ray(DrawingSurface& surface, const Frame& f, const PlotRay& ray) {
  if (!std::isfinite(ray.x) || !std::isfinite(ray.y) || std::isnan(ray.slope)) return;
  const double column = f.Column(ray.x);
  const double row = std::clamp(f.Row(ray.y), -1.0, f.height + 1);
  if (std::isinf(ray.slope)) {
    if (column < 0 || column > f.width) return;
    // Up the area is towards row 0: a rising half goes there.
    const double up = 0;
    const double down = f.height;
    const bool rises = (ray.slope > 0) == (ray.side > 0);
    const double from = ray.side == 0 ? up : row;
    const double to = ray.side == 0 ? down : rises ? up : down;
    Segment(surface, std::nearbyint(column), std::clamp(from, up, down), std::nearbyint(column),
            std::clamp(to, up, down));
    return;
  }
  const double xFrom = ray.side > 0 ? std::max(ray.x, f.X(0)) : f.X(0);
  const double xTo = ray.side < 0 ? std::min(ray.x, f.X(f.width)) : f.X(f.width);
  if (!(xFrom <= xTo)) return;
  double x1 = f.Column(xFrom);
  double y1 = f.Row(ray.y + ray.slope * (xFrom - ray.x));
  double x2 = f.Column(xTo);
  double y2 = f.Row(ray.y + ray.slope * (xTo - ray.x));
  if (!std::isfinite(y1) || !std::isfinite(y2)) return;
  if (Clip(x1, y1, x2, y2, f.width, f.height)) Segment(surface, x1, y1, x2, y2);
}

// Each column from a to b, from the axis to f (the samples' straight line between them), every
// kHatch-th pixel along the diagonals.
void Area(DrawingSurface& surface, const Frame& f, std::span<const PlotSlopeDot> area) {
  if (area.size() < 2) return;
  const int first = std::max(0, static_cast<int>(std::ceil(f.Column(area.front().x))));
  const int last = std::min(static_cast<int>(f.width), static_cast<int>(f.Column(area.back().x)));
  const double axis = f.Row(0);
  for (int c = first; c <= last; ++c) {
    const double x = f.X(c);
    const auto after = std::lower_bound(area.begin(), area.end(), x,
                                        [](const PlotSlopeDot& d, double v) { return d.x < v; });
    if (after == area.end()) continue;
    double y = after->y;
    if (after != area.begin() && after->x > x) {
      const PlotSlopeDot& before = *(after - 1);
      y = before.y + (after->y - before.y) * (x - before.x) / (after->x - before.x);
    }
    const double top = std::clamp(std::min(axis, f.Row(y)), 0.0, f.height);
    const double bottom = std::clamp(std::max(axis, f.Row(y)), 0.0, f.height);
    for (int r = static_cast<int>(std::ceil(top)); r <= static_cast<int>(bottom); ++r) {
      if ((c + r) % kHatch == 0) surface.SetPixel(c, r, kStudyAreaColor);
    }
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
  const Frame frame{mapping, static_cast<double>(size.width - 1),
                    static_cast<double>(size.height - 1)};
  Area(surface, frame, picture.area);
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
  for (const PlotRay& ray : picture.rays) Ray(surface, frame, ray);
  surface.MoveTo(position.x, position.y);
  dialog.RedrawSurface();
}

}  // namespace funzioni
