// The history list and the formula box: entering a formula, picking a line, editing the file.

#include "app/HistoryActions.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "app/FormulaParameterValues.h"
#include "app/History.h"
#include "app/MainWindow.h"
#include "app/PlotPresenter.h"
#include "app/WorksheetLoading.h"
#include "controls/Panels.h"
#include "drawing/ExportServices.h"
#include "drawing/PlatformServices.h"
#include "state/KeptFormulas.h"

namespace funzioni {

namespace {

const std::string& HistoryPath() {
  static const std::string path(kHistoryFileName);
  return path;
}

}  // namespace

void HistoryActions::Load() {
  loader_.Stop();
  wiring_.dialog.StopTimer(kHistoryTimerId);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(HistoryPath(), error);
  if (!error && size > kHistoryInlineBytes) {
    // Its reading thread wakes the window once the lines are there.
    loader_.Start(HistoryPath(),
                  [wake = wiring_.dialog.WakeFromAnyThread(kHistoryTimerId)] { wake(0); });
    return;
  }
  // A missing or unreadable file simply gives an empty list.
  for (const std::string& line : ReadHistoryLines(HistoryPath())) {
    wiring_.dialog.ListAdd(kHistoryListId, line);
  }
  SelectLastLine();
}

void HistoryActions::OnTimer() {
  // The wake of a read, or a tick of the listing: a wake of a read since dropped finds nothing.
  const bool read = loader_.Reading();
  const std::span<const std::string> lines = loader_.NextLines();
  // The list reads a line that is not UTF-8 in the single-byte Windows code page (a file brought
  // over from Windows, with accented comments).
  for (const std::string& line : lines) wiring_.dialog.ListAdd(kHistoryListId, line);
  if (loader_.TakeFinished()) {
    wiring_.dialog.StopTimer(kHistoryTimerId);
    SelectLastLine();
    return;
  }
  // The rest of the lines follow a run per tick.
  if (read && !lines.empty()) wiring_.dialog.StartTimer(kHistoryTimerId, kHistoryListingMs);
}

void HistoryActions::SelectLastLine() {
  const int count = wiring_.dialog.ListCount(kHistoryListId);
  if (count > 0) wiring_.dialog.ListSelect(kHistoryListId, count);
}

void HistoryActions::AcceptFormula() {
  const std::string formula = wiring_.dialog.GetControlText(kFormulaBoxId);
  // A worksheet link is opened, never drawn nor saved as a formula: no formula holds a "#".
  if (LooksLikeWorksheet(formula)) {
    if (wiring_.openSheet) wiring_.openSheet(formula);
    return;
  }
  SetTypedFormula(wiring_.state, formula);
  // Saved before it is drawn: however long its curve takes, the line is in the file.
  const bool saved = AppendHistoryLine(HistoryPath(), formula);
  wiring_.dialog.ListReset(kHistoryListId);
  Load();
  // The formula is drawn over the picture of the state before it, and tabulated, all the same;
  // the user learns that the file missed it.
  wiring_.plot.DrawFormulaOverPicture();
  if (!saved) wiring_.showNote(kHistoryNotSavedText);
}

bool HistoryActions::PickLine(int notificationCode) {
  if (notificationCode != kNotifyListDoubleClick) return false;
  const std::string formula = FormulaOfHistoryLine(wiring_.dialog.ListGetSelected(kHistoryListId));
  SetTypedFormula(wiring_.state, formula);
  wiring_.plot.DrawFormulaOverPicture();  // over the picture of the state before it
  return true;
}

void HistoryActions::Edit() {
  // The picture of the last change shows while the editor runs, unless it takes long to compute
  // (it then shows once the editor has ended).
  wiring_.plot.PumpPlotWork(kQuickPlotWait);
  const std::string command = ChooseEditorCommand(kHistoryFileName, ProcessEditorEnvironment());
  const auto reload = [this](bool ran) {
    wiring_.dialog.ListReset(kHistoryListId);
    Load();
    if (!ran) wiring_.showNote(kEditorMissingText);
  };
  if (command.empty()) {
    reload(false);
    return;
  }
  // The editor keeps the handler busy until it ends (in the page: until the page's editor is
  // closed); the window is still repainted meanwhile, and closing it leaves the editor running
  // on its own.
  wiring_.dialog.RunThen(command, reload);
}

void HistoryActions::ShowKeepMenu() {
  const std::string formula = FormulaOfHistoryLine(wiring_.dialog.ListGetSelected(kHistoryListId));
  const std::vector<std::string>& kept = wiring_.state.keptFormulas;
  const bool isKept = IsKeptFormula(kept, formula);
  const bool blank = formula.find_first_not_of(' ') == std::string::npos;
  const Catalogue& texts = wiring_.catalogue;
  ShowPopupMenu(wiring_.dialog,
                {{std::string(texts.Translate(isKept ? kDropItem : kKeepItem)), !blank},
                 {std::string(texts.Translate(kDropAllItem)), !kept.empty()},
                 {std::string(texts.Translate(kExamExamplesItem)), true}},
                [this, formula](int chosen) {
                  if (chosen == 0) ToggleKept(formula);
                  if (chosen == 1) DropAllKept();
                  if (chosen == 2) ShowExamplesMenu();
                });
}

void HistoryActions::ShowExamplesMenu() {
  std::vector<MenuItem> items;
  for (const ExamExample& example : ExamExamples()) {
    const std::optional<Worksheet> sheet = DecodeWorksheet(example.link).sheet;
    items.push_back({sheet ? ExampleLabel(*sheet) : std::string(example.link), sheet.has_value()});
  }
  ShowPopupMenu(wiring_.dialog, items,
                [this](int chosen) { OpenExample(static_cast<std::size_t>(chosen)); });
}

bool HistoryActions::OpenExample(std::size_t index) {
  const std::span<const ExamExample> examples = ExamExamples();
  if (index >= examples.size() || !wiring_.openSheet) return false;
  if (!wiring_.openSheet(examples[index].link)) return false;
  // The formula joins the history as an entered one does.
  const std::string formula = wiring_.dialog.GetControlText(kFormulaBoxId);
  const bool saved = AppendHistoryLine(HistoryPath(), formula);
  wiring_.dialog.ListReset(kHistoryListId);
  Load();
  if (!saved) wiring_.showNote(kHistoryNotSavedText);
  return true;
}

bool HistoryActions::ToggleKept(std::string_view formula) {
  std::vector<std::string>& kept = wiring_.state.keptFormulas;
  if (DropKeptFormula(kept, formula)) {
    wiring_.plot.Redraw();
    return true;
  }
  const KeepResult result = KeepFormula(kept, formula);
  if (result == KeepResult::Full) wiring_.showNote(kKeptFullText);
  if (result != KeepResult::Kept) return false;
  wiring_.plot.Redraw();
  return true;
}

void HistoryActions::DropAllKept() {
  if (wiring_.state.keptFormulas.empty()) return;
  wiring_.state.keptFormulas.clear();
  wiring_.plot.Redraw();
}

}  // namespace funzioni
