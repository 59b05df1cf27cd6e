// The one handler of the main window. Dragging is not captured: every pointer event over a meter
// while a button is held applies the action once, at the pointer position of that moment, and
// the keypad's + and - act on the control that was last under the pointer.

#include <array>
#include <cmath>
#include <utility>

#include "app/FormulaParameterValues.h"
#include "app/LanguageMenu.h"
#include "app/MainWindow.h"
#include "app/ParameterPlayer.h"
#include "app/StudyPanel.h"
#include "app/WorksheetLoading.h"
#include "controls/Panels.h"
#include "drawing/ExportServices.h"
#include "drawing/PlatformServices.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/PlotBoard.h"
#include "plot/ResultsTable.h"
#include "plot/ViewActions.h"
#include "plot/ZoomWindow.h"
#include "text/LanguageChoice.h"

namespace funzioni {

namespace {

constexpr std::string_view kZoomWindowHelp = " Finestra zoom.";
constexpr std::string_view kResultsHelp = " Finestra dei risultati.";
constexpr std::string_view kCoordinatesHelp = " Coordinate del mouse nel grafico.";
constexpr std::string_view kFormulaBoxHelp =
    " Scrivi l'enunciato della funzione e batti enter.\r\n"
    " Verrà visualizzata e salvata nell'elenco delle\r\n"
    " funzioni.";
constexpr std::string_view kHistoryHelp =
    " Doppio click per visualizzare la funzione.\r\n"
    " Tasto destro per eseguire l'edit.\r\n"
    " Maiusc + tasto destro: tieni nel grafico o togli.";
constexpr std::string_view kSwitchHelp =
    " Mouse + il tasto sinistro: accendi o spegni.\r\n"
    " Tasto destro visualizza tabella risultati.\r\n"
    " ";
constexpr std::string_view kParameterHelp =
    " Mouse + il tasto sinistro: cambi il valore.\r\n"
    " Tasto destro resetti il valore del parametro.\r\n"
    " Tastierino numerico: + e - varia il parametro.";
// The typed formula's parameters also have a menu: their ends and step, and the play.
constexpr std::string_view kFormulaParameterHelp =
    " Mouse + sinistro: cambi il valore; destro: lo resetti.\r\n"
    " Tastierino numerico: + e - varia il parametro.\r\n"
    " F3: estremi, passo e animazione del parametro.";
constexpr std::string_view kZoomMeterHelp =
    " Muovi il mouse + il tasto sinistro: cambi lo zoom.\r\n"
    " Tasto destro resetti lo zoom.\r\n"
    " Tastierino numerico: + e - per variare.";
constexpr std::string_view kStepMeterHelp =
    " Muovi il mouse + il tasto sinistro: cambi il passo.\r\n"
    " Tasto destro resetti il passo.\r\n"
    " Tastierino numerico: + e - per variare.";
constexpr std::string_view kPlotHelp =
    " Col tasto sinistro del mouse vedi la zoommata.\r\n"
    " Col destro chiude la finestra zoom.\r\n"
    " ";
// While the view is moved, the last line says how to move it and how to come back.
constexpr std::string_view kPlotViewHelp =
    " Col tasto sinistro del mouse vedi la zoommata.\r\n"
    " Rotella: zoom (Maiusc solo x, Ctrl solo y); trascina col centrale.\r\n"
    " Tasto destro: Vista iniziale, Adatta y.";

// One notch of the wheel (or a Ctrl+keypad press) scales the ranges by this much.
constexpr double kWheelZoomFactor = 1.25;
constexpr std::string_view kSeedViewItem = "Vista iniziale";
constexpr std::string_view kFitYItem = "Adatta y";

constexpr int kFlashPauseMs = 100;
constexpr std::string_view kTickerDocument = "lista mp3.txt";

bool IsSwitch(int id) {
  return id > kSwitchBaseId && id <= kSwitchBaseId + functionCount;
}

}  // namespace

std::string_view HelpTextFor(int id) {
  if (IsSwitch(id)) return kSwitchHelp;
  if (FormulaMeterIndexOf(id)) return kFormulaParameterHelp;
  if (ParameterMeterOf(id)) return kParameterHelp;
  switch (id) {
    case kZoomWindowId:
      return kZoomWindowHelp;
    case kResultsListId:
      return kResultsHelp;
    case kCoordinatesLineId:
      return kCoordinatesHelp;
    case kFormulaBoxId:
      return kFormulaBoxHelp;
    case kHistoryListId:
      return kHistoryHelp;
    case kZoomMeterId:
      return kZoomMeterHelp;
    case kStepMeterId:
      return kStepMeterHelp;
    case kPlotAreaId:
      return kPlotHelp;
    default:
      return {};
  }
}

void MainWindow::MainDialogProc(const DialogEvent& event) {
  switch (event.kind) {
    case EventKind::Initialise:
      OnInitialise();
      break;
    case EventKind::Timer:
      OnTimer(event.id);
      break;
    case EventKind::Paint:
      OnPaint();
      break;
    case EventKind::PointerShape:
      OnHover(event.id, event.code);
      break;
    case EventKind::Wheel:
      OnWheel(event.id, event.code, event.value);
      break;
    case EventKind::ContextMenu:
      OnContextMenu(event.id);
      break;
    case EventKind::Command:
      OnCommand(event.id, event.code);
      break;
    case EventKind::Destroy:
      dialog_->StopTimer(kTickTimerId);
      dialog_->StopTimer(kRedrawTimerId);
      dialog_->StopTimer(kHistoryTimerId);
      dialog_->StopTimer(kStudyTimerId);
      parameterPlayer_->Stop();
      break;
    case EventKind::Key:
      OnControlKey(event.id, static_cast<ControlKey>(event.code));
      break;
    case EventKind::Access:
      OnAccessRequest(event.id, static_cast<AccessRequest>(event.code), event.value);
      break;
  }
}

void MainWindow::OnHover(int id, int held) {
  hoverId_ = id;
  Dialog& dialog = *dialog_;
  const auto pressed = [&dialog](MouseButton button) { return dialog.IsMouseButtonDown(button); };
  const std::string_view help = HelpTextFor(id);
  if (!pressed(MouseButton::Right)) editorRanThisPress_ = false;
  if (id != kPlotAreaId) panFrom_.reset();

  if (meters_.Has(id)) {
    ShowHoverHelp(id, help);
    if (pressed(MouseButton::Left)) ShowMeter(id, meters_.Drag(id, PointerPercentX(dialog, id)));
    // The zoom meter's reset also puts the seed view back.
    if (pressed(MouseButton::Right) && id == kZoomMeterId) state_.view.reset();
    if (pressed(MouseButton::Right)) ShowMeter(id, meters_.Reset(id));
    return;
  }
  switch (id) {
    case kHistoryListId:
      ShowHoverHelp(id, help);
      // Once per press: the pointer reports queued while the editor ran still carry the button
      // as held, and would start the editor again as soon as it was closed.
      if (pressed(MouseButton::Right) && !editorRanThisPress_) {
        editorRanThisPress_ = true;
        // With Shift: the selected line's menu of the formulas kept drawn.
        if ((held & kHeldShift) != 0) return history_->ShowKeepMenu();
        history_->Edit();
      }
      return;
    case kPlotAreaId:
      ShowHoverHelp(id, state_.view ? kPlotViewHelp : help);
      ShowPointerReadout(dialog, controls_, state_, PointerPercentX(dialog, id),
                         PointerPercentY(dialog, id));
      if (PanPlot(held)) return;
      if (pressed(MouseButton::Left)) {
        plot_.ShowZoomWindowOfPicture(PointerPercentX(dialog, id), PointerPercentY(dialog, id));
      }
      if (pressed(MouseButton::Right)) plot_.ClearZoomWindowOfPicture();
      return;
    default:
      // The zoom window, the results table, the coordinates line, the formula box and the
      // switches only explain themselves; any other control leaves the help as it was.
      if (!help.empty()) ShowHoverHelp(id, help);
      return;
  }
}

void MainWindow::OnContextMenu(int id) {
  if (IsSwitch(id)) {
    plot_.DropPendingTable();
    ShowBuiltinResults(*dialog_, state_, id - kSwitchBaseId);
  }
  if (id == kResultsListId) exports_->ShowResultsMenu();
  // Only once the view is moved: until then the right button over the plot only blanks the
  // zoom window, as it always did.
  if (id == kPlotAreaId && state_.view) ShowPlotMenu();
}

void MainWindow::OnCommand(int id, int code) {
  if (id == kCommandOk && code == kNotifyClicked && dialog_->FocusedControl() == kFormulaBoxId) {
    history_->AcceptFormula();
  }
  if (id == kCommandOk && code == kNotifyClicked) ActivateFocusedControl();
  if (IsSwitch(id)) {
    ToggleSwitch(id - kSwitchBaseId);
    return;
  }
  if (exports_->OnCommand(id)) return;
  if (id == kCommandParameterMenu) return parameterPlayer_->OpenMenu(KeypadTarget());
  if (id == kCommandExamples) return history_->ShowExamplesMenu();
  if (id == kCommandHistoryLineMenu) return history_->ShowKeepMenu();
  if (id == kCommandCopySheet) {
    CopyTextToClipboard(WorksheetLink());
    return ShowNote(kSheetCopiedText);
  }
  if (const auto note = ChooseLanguageCommand(id, kLanguageFileName, catalogue_)) {
    return ShowNote(*note);
  }
  if (study_->OnCommand(id, code, state_)) return;
  switch (id) {
    case kHistoryListId:
      history_->PickLine(code);
      return;
    case kTickerPanelId:
      OpenDocument(kTickerDocument);
      return;
    case kAllOnButtonId:
      FlashButton(id, [this] {
        SetAllSwitches(true);
        plot_.Redraw();
      });
      return;
    case kAllOffButtonId:
      FlashButton(id, [this] {
        SetAllSwitches(false);
        SetTypedFormula(state_, {});
        plot_.Redraw();
      });
      return;
    case kCommandCancel:
      dialog_->EndDialog(1);
      return;
    case kCommandKeypadPlus:
    case kCommandKeypadMinus: {
      const int s = id == kCommandKeypadPlus ? +1 : -1;
      // With Ctrl over the plotting area the keypad zooms the view around its centre.
      if (code == kKeyWithControl && KeypadTarget() == kPlotAreaId) return ZoomPlotAtCentre(s);
      KeypadStep(s);
      return;
    }
    default:
      return;
  }
}

void MainWindow::ToggleSwitch(int k) {
  const bool on = state_.curveOn[k] == 0;
  state_.curveOn[k] = on ? 1 : 0;
  UpdateControl(*dialog_, controls_, kSwitchBaseId + k, on ? 0.0f : 100.0f);
  plot_.Redraw();
}

void MainWindow::FlashButton(int id, std::function<void()> then) {
  UpdateControl(*dialog_, controls_, id, 100.0f);
  dialog_->PauseThen(kFlashPauseMs, [this, id, then = std::move(then)] {
    UpdateControl(*dialog_, controls_, id, 0.0f);
    then();
  });
}

void MainWindow::SetAllSwitches(bool on) {
  for (int k = 1; k <= functionCount; ++k) {
    state_.curveOn[k] = on ? 1 : 0;
    UpdateControl(*dialog_, controls_, kSwitchBaseId + k, on ? 0.0f : 100.0f);
  }
}

void MainWindow::KeypadStep(int s) {
  const int id = KeypadTarget();
  ShowMeter(id, meters_.Step(id, s));
}

void MainWindow::ShowMeter(int id, const std::optional<MeterLook>& look) {
  if (!look) return;
  if (id == kZoomMeterId) {
    zoomLook_ = *look;
    return FollowZoomMeter();
  }
  UpdateControl(*dialog_, controls_, id, look->needle, look->caption);
  // The typed formula's table follows its parameters.
  if (FormulaMeterIndexOf(id)) return plot_.RedrawWithTable();
  plot_.Redraw();
}

// The zoom meter moved: a moved view takes its half width around the view's centre; the meter
// says which view is shown.
void MainWindow::FollowZoomMeter() {
  const float zoom = state_.zoomValue.value;
  if (state_.view) state_.view = SettledView(ViewAtZoom(*state_.view, zoom), zoom);
  ShowView();
}

void MainWindow::SetView(const std::optional<PlotView>& view) {
  const float zoom = state_.zoomValue.value;
  state_.view = view ? SettledView(ClampView(*view), zoom) : std::nullopt;
  ShowView();
}

void MainWindow::ShowView() {
  const std::string caption = state_.view ? ViewCaption(*state_.view) : zoomLook_.caption;
  UpdateControl(*dialog_, controls_, kZoomMeterId, zoomLook_.needle, caption);
  plot_.Redraw();
}

void MainWindow::OnWheel(int id, int held, double notches) {
  if (id != kPlotAreaId || notches == 0) return;
  const float px = PointerPercentX(*dialog_, id);
  const float py = PointerPercentY(*dialog_, id);
  const PlotView view = ShownView(state_);
  const PlanePoint at = PointAtPercent(view, px, py);
  const ZoomAxes axes = (held & kHeldShift) != 0     ? ZoomAxes::OnlyX
                        : (held & kHeldControl) != 0 ? ZoomAxes::OnlyY
                                                     : ZoomAxes::Both;
  // Turning the wheel away from oneself zooms in, as everywhere; fingers spread apart zoom in
  // by as much as they spread.
  const double factor =
      (held & kHeldPinch) != 0 ? 1 / notches : std::pow(kWheelZoomFactor, -notches);
  SetView(ZoomViewAt(view, at.x, at.y, factor, axes));
  ShowPointerReadout(*dialog_, controls_, state_, px, py);
}

// The middle button, or the left one with Shift, drags the picture along with the pointer.
bool MainWindow::PanPlot(int held) {
  const bool panning = (held & kHeldMiddle) != 0 ||
                       ((held & kHeldShift) != 0 && dialog_->IsMouseButtonDown(MouseButton::Left));
  if (!panning) {
    panFrom_.reset();
    return false;
  }
  const std::pair<float, float> at{PointerPercentX(*dialog_, kPlotAreaId),
                                   PointerPercentY(*dialog_, kPlotAreaId)};
  const std::optional<std::pair<float, float>> from = std::exchange(panFrom_, at);
  if (!from || *from == at) return true;
  const DrawingSurface* plot = dialog_->FindSurface(kPlotAreaId);
  if (plot == nullptr) return true;
  const PixelSize size = plot->GetSurfaceSize();
  const double dx = (at.first - from->first) / 100.0 * size.width;
  const double dy = (at.second - from->second) / 100.0 * size.height;
  SetView(PanViewByPixels(ShownView(state_), dx, dy, size.width, size.height));
  return true;
}

void MainWindow::ZoomPlotAtCentre(int s) {
  const PlotView view = ShownView(state_);
  SetView(ZoomViewAt(view, view.CentreX(), view.CentreY(), std::pow(kWheelZoomFactor, -s),
                     ZoomAxes::Both));
}

// Ctrl with an arrow pans by a tenth; Ctrl+Home puts the seed view back, Ctrl+End fits y.
void MainWindow::OnPlotControlKey(ControlKey key) {
  switch (key) {
    case ControlKey::Left:
      return SetView(PanViewByTenths(ShownView(state_), -1, 0));
    case ControlKey::Right:
      return SetView(PanViewByTenths(ShownView(state_), 1, 0));
    case ControlKey::Up:
      return SetView(PanViewByTenths(ShownView(state_), 0, 1));
    case ControlKey::Down:
      return SetView(PanViewByTenths(ShownView(state_), 0, -1));
    case ControlKey::Home:
      return SetView(std::nullopt);
    case ControlKey::End:
      return FitPlotY();
    default:
      return;
  }
}

// "Adatta y": y from the central values of the curves shown, one sample per column.
void MainWindow::FitPlotY() {
  const DrawingSurface* plot = dialog_->FindSurface(kPlotAreaId);
  const int columns = plot != nullptr ? plot->GetSurfaceSize().width : 600;
  ExpressionEvaluator evaluator;
  const std::optional<PlotView> fitted =
      FitViewY(ShownView(state_), VisibleCurveValues(state_, evaluator, columns));
  if (fitted) SetView(fitted);
}

void MainWindow::ShowPlotMenu() {
  ShowPopupMenu(*dialog_,
                {{std::string(catalogue_.Translate(kSeedViewItem)), state_.view.has_value()},
                 {std::string(catalogue_.Translate(kFitYItem)), true}},
                [this](int chosen) {
                  if (chosen == 0) SetView(std::nullopt);
                  if (chosen == 1) FitPlotY();
                });
}

// A note (a history line not saved, no editor) stays until the pointer reaches another control:
// the hover events of the control that caused it would otherwise overwrite it at once.
void MainWindow::ShowHoverHelp(int id, std::string_view lines) {
  if (id == noteHoverId_) return;
  noteHoverId_ = -1;
  ShowHelp(lines);
}

void MainWindow::ShowNote(std::string_view line) {
  noteHoverId_ = hoverId_;
  ShowHelp(line);
}

void MainWindow::ShowHelp(std::string_view lines) {
  helpText_ = catalogue_.Translate(lines);
  SetPanelLines(*dialog_, controls_, kHelpPanelId, helpText_);
}

}  // namespace funzioni
