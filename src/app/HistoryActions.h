#pragma once

// The history list and the formula box: entering a formula, picking a line, editing the file.

#include <functional>
#include <string_view>
#include <utility>

#include "app/HistoryLoading.h"

namespace funzioni {

class Dialog;
class PlotPresenter;
struct PlotState;

// Once a long history file is read (its thread wakes the window with this timer's event), this
// timer hands the list its next lines.
inline constexpr int kHistoryTimerId = 6;
inline constexpr int kHistoryListingMs = 5;

// What the history actions change and where they answer.
struct HistoryWiring {
  Dialog& dialog;
  PlotState& state;
  PlotPresenter& plot;
  std::function<void(std::string_view)> showNote;
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

 private:
  void SelectLastLine();

  HistoryWiring wiring_;
  HistoryLoader loader_;
};

}  // namespace funzioni
