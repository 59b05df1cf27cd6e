// Saving, copying and printing the picture and the results table.

#include "app/ExportActions.h"

#include <array>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/AccessibleControls.h"
#include "app/MainWindow.h"
#include "app/ParameterFamily.h"
#include "app/PlotPresenter.h"
#include "app/StudyPanel.h"
#include "app/TableText.h"
#include "drawing/Shortcuts.h"
#include "plot/Curves.h"
#include "plot/FamilyCurves.h"
#include "plot/KeptCurves.h"
#include "plot/ViewActions.h"
#include "sampling/BuiltinFunctions.h"
#include "sampling/FormulaIntersections.h"
#include "sampling/ResultRows.h"

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

std::string FileNotSavedNote(std::string_view path, const Catalogue& catalogue) {
  return catalogue.Format(
      " Impossibile salvare {0}.\r\n"
      " Controlla che la cartella sia scrivibile\r\n"
      " e che il disco non sia pieno.",
      {FileNameOf(path)});
}

ExportActions::ExportActions(ExportWiring wiring, DialogShortcuts& keys)
    : wiring_(std::move(wiring)) {
  Dialog& dialog = wiring_.dialog;
  prompts_.askSaveFileName = [&dialog](const SaveFileRequest& request) {
    return AskSaveFileName(dialog, request);
  };
  prompts_.print = [&dialog](const PrintPage& page) { return PrintWithDialog(dialog, page); };
  keys.Add(StandardKey::Save, kCommandSavePicture);
  keys.Add("Ctrl+Shift+C", kCommandCopyPicture);
  keys.Add(StandardKey::Print, kCommandPrint);
  keys.Add(StandardKey::Copy, kCommandCopyTable, kResultsListId);
  dialog.SetControlDescription(
      kResultsListId, wiring_.catalogue.Translate("Ctrl+C copia la tabella negli appunti; il "
                                                  "tasto destro apre il menu Copia tabella, "
                                                  "Salva tabella, Studio della funzione."));
}

bool ExportActions::OnCommand(int id) {
  if (id < kCommandSavePicture || id > kCommandSaveTable) return false;
  // The picture saved, copied or printed is the one of the current state, and the table the one
  // last asked for: while they are still being computed the command waits for them (the window
  // answers meanwhile, and a later command replaces it).
  pending_ = id;
  wiring_.plot.PumpPlotWork(kQuickPlotWait);
  RunPending();
  return true;
}

