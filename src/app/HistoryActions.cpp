// The history list and the formula box: entering a formula, picking a line, editing the file.

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "app/HistoryLoading.h"
#include "app/MainWindow.h"
#include "controls/Panels.h"
#include "drawing/PlatformServices.h"

namespace funzioni {

namespace {

const std::string& HistoryPath() {
  static const std::string path(kHistoryFileName);
  return path;
}

}  // namespace

void MainWindow::LoadHistory() {
  historyLoader_.Stop();
  dialog_->StopTimer(kHistoryTimerId);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(HistoryPath(), error);
  if (!error && size > kHistoryInlineBytes) {
    // Its reading thread wakes the window once the lines are there.
    historyLoader_.Start(HistoryPath(),
                         [wake = dialog_->WakeFromAnyThread(kHistoryTimerId)] { wake(0); });
    return;
  }
  // A missing or unreadable file simply gives an empty list.
  for (const std::string& line : ReadHistoryLines(HistoryPath())) {
    dialog_->ListAdd(kHistoryListId, line);
  }
  SelectLastHistoryLine();
}

void MainWindow::OnHistoryTimer() {
  // The wake of a read, or a tick of the listing: a wake of a read since dropped finds nothing.
  const bool read = historyLoader_.Reading();
  const std::span<const std::string> lines = historyLoader_.NextLines();
  // The list reads a line that is not UTF-8 in the single-byte Windows code page (a file brought
  // over from Windows, with accented comments).
  for (const std::string& line : lines) dialog_->ListAdd(kHistoryListId, line);
  if (historyLoader_.TakeFinished()) {
    dialog_->StopTimer(kHistoryTimerId);
    SelectLastHistoryLine();
    return;
  }
  // The rest of the lines follow a run per tick.
  if (read && !lines.empty()) dialog_->StartTimer(kHistoryTimerId, kHistoryListingMs);
}

void MainWindow::SelectLastHistoryLine() {
  const int count = dialog_->ListCount(kHistoryListId);
  if (count > 0) dialog_->ListSelect(kHistoryListId, count);
}

void MainWindow::AcceptFormula() {
  const std::string formula = dialog_->GetControlText(kFormulaBoxId);
  state_.currentFormula = formula;
  // Saved before it is drawn: however long its curve takes, the line is in the file.
  const bool saved = AppendHistoryLine(HistoryPath(), formula);
  dialog_->ListReset(kHistoryListId);
  LoadHistory();
  // The formula is drawn over the picture of the state before it, and tabulated, all the same;
  // the user learns that the file missed it.
  plot_.DrawFormulaOverPicture();
  if (!saved) ShowNote(kHistoryNotSavedText);
}

bool MainWindow::PickHistoryLine(int notificationCode) {
  if (notificationCode != kNotifyListDoubleClick) return false;
  const std::string formula = FormulaOfHistoryLine(dialog_->ListGetSelected(kHistoryListId));
  state_.currentFormula = formula;
  plot_.DrawFormulaOverPicture();  // over the picture of the state before it
  return true;
}

void MainWindow::EditHistory() {
  // The picture of the last change shows while the editor runs, unless it takes long to compute
  // (it then shows once the editor has ended).
  plot_.PumpPlotWork(kQuickPlotWait);
  const std::string command = ChooseEditorCommand(kHistoryFileName, ProcessEditorEnvironment());
  const auto reload = [this](bool ran) {
    dialog_->ListReset(kHistoryListId);
    LoadHistory();
    if (!ran) ShowNote(kEditorMissingText);
  };
  if (command.empty()) {
    reload(false);
    return;
  }
  // The editor keeps the handler busy until it ends (in the page: until the page's editor is
  // closed); the window is still repainted meanwhile, and closing it leaves the editor running
  // on its own.
  dialog_->RunThen(command, reload);
}

}  // namespace funzioni
