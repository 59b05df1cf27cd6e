#include "PlotFixture.h"

#include "controls/Panels.h"
#include "plot/PlotBoard.h"

namespace funzioni::testing {

PlotFixture::PlotFixture() {
  dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600);
  dialog.AddControl(ControlKind::Surface, kZoomWindowId, "", 612, 4, 240, 240);
  dialog.AddControl(ControlKind::TextList, kResultsListId, "", 860, 4, 110, 240);
  CreatePanel(dialog, controls, kCoordinatesLineId, {4, 610, 600, 24},
              {.frameWidth = 2,
               .frameColor = "oro",
               .scale = 14,
               .textColor = kWhite,
               .faceColor = "verde",
               .faceMode = 3});
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

}  // namespace funzioni::testing
