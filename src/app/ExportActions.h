#pragma once

// The commands that let the graph and the results table leave the window: save and copy the
// picture, copy and save the table, print. They use keys and a context menu that the window
// gives no other meaning to.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Ids.h"
#include "drawing/ExportServices.h"
#include "drawing/PrintServices.h"
#include "text/Catalogue.h"

namespace funzioni {

// Read out after the plotting area's summary, so the commands can be found without the manual.
inline constexpr std::string_view kPlotCommandsHint =
    "Ctrl+S salva il grafico come immagine PNG, Ctrl+Maiusc+C lo copia negli appunti, Ctrl+P lo "
    "stampa.";
inline constexpr std::string_view kCopyTableItem = "Copia tabella";
inline constexpr std::string_view kSaveTableItem = "Salva tabella...";

// What the export commands ask the user: by default the desktop's save and print dialogs over
// the window; tests put their own answers here.
struct ExportPrompts {
  std::function<std::optional<std::string>(const SaveFileRequest&)> askSaveFileName;
  std::function<PrintResult(const PrintPage&)> print;
};

// The help panel's note when a file could not be written, naming the file.
std::string FileNotSavedNote(std::string_view path, const Catalogue& catalogue = Catalogue());
inline constexpr std::string_view kPrintFailedNote = " Impossibile stampare il grafico.";
// Where the clipboard does not take pictures (some browsers): the way to keep it all the same.
inline constexpr std::string_view kPictureNotCopiedNote =
    " Impossibile copiare il grafico negli appunti.\r\n"
    " Ctrl+S lo salva come immagine PNG.";

class Dialog;
class DialogShortcuts;
class PlotPresenter;
class StudyPanel;
struct PlotState;
struct ResultsTableContent;

// What the export commands read and where they answer.
struct ExportWiring {
  Dialog& dialog;
  const PlotState& state;
  PlotPresenter& plot;
  StudyPanel& study;  // its f' column joins the copied table, its lines the printed page
  std::function<void(std::string_view)> showNote;
  Catalogue catalogue{};  // the language of the menu, the save dialogs and the notes
};

// Saving, copying and printing the picture and the results table, from their keys and the
// results table's menu.
class ExportActions {
 public:
  // Adds the export keys to `keys` and gives the prompts the desktop's dialogs.
  ExportActions(ExportWiring wiring, DialogShortcuts& keys);

  // Runs (or, while the picture or the table is still being computed, holds) an export command;
  // false for any other identifier.
  bool OnCommand(int id);
  // Runs the command held, once the plot has nothing left to compute.
  void RunPending();
  void ShowResultsMenu();
  ExportPrompts& prompts() { return prompts_; }

 private:
  std::optional<std::string> AskSavePath(SaveFileRequest request, std::string_view defaultFolder);
  void AfterSave(const std::string& path, bool saved);
  void SavePicture();
  std::vector<std::string> ResultsLines() const;
  void AddStudySlopes(ResultsTableContent& table) const;
  void CopyTable();
  void SaveTable();
  PrintPage PrintedPage() const;
  void AddKeptAndFamilyLines(PrintPage& page) const;
  void PrintPicture();

  ExportWiring wiring_;
  ExportPrompts prompts_;
  std::optional<int> pending_;  // an export command waiting for the picture or the table
  std::string lastSaveFolder_;  // where the last file was saved in this run
};

}  // namespace funzioni
