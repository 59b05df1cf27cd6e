// The plotting area and the results table as the plot worker computes them: handing work over,
// showing what is finished, and what waits for the picture (the zoom window, an export, the busy
// pointer).

#include "app/MainWindow.h"
#include "app/StudyPanel.h"
#include "plot/Curves.h"
#include "plot/PlotBoard.h"
#include "plot/ResultsTable.h"
#include "plot/ZoomWindow.h"

namespace funzioni {

void MainWindow::Redraw() {
  redrawPending_ = true;
  dialog_->StartTimer(kRedrawTimerId, 0);
}

void MainWindow::SubmitPlotWork(PlotWork work) {
  if (redrawPending_) {
    redrawPending_ = false;
    ++plotRedraws_;
    work.picture = PlotWork::Picture::Whole;
  }
  work.state = state_;
  study_->Follow(state_);
  const DrawingSurface* area = dialog_->FindSurface(kPlotAreaId);
  work.size = area == nullptr ? PixelSize{} : area->GetSurfaceSize();
  plotWorker_.Submit(std::move(work));
}

void MainWindow::PumpPlotWork(std::chrono::milliseconds wait) {
  if (redrawPending_) SubmitPlotWork({});
  if (plotWorker_.Busy()) plotWorker_.WaitFor(wait);
  // The outcome may be of earlier work than the last handed over: a picture at every step of a
  // drag that the worker can keep up with.
  std::optional<PlotOutcome> outcome = plotWorker_.Take();
  if (outcome) EndBusyPointer();
  // Anything the worker finishes from now on comes with its wake.
  dialog_->StopTimer(kRedrawTimerId);
  if (!plotWorker_.Busy()) {
    EndBusyPointer();
  } else {
    if (!busyPointerTimerRunning_ && !busyPointerShown_) {
      dialog_->StartTimer(kBusyPointerTimerId, kBusyPointerDelayMs);
      busyPointerTimerRunning_ = true;
    }
  }
  if (outcome) ShowPlotOutcome(*outcome);
}

void MainWindow::ShowPlotOutcome(PlotOutcome& outcome) {
  // A table shown since (a built-in function's) replaces the one computed.
  if (outcome.table && outcome.tableTicket == tableTicket_) {
    ShowFormulaTable(*dialog_, *outcome.table, outcome.tableRows);
  }
  if (outcome.whole) {
    ShowPlotPicture(*dialog_, kPlotAreaId, outcome.zoom, *outcome.whole, plotBackground_);
    plotWorker_.Recycle(std::move(outcome.whole->layer));
    study_->PictureShown(true, outcome.zoom);
  }
  if (outcome.over) {
    ShowFormulaDots(*dialog_, kPlotAreaId, *outcome.over);
    study_->PictureShown(false, outcome.zoom);
  }
  if (pendingZoomWindow_) {
    ShowZoomWindow(*dialog_, pendingZoomWindow_->first, pendingZoomWindow_->second);
    pendingZoomWindow_.reset();
  }
  RunPendingExport();
}

void MainWindow::DrawFormulaOverPicture() {
  PlotWork work;
  work.picture = PlotWork::Picture::FormulaOver;
  work.table = state_;
  work.tableTicket = ++tableTicket_;
  SubmitPlotWork(std::move(work));
  PumpPlotWork(kQuickPlotWait);
}

void MainWindow::ShowZoomWindowOfPicture(float percentX, float percentY) {
  PumpPlotWork(kQuickPlotWait);
  if (!plotIdle()) {
    pendingZoomWindow_ = {percentX, percentY};
    return;
  }
  pendingZoomWindow_.reset();
  ShowZoomWindow(*dialog_, percentX, percentY);
}

void MainWindow::ClearZoomWindowOfPicture() {
  pendingZoomWindow_.reset();
  ClearZoomWindow(*dialog_);
}

void MainWindow::OnBusyPointerTimer() {
  dialog_->StopTimer(kBusyPointerTimerId);
  busyPointerTimerRunning_ = false;
  if (plotIdle()) return;
  dialog_->SetBusyPointer(kPlotAreaId, true);
  busyPointerShown_ = true;
}

void MainWindow::EndBusyPointer() {
  if (busyPointerTimerRunning_) dialog_->StopTimer(kBusyPointerTimerId);
  busyPointerTimerRunning_ = false;
  if (busyPointerShown_) dialog_->SetBusyPointer(kPlotAreaId, false);
  busyPointerShown_ = false;
}

}  // namespace funzioni
