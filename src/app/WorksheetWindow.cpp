// Worksheets in the window: a link opened shows the state it names on every control at once; a
// refused one changes nothing and says so in the help panel.

#include "app/FormulaParameterValues.h"
#include "app/MainWindow.h"
#include "app/ParameterMeters.h"
#include "app/ParameterPlayer.h"
#include "app/WorksheetLoading.h"
#include "controls/Panels.h"

namespace funzioni {

bool MainWindow::OpenWorksheet(std::string_view text) {
  const SheetOpening opening = OpenWorksheetText(text, catalogue_);
  if (!opening.sheet) {
    ShowNote(opening.note);
    return false;
  }
  // A play would go on moving a parameter the sheet has just set.
  parameterPlayer_->Stop();
  ApplyWorksheet(state_, *opening.sheet);
  dialog_->SetControlText(kFormulaBoxId, state_.typedFormula);
  for (int k = 1; k <= functionCount; ++k) {
    UpdateControl(*dialog_, controls_, kSwitchBaseId + k, state_.curveOn[k] != 0 ? 0.0f : 100.0f);
  }
  const MeterLook step = StepStep(state_.stepValue, 0);
  UpdateControl(*dialog_, controls_, kStepMeterId, step.needle, step.caption);
  // The meters of the letters the formula uses, then their values on them.
  parameterMeters_->Follow(state_);
  const std::string used = UsedFormulaParameters(state_);
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    const char letter = kFormulaParameterLetters[i];
    if (used.find(letter) == std::string::npos) continue;
    const MeterLook look = UpdateParameter(state_.formulaParams[i], letter);
    UpdateControl(*dialog_, controls_, FormulaMeterId(i), look.needle, look.caption);
  }
  // The zoom meter as its keypad leaves it; the view the sheet names stays as it is.
  zoomLook_ = StepZoom(state_.zoomValue, 0);
  ShowView();
  plot_.RedrawWithTable();
  return true;
}

std::string MainWindow::WorksheetLink() const {
  return EncodeWorksheet(WorksheetOfState(state_));
}

}  // namespace funzioni
