// The main window's controls, each at its identifier, position, size and font, created in the
// order that is also their order in the dialog.

#include <array>

#include "app/MainWindow.h"
#include "controls/Panels.h"
#include "drawing/PlatformServices.h"
#include "plot/ZoomWindow.h"

namespace funzioni {

namespace {

// The bottom row: one column per built-in function.
constexpr int kColumnLeft = 4;
constexpr int kColumnPitch = 97;  // width 95 and a gap of 2
constexpr int kColumnWidth = 95;
constexpr int kSwitchTop = 622;
constexpr int kSwitchHeight = 20;
constexpr int kMeterHeight = 16;
constexpr int kRowGap = 2;

struct ParameterRow {
  char letter;
  int baseId;
  std::string_view startCaption;
  std::uint8_t BuiltinFunction::*uses;
};
constexpr std::array<ParameterRow, 4> kParameterRows{{
    {'a', kParamMeterBaseA, "a=1.0", &BuiltinFunction::usesA},
    {'b', kParamMeterBaseB, "b=1.0", &BuiltinFunction::usesB},
    {'c', kParamMeterBaseC, "c=1.0", &BuiltinFunction::usesC},
    {'d', kParamMeterBaseD, "d=1.0", &BuiltinFunction::usesD},
}};

struct PanelLayout {
  int id;
  PixelRect rect;
  int frameWidth;
  std::string_view frameColor;
  int scale;
  std::string_view faceColor;
  int faceMode;
};

// The panels of the right-hand column, in creation order.
constexpr std::array<PanelLayout, 4> kRightPanels{{
    {kClockPanelId, {850, 4, 120, 24}, 3, "oro", 18, "rosso", 2},
    {kTickerPanelId, {606, 30, 363, 28}, 3, "verde", 14, "verde", 3},
    {kHelpPanelId, {606, 60, 364, 50}, 3, "rosso", 9, "rosso", 3},
    {kZoomWindowId, {606, 112, 240, 240}, 4, "rosso", 9, "oro", 1},
}};
constexpr PanelLayout kCoordinatesPanel{
    kCoordinatesLineId, {4, 605, 599, 16}, 1, "oro", 14, "verde", 3};

void CreatePanel(Dialog& dialog, ControlTable& table, const PanelLayout& panel) {
  funzioni::CreatePanel(dialog, table, panel.id, panel.rect,
                        {.frameWidth = panel.frameWidth,
                         .frameColor = panel.frameColor,
                         .scale = panel.scale,
                         .textColor = kWhite,
                         .faceColor = panel.faceColor,
                         .faceMode = panel.faceMode});
}

void CreateMeter(Dialog& dialog, ControlTable& table, int id, PixelRect rect, int frameWidth,
                 std::string_view caption) {
  CreateControl(dialog, table, id, rect,
                {.frameWidth = frameWidth,
                 .frameColor = "verde",
                 .value = 50.0f,
                 .scale = 10,
                 .caption = caption,
                 .textColor = kWhite,
                 .style = "ori_ago",
                 .faceColor = "grigio",
                 .faceMode = 2});
}

void CreateButton(Dialog& dialog, ControlTable& table, int id, PixelRect rect, int frameWidth,
                  std::string_view caption) {
  CreateControl(dialog, table, id, rect,
                {.frameWidth = frameWidth,
                 .frameColor = "oro",
                 .caption = caption,
                 .textColor = kWhite,
                 .style = "ori_rosso",
                 .faceColor = "verde"});
}

}  // namespace

void MainWindow::BuildMainWindow() {
  Dialog& dialog = *dialog_;
  state_.FillBuiltinFunctions();

  // Each function's switch, then the meters of the parameters it uses; every letter keeps its
  // row whether or not the meter exists.
  for (int k = 1; k <= functionCount; ++k) {
    const BuiltinFunction& function = state_.builtinFunctions[k];
    const int x = kColumnLeft + kColumnPitch * (k - 1);
    int y = kSwitchTop;
    CreateButton(dialog, controls_, kSwitchBaseId + k, {x, y, kColumnWidth, kSwitchHeight}, 1,
                 function.text);
    y += kSwitchHeight + kRowGap;
    for (const ParameterRow& row : kParameterRows) {
      if (function.*row.uses == 1) {
        CreateMeter(dialog, controls_, row.baseId + k, {x, y, kColumnWidth, kMeterHeight}, 0,
                    row.startCaption);
      }
      y += kMeterHeight + kRowGap;
    }
  }

  // The plotting area, with the board drawn once behind random curtains.
  dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600);
  DrawBoard(dialog, kPlotAreaId,
            {.frameWidth = 10,
             .value = static_cast<float>(dialog.Random().RandomUnit() * 80.0),
             .gridPercent = 20,
             .title = catalogue_.Translate("lavagna"),
             .fontSize = 12,
             .titleColor = kBoardTitleColor,
             .faceColor = "verde"});

  CreatePanel(dialog, controls_, kCoordinatesPanel);
  CreateMeter(dialog, controls_, kZoomMeterId, {606, 564, 364, 20}, 3, "zoom");
  CreateMeter(dialog, controls_, kStepMeterId, {606, 586, 364, 20}, 3, "passo");
  CreateButton(dialog, controls_, kAllOffButtonId, {606, 4, 120, 24}, 2, "Tutte spente");
  CreateButton(dialog, controls_, kAllOnButtonId, {728, 4, 120, 24}, 2, "Tutte accese");
  for (const PanelLayout& panel : kRightPanels) CreatePanel(dialog, controls_, panel);
  ClearZoomWindow(dialog);

  dialog.AddControl(ControlKind::TextList, kResultsListId, "", 848, 112, 120, 240);
  dialog.SetControlFont(kResultsListId, "Arial", 12, "");
  dialog.AddControl(ControlKind::TextList, kHistoryListId, "", 606, 354, 362, 180);
  dialog.SetControlFont(kHistoryListId, "courier", 14, "");
  dialog.AddControl(ControlKind::TextBox, kFormulaBoxId, "", 606, 536, 362, 22);
  dialog.SetControlFont(kFormulaBoxId, "arial", 20, "");

  InitEvaluatorTables();
}

}  // namespace funzioni
