// Saving, copying and printing the picture and the results table.

#include "app/ExportActions.h"

#include <array>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/MainWindow.h"
#include "app/StudyPanel.h"
#include "app/TableText.h"
#include "drawing/Shortcuts.h"
#include "plot/Curves.h"
#include "sampling/BuiltinFunctions.h"

namespace funzioni {

namespace {

constexpr std::string_view kPictureFileName = "grafico.png";
constexpr std::string_view kTableFileName = "tabella.csv";

std::string FileNameOf(std::string_view path) {
  return std::filesystem::path(path).filename().string();
}

std::string FolderOf(std::string_view path) {
  return std::filesystem::path(path).parent_path().string();
}

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace

std::string FileNotSavedNote(std::string_view path) {
  return " Impossibile salvare " + FileNameOf(path) +
         ".\r\n"
         " Controlla che la cartella sia scrivibile\r\n"
         " e che il disco non sia pieno.";
}

void MainWindow::InstallExportCommands() {
  exportPrompts_.askSaveFileName = [this](const SaveFileRequest& request) {
    return AskSaveFileName(*dialog_, request);
  };
  exportPrompts_.print = [this](const PrintPage& page) { return PrintWithDialog(*dialog_, page); };
  exportKeys_ = std::make_unique<DialogShortcuts>(*dialog_);
  exportKeys_->Add(StandardKey::Save, kCommandSavePicture);
  exportKeys_->Add("Ctrl+Shift+C", kCommandCopyPicture);
  exportKeys_->Add(StandardKey::Print, kCommandPrint);
  exportKeys_->Add(StandardKey::Copy, kCommandCopyTable, kResultsListId);
  dialog_->SetControlDescription(kResultsListId,
                                 "Ctrl+C copia la tabella negli appunti; il tasto destro apre il "
                                 "menu Copia tabella, Salva tabella, Studio della funzione.");
}

bool MainWindow::OnExportCommand(int id) {
  if (id < kCommandSavePicture || id > kCommandSaveTable) return false;
  // The picture saved, copied or printed is the one of the current state, and the table the one
  // last asked for: while they are still being computed the command waits for them (the window
  // answers meanwhile, and a later command replaces it).
  pendingExport_ = id;
  plot_.PumpPlotWork(kQuickPlotWait);
  RunPendingExport();
  return true;
}

void MainWindow::RunPendingExport() {
  if (!pendingExport_ || !plotIdle()) return;
  const int id = *pendingExport_;
  pendingExport_.reset();
  switch (id) {
    case kCommandSavePicture:
      SavePicture();
      return;
    case kCommandCopyPicture:
      if (const DrawingSurface* picture = dialog_->FindSurface(kPlotAreaId)) {
        CopyPictureToClipboard(*picture, [this] { ShowNote(kPictureNotCopiedNote); });
      }
      return;
    case kCommandPrint:
      PrintPicture();
      return;
    case kCommandCopyTable:
      CopyTable();
      return;
    case kCommandSaveTable:
      SaveTable();
      return;
    default:
      return;
  }
}

void MainWindow::ShowResultsMenu() {
  const bool filled = dialog_->ListCount(kResultsListId) > 0;
  ShowPopupMenu(*dialog_,
                {{std::string(kCopyTableItem), filled},
                 {std::string(kSaveTableItem), filled},
                 {std::string(kStudyMenuItem), true}},
                [this](int chosen) {
                  if (chosen == 0) OnExportCommand(kCommandCopyTable);
                  if (chosen == 1) OnExportCommand(kCommandSaveTable);
                  if (chosen == 2) study_->OnCommand(kCommandStudy, 0, state_);
                });
}

std::optional<std::string> MainWindow::AskSavePath(SaveFileRequest request,
                                                   std::string_view defaultFolder) {
  const std::string folder = lastSaveFolder_.empty() ? std::string(defaultFolder) : lastSaveFolder_;
  request.suggestedPath = (std::filesystem::path(folder) / request.suggestedPath).string();
  return exportPrompts_.askSaveFileName(request);
}

// A file that could not be written changes nothing but the help panel.
void MainWindow::AfterSave(const std::string& path, bool saved) {
  if (!saved) {
    ShowNote(FileNotSavedNote(path));
    return;
  }
  lastSaveFolder_ = FolderOf(path);
}

void MainWindow::SavePicture() {
  const DrawingSurface* picture = dialog_->FindSurface(kPlotAreaId);
  if (picture == nullptr) return;
  const std::optional<std::string> path = AskSavePath(
      {"Salva il grafico", std::string(kPictureFileName), "Immagine PNG", "png"}, PicturesFolder());
  if (!path) return;
  AfterSave(*path, SavePicturePng(*picture, *path));
}

std::vector<std::string> MainWindow::ResultsLines() const {
  std::vector<std::string> lines;
  const int count = dialog_->ListCount(kResultsListId);
  for (int line = 1; line <= count; ++line)
    lines.push_back(dialog_->ListLine(kResultsListId, line));
  return lines;
}

void MainWindow::CopyTable() {
  ResultsTableContent table = ReadResultsTable(ResultsLines());
  if (table.empty) return;
  AddStudySlopes(table);
  CopyTextToClipboard(TableClipboardText(table, DesktopDecimalSeparator()));
}

void MainWindow::SaveTable() {
  const ResultsTableContent table = ReadResultsTable(ResultsLines());
  if (table.empty) return;
  const std::optional<std::string> path = AskSavePath(
      {"Salva la tabella", std::string(kTableFileName), "Tabella CSV", "csv"}, DocumentsFolder());
  if (!path) return;
  AfterSave(*path, SaveFileBytes(TableCsv(table, DesktopDecimalSeparator()), *path));
}

// The page under the picture: the typed formula, each curve that is on with its parameters, and
// the zoom and the step, as the meters write them.
PrintPage MainWindow::PrintedPage() const {
  PrintPage page;
  page.picture = dialog_->FindSurface(kPlotAreaId);
  page.documentName = "funzioni - grafico";
  if (!state_.currentFormula.empty()) {
    page.lines.push_back({"f(x) = " + state_.currentFormula, FormulaCurveColor()});
  }
  constexpr std::array<char, 4> kLetters = {'a', 'b', 'c', 'd'};
  for (int k = 1; k <= functionCount; ++k) {
    if (state_.curveOn[k] != 1) continue;
    const BuiltinFunction& function = state_.builtinFunctions[k];
    const std::array<std::pair<bool, const ParamTable*>, 4> parameters = {{
        {function.usesA == 1, &state_.paramA},
        {function.usesB == 1, &state_.paramB},
        {function.usesC == 1, &state_.paramC},
        {function.usesD == 1, &state_.paramD},
    }};
    std::string text = "y = " + Trimmed(function.text);
    for (std::size_t p = 0; p < parameters.size(); ++p) {
      if (!parameters[p].first) continue;
      text += std::string(p == 0 ? "      " : "   ") + kLetters[p] + " = " +
              FormatOneDecimal((*parameters[p].second)[k].value);
    }
    page.lines.push_back({text, BuiltinCurveColor(k)});
  }
  const std::string half = FormatOneDecimal(static_cast<float>(state_.zoomValue.value / 5.0));
  page.lines.push_back({"zoom " + half + " (x e y da -" + half + " a " + half + ")      passo " +
                            FormatWhole(state_.stepValue.value),
                        kNoSwatch});
  AddStudyToPage(page);
  return page;
}

void MainWindow::PrintPicture() {
  if (exportPrompts_.print(PrintedPage()) == PrintResult::Failed) ShowNote(kPrintFailedNote);
}

}  // namespace funzioni
