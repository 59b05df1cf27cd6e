// The one handler of the main window. Dragging is not captured: every pointer event over a meter
// while a button is held applies the action once, at the pointer position of that moment, and
// the keypad's + and - act on the control that was last under the pointer.

#include <array>

#include "app/MainWindow.h"
#include "app/StudyPanel.h"
#include "controls/Panels.h"
#include "drawing/PlatformServices.h"
#include "plot/PlotBoard.h"
#include "plot/ResultsTable.h"
#include "plot/ZoomWindow.h"

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
    " ";
constexpr std::string_view kSwitchHelp =
    " Mouse + il tasto sinistro: accendi o spegni.\r\n"
    " Tasto destro visualizza tabella risultati.\r\n"
    " ";
constexpr std::string_view kParameterHelp =
    " Mouse + il tasto sinistro: cambi il valore.\r\n"
    " Tasto destro resetti il valore del parametro.\r\n"
    " Tastierino numerico: + e - varia il parametro.";
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

constexpr int kFlashPauseMs = 100;
constexpr std::string_view kTickerDocument = "lista mp3.txt";

bool IsSwitch(int id) {
  return id > kSwitchBaseId && id <= kSwitchBaseId + functionCount;
}

}  // namespace

std::string_view HelpTextFor(int id) {
  if (IsSwitch(id)) return kSwitchHelp;
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
      OnHover(event.id);
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
      break;
    case EventKind::Key:
      OnControlKey(event.id, static_cast<ControlKey>(event.code));
      break;
    case EventKind::Access:
      OnAccessRequest(event.id, static_cast<AccessRequest>(event.code), event.value);
      break;
  }
}

void MainWindow::OnHover(int id) {
  hoverId_ = id;
  Dialog& dialog = *dialog_;
  const auto held = [&dialog](MouseButton button) { return dialog.IsMouseButtonDown(button); };
  const std::string_view help = HelpTextFor(id);
  if (!held(MouseButton::Right)) editorRanThisPress_ = false;

  if (meters_.Has(id)) {
    ShowHoverHelp(id, help);
    if (held(MouseButton::Left)) ShowMeter(id, meters_.Drag(id, PointerPercentX(dialog, id)));
    if (held(MouseButton::Right)) ShowMeter(id, meters_.Reset(id));
    return;
  }
  switch (id) {
    case kHistoryListId:
      ShowHoverHelp(id, help);
      // Once per press: the pointer reports queued while the editor ran still carry the button
      // as held, and would start the editor again as soon as it was closed.
      if (held(MouseButton::Right) && !editorRanThisPress_) {
        editorRanThisPress_ = true;
        history_->Edit();
      }
      return;
    case kPlotAreaId:
      ShowHoverHelp(id, help);
      ShowPointerReadout(dialog, controls_, state_, PointerPercentX(dialog, id),
                         PointerPercentY(dialog, id));
      if (held(MouseButton::Left)) {
        plot_.ShowZoomWindowOfPicture(PointerPercentX(dialog, id), PointerPercentY(dialog, id));
      }
      if (held(MouseButton::Right)) plot_.ClearZoomWindowOfPicture();
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
  if (study_->OnCommand(id, code, state_)) return;
  switch (id) {
    case kHistoryListId:
      history_->PickLine(code);
      return;
    case kTickerPanelId:
      OpenDocument(kTickerDocument);
      return;
    case kAllOnButtonId:
      FlashButton(id);
      SetAllSwitches(true);
      plot_.Redraw();
      return;
    case kAllOffButtonId:
      FlashButton(id);
      SetAllSwitches(false);
      state_.currentFormula.clear();
      plot_.Redraw();
      return;
    case kCommandCancel:
      dialog_->EndDialog(1);
      return;
    case kCommandKeypadPlus:
      KeypadStep(+1);
      return;
    case kCommandKeypadMinus:
      KeypadStep(-1);
      return;
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

void MainWindow::FlashButton(int id) {
  UpdateControl(*dialog_, controls_, id, 100.0f);
  PauseMilliseconds(kFlashPauseMs);
  UpdateControl(*dialog_, controls_, id, 0.0f);
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
  UpdateControl(*dialog_, controls_, id, look->needle, look->caption);
  plot_.Redraw();
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
  helpText_ = lines;
  SetPanelLines(*dialog_, controls_, kHelpPanelId, lines);
}

}  // namespace funzioni
