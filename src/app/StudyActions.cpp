// The study window's place in the main window: its key and menu entries, the f' column of the
// copied table and the study on the printed page.

#include "app/MainWindow.h"
#include "app/StudyPanel.h"
#include "drawing/ControlMenus.h"
#include "drawing/Shortcuts.h"
#include "sampling/ResultRows.h"

namespace funzioni {

void MainWindow::InstallStudyCommands() {
  study_ = std::make_unique<StudyPanel>(*dialog_, controls_, [this] { plot_.Redraw(); });
  exportKeys_->Add("F2", kCommandStudy);
  AddTextBoxMenuItem(*dialog_, kFormulaBoxId, kStudyMenuItem, kCommandStudy);
  dialog_->SetControlDescription(kFormulaBoxId,
                                 "F2 apre lo studio della funzione in una finestra accanto.");
}

void MainWindow::AddStudySlopes(ResultsTableContent& table) const {
  if (!study_->SlopesOn()) return;
  bool any = false;
  for (ResultsTableRow& row : table.rows) {
    const std::optional<double> slope = study_->TableSlope(table.title, row.x);
    if (!slope) continue;
    row.slope = ResultNumberText(static_cast<float>(*slope));
    if (!row.slope.empty() && row.slope.front() == ' ') row.slope.erase(0, 1);
    any = true;
  }
  if (any) table.slopeHeading = std::string(kStudySlopeHeading);
}

void MainWindow::AddStudyToPage(PrintPage& page) const {
  if (!study_->IsOpen()) return;
  page.lines.push_back({study_->Heading(), kNoSwatch});
  for (std::string& line : study_->Lines()) page.lines.push_back({std::move(line), kNoSwatch});
}

}  // namespace funzioni
