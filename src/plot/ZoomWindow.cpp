#include "plot/ZoomWindow.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <version>

#include "controls/ControlRenderer.h"
#include "controls/Panels.h"
#include "drawing/DialogServices.h"
#include "plot/PlotIds.h"

namespace funzioni {

namespace {

constexpr double kReadoutFactor = 0.004;  // plot units per percent and per unit of zoom
constexpr int kMagnifierHalf = 60;        // half the side of the copied square
constexpr int kMagnifierSide = 2 * kMagnifierHalf + 1;
constexpr int kZoomTarget = 240;  // target corners (0, 0) and (240, 240)

// A pixel of a pixel image is 0x00RRGGBB, the opposite byte order from a colour.
std::uint32_t ImagePixel(Color color) {
  const auto c = static_cast<std::uint32_t>(color);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

void AppendLittleEndian(std::string& image, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) image.push_back(static_cast<char>(value >> shift));
}

// The square of the plotting area centred on (cx, cy) as a pixel image; pixels outside the
// area take the face colour.
std::string MagnifierSource(const DrawingSurface& plot, int cx, int cy, Color face) {
  const PixelSize size = plot.GetSurfaceSize();
  std::string image;
  image.reserve(8 + 4 * kMagnifierSide * kMagnifierSide);
  AppendLittleEndian(image, kMagnifierSide);
  AppendLittleEndian(image, kMagnifierSide);
  for (int y = cy - kMagnifierHalf; y <= cy + kMagnifierHalf; ++y) {
    for (int x = cx - kMagnifierHalf; x <= cx + kMagnifierHalf; ++x) {
      const bool inside = x >= 0 && y >= 0 && x < size.width && y < size.height;
      AppendLittleEndian(image, ImagePixel(inside ? plot.PixelAt(x, y) : face));
    }
  }
  return image;
}

}  // namespace

std::string CoordinateText(double value) {
  char digits[64];
  // to_chars ignores the locale; a value that rounds to zero is written without its sign.
  const double rounded = std::round(value * 100) / 100;
#if defined(__cpp_lib_to_chars)
  const auto written = std::to_chars(digits, digits + sizeof digits, rounded == 0 ? 0.0 : value,
                                     std::chars_format::fixed, 2);
  return std::string(digits, written.ptr);
#else
  // The web build's library has no floating-point to_chars; there the locale is always "C".
  const int length = std::snprintf(digits, sizeof digits, "%.2f", rounded == 0 ? 0.0 : value);
  return std::string(digits, length > 0 ? static_cast<std::size_t>(length) : 0);
#endif
}

std::string PointerReadoutText(float percentX, float percentY, float zoom) {
  const double x = (percentX - 50.0) * kReadoutFactor * zoom;
  const double y = (percentY - 50.0) * kReadoutFactor * zoom;  // grows downwards
  return "x=" + CoordinateText(x) + " y=" + CoordinateText(-y);
}

std::string PointerReadoutText(float percentX, float percentY, const PlotState& state) {
  if (!state.view) return PointerReadoutText(percentX, percentY, state.zoomValue.value);
  const PlotView& view = *state.view;
  const double x = view.xMin + percentX / 100.0 * (view.xMax - view.xMin);
  const double y = view.yMax - percentY / 100.0 * (view.yMax - view.yMin);
  return "x=" + CoordinateText(x) + " y=" + CoordinateText(y);
}

void ShowPointerReadout(Dialog& dialog, const ControlTable& table, const PlotState& state,
                        float percentX, float percentY) {
  SetPanelText(dialog, table, kCoordinatesLineId, PointerReadoutText(percentX, percentY, state));
}

void ShowZoomWindow(Dialog& dialog, float percentX, float percentY) {
  const DrawingSurface* plot = dialog.FindSurface(kPlotAreaId);
  if (plot == nullptr) return;
  // Percentages never exceed 100 but have no lower limit; keep the centre in int range.
  const auto pixelOf = [](float percent, int side) {
    const double pixel = std::nearbyint(side * static_cast<double>(percent) / 100);
    return std::isfinite(pixel) ? static_cast<int>(std::clamp(pixel, -1e6, 1e6)) : -1000000;
  };
  const PixelSize area = plot->GetSurfaceSize();
  const int cx = pixelOf(percentX, area.width);
  const int cy = pixelOf(percentY, area.height);

  DrawingSurface source(kMagnifierSide, kMagnifierSide);
  source.SetSurfacePixels(MagnifierSource(*plot, cx, cy, dialog.FaceColor()));

  DrawingSurface& zoom = dialog.AttachSurface(kZoomWindowId);
  zoom.StretchSurface(source, 0, 0, kMagnifierSide - 1, kMagnifierSide - 1, 0, 0, kZoomTarget,
                      kZoomTarget);
  DrawRaisedFrame(zoom, 4, "oro");
  dialog.RedrawSurface();
}

void ClearZoomWindow(Dialog& dialog) {
  DrawingSurface& zoom = dialog.AttachSurface(kZoomWindowId);
  zoom.ClearSurface(dialog.FaceColor(), kFillSolid);
  dialog.RedrawSurface();
}

}  // namespace funzioni