void ExportActions::RunPending() {
  if (!pending_ || !wiring_.plot.Idle()) return;
  const int id = *pending_;
  pending_.reset();
  switch (id) {
    case kCommandSavePicture:
      SavePicture();
      return;
    case kCommandCopyPicture:
      if (const DrawingSurface* picture = wiring_.dialog.FindSurface(kPlotAreaId)) {
        CopyPictureToClipboard(*picture, [this] { wiring_.showNote(kPictureNotCopiedNote); });
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

void ExportActions::ShowResultsMenu() {
  const bool filled = wiring_.dialog.ListCount(kResultsListId) > 0;
  ShowPopupMenu(wiring_.dialog,
                {{std::string(wiring_.catalogue.Translate(kCopyTableItem)), filled},
                 {std::string(wiring_.catalogue.Translate(kSaveTableItem)), filled},
                 {std::string(wiring_.catalogue.Translate(kStudyMenuItem)), true}},
                [this](int chosen) {
                  if (chosen == 0) OnCommand(kCommandCopyTable);
                  if (chosen == 1) OnCommand(kCommandSaveTable);
                  if (chosen == 2) wiring_.study.OnCommand(kCommandStudy, 0, wiring_.state);
                });
}

std::optional<std::string> ExportActions::AskSavePath(SaveFileRequest request,
                                                      std::string_view defaultFolder) {
  const std::string folder = lastSaveFolder_.empty() ? std::string(defaultFolder) : lastSaveFolder_;
  request.suggestedPath = (std::filesystem::path(folder) / request.suggestedPath).string();
  return prompts_.askSaveFileName(request);
}

// A file that could not be written changes nothing but the help panel.
void ExportActions::AfterSave(const std::string& path, bool saved) {
  if (!saved) {
    wiring_.showNote(FileNotSavedNote(path, wiring_.catalogue));
    return;
  }
  lastSaveFolder_ = FolderOf(path);
}

void ExportActions::SavePicture() {
  const DrawingSurface* picture = wiring_.dialog.FindSurface(kPlotAreaId);
  if (picture == nullptr) return;
  const std::optional<std::string> path =
      AskSavePath({std::string(wiring_.catalogue.Translate("Salva il grafico")),
                   std::string(wiring_.catalogue.Translate(kPictureFileName)),
                   std::string(wiring_.catalogue.Translate("Immagine PNG")), "png"},
                  PicturesFolder());
  if (!path) return;
  AfterSave(*path, SavePicturePng(*picture, *path));
}

std::vector<std::string> ExportActions::ResultsLines() const {
  std::vector<std::string> lines;
  const int count = wiring_.dialog.ListCount(kResultsListId);
  for (int line = 1; line <= count; ++line)
    lines.push_back(wiring_.dialog.ListLine(kResultsListId, line));
  return lines;
}

// The f' column while the study window shows the derivative.
void ExportActions::AddStudySlopes(ResultsTableContent& table) const {
  const StudyPanel& study = wiring_.study;
  if (!study.SlopesOn()) return;
  bool any = false;
  for (ResultsTableRow& row : table.rows) {
    const std::optional<double> slope = study.TableSlope(table.title, row.x);
    if (!slope) continue;
    row.slope = ResultNumberText(static_cast<float>(*slope));
    if (!row.slope.empty() && row.slope.front() == ' ') row.slope.erase(0, 1);
    any = true;
  }
  if (any) table.slopeHeading = std::string(kStudySlopeHeading);
}

void ExportActions::CopyTable() {
  ResultsTableContent table = ReadResultsTable(ResultsLines());
  if (table.empty) return;
  AddStudySlopes(table);
  CopyTextToClipboard(TableClipboardText(table, DesktopDecimalSeparator()));
}

void ExportActions::SaveTable() {
  const ResultsTableContent table = ReadResultsTable(ResultsLines());
  if (table.empty) return;
  const std::optional<std::string> path =
      AskSavePath({std::string(wiring_.catalogue.Translate("Salva la tabella")),
                   std::string(wiring_.catalogue.Translate(kTableFileName)),
                   std::string(wiring_.catalogue.Translate("Tabella CSV")), "csv"},
                  DocumentsFolder());
  if (!path) return;
  AfterSave(*path, SaveFileBytes(TableCsv(table, DesktopDecimalSeparator()), *path));
}

// The page under the picture: the typed formula, each curve that is on with its parameters, and
// the zoom (or the ranges of a moved view) and the step, as the meters write them.
PrintPage ExportActions::PrintedPage() const {
  PrintPage page;
  page.picture = wiring_.dialog.FindSurface(kPlotAreaId);
  const Catalogue& catalogue = wiring_.catalogue;
  page.documentName = catalogue.Translate("funzioni - grafico");
  if (!wiring_.state.currentFormula.empty()) {
    page.lines.push_back({"f(x) = " + wiring_.state.currentFormula, FormulaCurveColor()});
  }
  constexpr std::array<char, 4> kLetters = {'a', 'b', 'c', 'd'};
  for (int k = 1; k <= functionCount; ++k) {
    if (wiring_.state.curveOn[k] != 1) continue;
    const BuiltinFunction& function = wiring_.state.builtinFunctions[k];
    const std::array<std::pair<bool, const ParamTable*>, 4> parameters = {{
        {function.usesA == 1, &wiring_.state.paramA},
        {function.usesB == 1, &wiring_.state.paramB},
        {function.usesC == 1, &wiring_.state.paramC},
        {function.usesD == 1, &wiring_.state.paramD},
    }};
    std::string text = "y = " + Trimmed(function.text);
    for (std::size_t p = 0; p < parameters.size(); ++p) {
      if (!parameters[p].first) continue;
      text += std::string(p == 0 ? "      " : "   ") + kLetters[p] + " = " +
              FormatOneDecimal((*parameters[p].second)[k].value);
    }
    page.lines.push_back({text, BuiltinCurveColor(k)});
  }
  AddKeptAndFamilyLines(page);
  const std::string step =
      catalogue.Format("      passo {0}", {FormatWhole(wiring_.state.stepValue.value)});
  if (wiring_.state.view) {
    // A moved view is no zoom's: its ranges say what the picture shows.
    page.lines.push_back(
        {catalogue.Format("vista {0}", {ViewRangesWords(*wiring_.state.view, catalogue)}) + step,
         kNoSwatch});
  } else {
    const std::string half =
        FormatOneDecimal(static_cast<float>(wiring_.state.zoomValue.value / 5.0));
    page.lines.push_back(
        {catalogue.Format("zoom {0} (x e y da -{0} a {0})", {half}) + step, kNoSwatch});
  }
  // The study's heading and lines follow while its window is open.
  const StudyPanel& study = wiring_.study;
  if (study.IsOpen()) {
    page.lines.push_back({study.Heading(), kNoSwatch});
    for (std::string& line : study.Lines()) page.lines.push_back({std::move(line), kNoSwatch});
  }
  return page;
}

// The kept formulas with the parameters' values now, each in its curve's colour, and the family
// in its middle shade (the picture's key names each shade's value).
void ExportActions::AddKeptAndFamilyLines(PrintPage& page) const {
  const PlotState& state = wiring_.state;
  for (std::size_t i = 0; i < state.keptFormulas.size() && i < kMaxKeptFormulas; ++i) {
    page.lines.push_back(
        {"y = " + Trimmed(KeptFormulaText(state, state.keptFormulas[i])), KeptCurveColor(i)});
  }
  const std::vector<FamilyCurve> family = FamilyCurves(state);
  if (family.empty()) return;
  page.lines.push_back({FamilySummary(state, wiring_.catalogue), family[family.size() / 2].color});
}

void ExportActions::PrintPicture() {
  if (prompts_.print(PrintedPage()) == PrintResult::Failed) wiring_.showNote(kPrintFailedNote);
}

}  // namespace funzioni
