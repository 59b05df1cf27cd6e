#pragma once

// The plotting area and the results table as the plot worker computes them: handing work over,
// showing what is finished, and what waits for the picture (the zoom window, the busy pointer,
// whatever the window's hook runs once an outcome is shown). The window's events come first: a
// redraw asked for is handed over once the inputs already queued are handled, and the worker
// wakes the window (as the redraw timer's event) when it has more.

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

#include "app/Ids.h"
#include "plot/PlotBackgroundCache.h"
#include "plot/PlotWorker.h"
#include "state/PlotState.h"

namespace funzioni {

class Dialog;

// How long the event thread waits for the plot worker before it goes back to its events: a
// redraw that ends within a frame shows at once, as if drawn right there.
inline constexpr std::chrono::milliseconds kQuickPlotWait{12};
// A computation that lasts longer shows the busy pointer over the plotting area.
inline constexpr int kBusyPointerDelayMs = 150;

class PlotPresenter {
 public:
  // What the rest of the window does along the way.
  struct Hooks {
    // Work is handed over for this state.
    std::function<void(const PlotState& state)> follow;
    // The plotting area shows a new picture at that zoom (whole: drawn from scratch).
    std::function<void(bool whole, float zoom)> pictureShown;
    // An outcome was shown: what waited for the picture or the table may run now.
    std::function<void()> outcomeShown;
  };

  // The dialog and the state outlive the presenter; the worker wakes the dialog until the
  // presenter ends.
  PlotPresenter(Dialog& dialog, const PlotState& state, Hooks hooks);
  PlotPresenter(const PlotPresenter&) = delete;
  PlotPresenter& operator=(const PlotPresenter&) = delete;

  // Asks for the plotting area to be drawn again once the inputs already queued are handled, so
  // that a burst of them ends in one redraw of the last state.
  void Redraw();
  // Hands the worker a pending redraw, waits up to the given time, and shows what it has
  // finished.
  void PumpPlotWork(std::chrono::milliseconds wait);
  // The typed formula (the state's) drawn over the picture, and its results table.
  void DrawFormulaOverPicture();
  // Redraw, with the formula's results table computed again: its parameters moved.
  void RedrawWithTable();
  // The zoom window of the picture the state gives, shown once that picture is drawn.
  void ShowZoomWindowOfPicture(float percentX, float percentY);
  void ClearZoomWindowOfPicture();
  // A results table shown by other means (a built-in function's): the formula's table still
  // being computed is not wanted any more.
  void DropPendingTable() { ++tableTicket_; }
  // The redraw timer's and the busy pointer timer's events; other timers are not its own.
  void OnTimer(int timerId);

  // False while a change waits to be drawn, or a formula or its table to be shown.
  bool Idle() const { return !redrawPending_ && !worker_.Busy(); }
  // How many times the plotting area was drawn again since the window was built.
  int Redraws() const { return redraws_; }

 private:
  void Submit(PlotWork work);
  void ShowOutcome(PlotOutcome& outcome);
  void OnBusyPointerTimer();
  void EndBusyPointer();

  Dialog& dialog_;
  const PlotState& state_;
  Hooks hooks_;
  PlotWorker worker_;
  PlotBackgroundCache background_;  // copies of the plot's face, grid and axes
  bool redrawPending_ = false;
  bool tablePending_ = false;     // the next redraw computes the formula's table too
  bool familyOnPicture_ = false;  // the picture last drawn whole had a family switched on
  int redraws_ = 0;
  int tableTicket_ = 0;  // of the formula table last asked for; anything else shown bumps it
  std::optional<std::pair<float, float>> pendingZoomWindow_;
  bool busyPointerTimerRunning_ = false;
  bool busyPointerShown_ = false;
};

}  // namespace funzioni
