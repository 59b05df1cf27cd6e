#pragma once

// The history list and the formula box: entering a formula, picking a line, editing the file.

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "app/HistoryLoading.h"
#include "app/Ids.h"
#include "text/Catalogue.h"

namespace funzioni {

class Dialog;
class PlotPresenter;
struct PlotState;

// Once a long history file is read (its thread wakes the window with kHistoryTimerId's event),
// that timer hands the list its next lines.
inline constexpr int kHistoryListingMs = 5;

// The menu of a history line (Shift with the right button over the list): its formula kept drawn
// beside the typed one, or taken off the picture.
inline constexpr std::string_view kKeepItem = "Tieni nel grafico";
inline constexpr std::string_view kDropItem = "Togli dal grafico";
inline constexpr std::string_view kDropAllItem = "Togli tutte dal grafico";
inline constexpr std::string_view kKeptFullText =
    " Gi\xC3\xA0 5 formule nel grafico: prima togline una.";

// What the history actions change and where they answer.
struct HistoryWiring {
  Dialog& dialog;
  PlotState& state;
  PlotPresenter& plot;
  std::function<void(std::string_view)> showNote;
  // Opens a worksheet's text in the window (the formula box's entry when it holds a link, an
  // exam example); false when it was refused, with a note and nothing changed.
  std::function<bool(std::string_view text)> openSheet;
  Catalogue catalogue;  // the menus' language
};

class HistoryActions {
 public:
  explicit HistoryActions(HistoryWiring wiring) : wiring_(std::move(wiring)) {}

  // Lists the history file. A long one is listed over several turns of the event loop
  // (Loading() meanwhile); its last line is selected once the list is complete.
  void Load();
  bool Loading() const { return loader_.Loading(); }
  // The history timer's event: the next lines for the list.
  void OnTimer();
  // The formula box's text becomes the formula, is saved as the history's last line and drawn.
  void AcceptFormula();
  // A double click on a line draws its formula; false for any other notification.
  bool PickLine(int notificationCode);
  // Opens the history file in an editor and lists it again once the editor has ended.
  void Edit();
  // The menu of the selected line: keep its formula drawn, take it off, take off them all, or the
  // exam examples.
  void ShowKeepMenu();
  // The exam examples: the chosen one is opened as a worksheet and its formula saved as the
  // history's last line, as if entered.
  void ShowExamplesMenu();
  bool OpenExample(std::size_t index);
  // Keeps the formula drawn beside the typed one, or takes it off when it is kept; the picture is
  // drawn again. A note says so when the list is full. False when nothing changed.
  bool ToggleKept(std::string_view formula);
  void DropAllKept();

 private:
  void SelectLastLine();

  HistoryWiring wiring_;
  HistoryLoader loader_;
};

}  // namespace funzioni
