#include "PlotFixture.h"

#include <QDir>
#include <QImage>
#include <QString>
#include <cstring>

#include "controls/Panels.h"
#include "plot/PlotBoard.h"

namespace funzioni::testing {

PlotFixture::PlotFixture() {
  dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600);
  dialog.AddControl(ControlKind::Surface, kZoomWindowId, "", 612, 4, 240, 240);
  dialog.AddControl(ControlKind::TextList, kResultsListId, "", 860, 4, 110, 240);
  CreatePanel(dialog, controls, kCoordinatesLineId, {4, 610, 600, 24}, 2, "oro", 14, kWhite, "",
              "verde", 3);
}

std::vector<std::string> PlotFixture::ResultLines() const {
  std::vector<std::string> lines;
  for (int i = 1; i <= dialog.ListCount(kResultsListId); ++i) {
    lines.push_back(dialog.ListLine(kResultsListId, i));
  }
  return lines;
}

void PlotFixture::SwitchEverythingOff() {
  state.curveOn.fill(0);
  state.currentFormula.clear();
}

void PlotFixture::Redraw() {
  RedrawPlot(dialog, kPlotAreaId, state, evaluator);
}

std::string WriteSurfacePng(const DrawingSurface& surface, const std::string& name) {
  // The pixel image is width, height, then 0x00RRGGBB little-endian pixels: QImage's RGB32.
  const std::string pixels = surface.GetSurfacePixels();
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::memcpy(&width, pixels.data(), 4);
  std::memcpy(&height, pixels.data() + 4, 4);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    std::memcpy(image.scanLine(y), pixels.data() + 8 + 4 * std::size_t(y) * width, 4 * width);
  }
  const QString folder = QStringLiteral(FUNZIONI_PLOT_GALLERY_DIR);
  QDir().mkpath(folder);
  const QString path = folder + "/" + QString::fromStdString(name) + ".png";
  image.save(path);
  return path.toStdString();
}

}  // namespace funzioni::testing
