#pragma once

// The plotting area's computations on a thread of their own, so that the window keeps handling
// its events while a long redraw is worked out. The event thread hands over what is to be drawn
// (with a copy of the state), goes on, and takes what was computed when the worker wakes it, then
// sets it on the area. Work handed over while earlier work is unfinished takes over whatever part
// of it has not been shown yet (a whole picture, a results table). The computation under way for
// the earlier work goes on for a short while (a drag then shows a picture at every step it can);
// once it has run longer than that, the worker itself stops it at its next run of samples.
// Everything that computes the dots (evaluators, kept rows and dots, helper threads) belongs to
// this thread alone. In the browser the same is done by a background instance of the program,
// which is restarted to abandon.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "plot/DotLayer.h"
#include "plot/PlotCompute.h"

namespace funzioni {

class PlotWorker {
 public:
  // How long a computation may go on once newer work waits: most redraws end sooner.
  static constexpr std::chrono::milliseconds kPatience{100};

  // threads: how many threads compute, this worker's included; 0 means one per core.
  explicit PlotWorker(unsigned threads = 0, std::chrono::milliseconds patience = kPatience);
  // Abandons unfinished work and waits for the thread to end.
  ~PlotWorker();
  PlotWorker(const PlotWorker&) = delete;
  PlotWorker& operator=(const PlotWorker&) = delete;

  // How the worker asks the window's thread to look at it (WaitFor, Take) after the given time,
  // from whichever thread it is on: at once when an outcome is ready to be taken, and in the
  // browser when a computation overstays its patience (only the page's thread can end it there).
  // It must not call back into the worker.
  using Wake = std::function<void(std::chrono::milliseconds after)>;
  void OnWake(Wake wake);

  void Submit(PlotWork work);
  // Waits until an outcome is ready or no work is left, or the time is up; true unless the time
  // ran out. The browser's page cannot wait: there it only looks.
  bool WaitFor(std::chrono::milliseconds timeout);
  // The newest outcome computed, when there is one: of the work handed over last (which is then
  // finished) or of earlier work that the last replaced while it was being computed.
  std::optional<PlotOutcome> Take();
  // True from Submit until Take has returned the outcome of the work handed over last.
  bool Busy() const;
  // True while the thread computes.
  bool Computing() const;
  // How many computations were abandoned for later work.
  long long Abandonments() const;
  // A layer whose dots have been shown, so that its memory serves the next computation.
  void Recycle(DotLayer layer);

 private:
  // The desktop's thread (PlotWorkerThread.cpp) or the browser's background instance
  // (PlotWorkerWeb.cpp).
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace funzioni
