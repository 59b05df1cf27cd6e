#include "app/PlotPresenter.h"

#include "drawing/DialogServices.h"
#include "plot/Curves.h"
#include "plot/PlotBoard.h"
#include "plot/PlotIds.h"
#include "plot/ResultsTable.h"
#include "plot/ZoomWindow.h"

namespace funzioni {

PlotPresenter::PlotPresenter(Dialog& dialog, const PlotState& state, Hooks hooks)
    : dialog_(dialog), state_(state), hooks_(std::move(hooks)) {
  // The worker's outcomes are taken at the redraw timer's event.
  worker_.OnWake([wake = dialog_.WakeFromAnyThread(kRedrawTimerId)](
                     std::chrono::milliseconds after) { wake(static_cast<int>(after.count())); });
}

void PlotPresenter::Redraw() {
  redrawPending_ = true;
  dialog_.StartTimer(kRedrawTimerId, 0);
}

void PlotPresenter::RedrawWithTable() {
  tablePending_ = true;
  Redraw();
}

void PlotPresenter::OnTimer(int timerId) {
  // A redraw just asked for may end within the frame; a look at one under way does not wait.
  if (timerId == kRedrawTimerId) {
    PumpPlotWork(redrawPending_ ? kQuickPlotWait : std::chrono::milliseconds(0));
  }
  if (timerId == kBusyPointerTimerId) OnBusyPointerTimer();
}

void PlotPresenter::Submit(PlotWork work) {
  if (redrawPending_) {
    redrawPending_ = false;
    ++redraws_;
    work.picture = PlotWork::Picture::Whole;
    if (tablePending_ && !work.table) {
      work.table = state_;
      work.tableTicket = ++tableTicket_;
    }
    tablePending_ = false;
  }
  // A family on the picture belongs to the formula it was drawn for: a new formula is drawn on a
  // whole picture, with its own family or none.
  const bool family = state_.family.curves > 0;
  if (work.picture == PlotWork::Picture::FormulaOver && (family || familyOnPicture_)) {
    work.picture = PlotWork::Picture::Whole;
  }
  if (work.picture == PlotWork::Picture::Whole) familyOnPicture_ = family;
  work.state = state_;
  hooks_.follow(state_);
  const DrawingSurface* area = dialog_.FindSurface(kPlotAreaId);
  work.size = area == nullptr ? PixelSize{} : area->GetSurfaceSize();
  worker_.Submit(std::move(work));
}

void PlotPresenter::PumpPlotWork(std::chrono::milliseconds wait) {
  if (redrawPending_) Submit({});
  if (worker_.Busy()) worker_.WaitFor(wait);
  // The outcome may be of earlier work than the last handed over: a picture at every step of a
  // drag that the worker can keep up with.
  std::optional<PlotOutcome> outcome = worker_.Take();
  if (outcome) EndBusyPointer();
  // Anything the worker finishes from now on comes with its wake.
  dialog_.StopTimer(kRedrawTimerId);
  if (!worker_.Busy()) {
    EndBusyPointer();
  } else {
    if (!busyPointerTimerRunning_ && !busyPointerShown_) {
      dialog_.StartTimer(kBusyPointerTimerId, kBusyPointerDelayMs);
      busyPointerTimerRunning_ = true;
    }
  }
  if (outcome) ShowOutcome(*outcome);
}

void PlotPresenter::ShowOutcome(PlotOutcome& outcome) {
  // A table shown since (a built-in function's) replaces the one computed.
  if (outcome.table && outcome.tableTicket == tableTicket_) {
    ShowFormulaTable(dialog_, *outcome.table, outcome.tableRows);
  }
  if (outcome.whole) {
    ShowPlotPicture(dialog_, kPlotAreaId, outcome.zoom, *outcome.whole, background_);
    worker_.Recycle(std::move(outcome.whole->layer));
    hooks_.pictureShown(true, outcome.zoom);
  }
  if (outcome.over) {
    ShowFormulaDots(dialog_, kPlotAreaId, *outcome.over);
    hooks_.pictureShown(false, outcome.zoom);
  }
  if (pendingZoomWindow_) {
    ShowZoomWindow(dialog_, pendingZoomWindow_->first, pendingZoomWindow_->second);
    pendingZoomWindow_.reset();
  }
  hooks_.outcomeShown();
}

void PlotPresenter::DrawFormulaOverPicture() {
  PlotWork work;
  work.picture = PlotWork::Picture::FormulaOver;
  work.table = state_;
  work.tableTicket = ++tableTicket_;
  Submit(std::move(work));
  PumpPlotWork(kQuickPlotWait);
}

void PlotPresenter::ShowZoomWindowOfPicture(float percentX, float percentY) {
  PumpPlotWork(kQuickPlotWait);
  if (!Idle()) {
    pendingZoomWindow_ = {percentX, percentY};
    return;
  }
  pendingZoomWindow_.reset();
  ShowZoomWindow(dialog_, percentX, percentY);
}

void PlotPresenter::ClearZoomWindowOfPicture() {
  pendingZoomWindow_.reset();
  ClearZoomWindow(dialog_);
}

void PlotPresenter::OnBusyPointerTimer() {
  dialog_.StopTimer(kBusyPointerTimerId);
  busyPointerTimerRunning_ = false;
  if (Idle()) return;
  dialog_.SetBusyPointer(kPlotAreaId, true);
  busyPointerShown_ = true;
}

void PlotPresenter::EndBusyPointer() {
  if (busyPointerTimerRunning_) dialog_.StopTimer(kBusyPointerTimerId);
  busyPointerTimerRunning_ = false;
  if (busyPointerShown_) dialog_.SetBusyPointer(kPlotAreaId, false);
  busyPointerShown_ = false;
}

}  // namespace funzioni
