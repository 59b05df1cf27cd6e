// Writes PNGs of the plotting area in typical states into the build tree, for a look by eye.

#include <QFileInfo>
#include <QString>
#include <functional>
#include <string>

#include "PlotFixture.h"
#include "plot/ZoomWindow.h"

namespace funzioni::testing {
namespace {

struct GalleryPicture {
  const char* name;
  std::function<void(PlotState&)> prepare;
};

class PlotGallery : public PlotFixture, public ::testing::WithParamInterface<GalleryPicture> {};

TEST_P(PlotGallery, WritesPicture) {
  GetParam().prepare(state);
  Redraw();
  const std::string path = WriteSurfacePng(Plot(), GetParam().name);
  EXPECT_TRUE(QFileInfo(QString::fromStdString(path)).size() > 0) << path;
  if (std::string(GetParam().name) == "start") {
    ShowZoomWindow(dialog, 55, 45);
    WriteSurfacePng(*dialog.FindSurface(kZoomWindowId), "zoom_window");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PlotGallery,
    ::testing::Values(GalleryPicture{"start", [](PlotState&) {}},
                      GalleryPicture{"zoom9", [](PlotState& s) { s.zoomValue.value = 9; }},
                      GalleryPicture{"zoom1", [](PlotState& s) { s.zoomValue.value = 1; }},
                      GalleryPicture{"all_ten_curves", [](PlotState& s) { s.curveOn.fill(1); }},
                      GalleryPicture{"typed_formula",
                                     [](PlotState& s) {
                                       s.curveOn.fill(0);
                                       s.currentFormula = "SIN(x)*x^2";
                                     }}),
    [](const ::testing::TestParamInfo<GalleryPicture>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace funzioni::testing
