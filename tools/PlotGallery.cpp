// Writes PNGs of the plotting area in typical states, and of the magnifier, for a look by eye.
//
//   funzioni_plot_gallery [output-folder]

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>

#include "drawing/DialogServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/PlotBoard.h"
#include "plot/PlotIds.h"
#include "plot/ZoomWindow.h"
#include "state/PlotState.h"

namespace funzioni {
namespace {

struct Picture {
  const char* name;
  std::function<void(PlotState&)> prepare;
};

const std::array<Picture, 8> kPictures{{
    {"start", [](PlotState&) {}},
    {"zoom9", [](PlotState& s) { s.zoomValue.value = 9; }},
    {"zoom1", [](PlotState& s) { s.zoomValue.value = 1; }},
    {"all_ten_curves", [](PlotState& s) { s.curveOn.fill(1); }},
    {"typed_formula",
     [](PlotState& s) {
       s.curveOn.fill(0);
       s.currentFormula = "SIN(x)*x^2";
     }},
    // Views a gesture has moved: ten periods of a sine in degrees, a corner away from 0, a pole.
    {"view_sine_degrees",
     [](PlotState& s) {
       s.curveOn.fill(0);
       s.currentFormula = "SIN(x)";
       s.view = PlotView{-1800, 1800, -1.5, 1.5};
     }},
    {"view_moved",
     [](PlotState& s) {
       s.curveOn.fill(1);
       s.view = PlotView{2, 12, -20, 180};
     }},
    {"view_pole",
     [](PlotState& s) {
       s.curveOn.fill(0);
       s.currentFormula = "TAN(x)";
       s.view = PlotView{80, 100, -60, 60};
     }},
}};

// The pixel image is width, height, then 0x00RRGGBB little-endian pixels: QImage's RGB32.
bool WritePng(const DrawingSurface& surface, const QString& path) {
  const std::string pixels = surface.GetSurfacePixels();
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::memcpy(&width, pixels.data(), 4);
  std::memcpy(&height, pixels.data() + 4, 4);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    std::memcpy(image.scanLine(y), pixels.data() + 8 + 4 * std::size_t(y) * width, 4 * width);
  }
  const bool saved = image.save(path, "PNG");
  std::cout << (saved ? "" : "could not write ") << path.toStdString() << "\n";
  return saved;
}

}  // namespace
}  // namespace funzioni

int main(int argc, char** argv) {
  using namespace funzioni;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "plot_gallery";
  QDir().mkpath(folder);
  bool saved = true;
  for (const Picture& picture : kPictures) {
    Dialog dialog("", 0, 0, 860, 620, false);
    dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600);
    dialog.AddControl(ControlKind::Surface, kZoomWindowId, "", 612, 4, 240, 240);
    ExpressionEvaluator evaluator;
    PlotState state;
    picture.prepare(state);
    RedrawPlot(dialog, kPlotAreaId, state, evaluator);
    saved &= WritePng(*dialog.FindSurface(kPlotAreaId), folder + "/" + picture.name + ".png");
    if (QString(picture.name) == "start") {
      ShowZoomWindow(dialog, 55, 45);
      saved &= WritePng(*dialog.FindSurface(kZoomWindowId), folder + "/zoom_window.png");
    }
  }
  return saved ? 0 : 1;
}
