#pragma once

// The plotting area's computations on a thread of their own, so that the window keeps handling
// its events while a long redraw is worked out. The event thread hands over what is to be drawn
// (with a copy of the state), goes on, and later takes what was computed and sets it on the area.
// Work handed over while earlier work is still unfinished replaces it: the earlier computation is
// abandoned at its next run of samples, and whatever part of it has not been shown yet (a whole
// picture, a results table) is taken over by the new work. Everything that computes the dots
// (evaluators, kept rows and dots, helper threads) belongs to this thread alone.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "drawing/Geometry.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/Curves.h"
#include "plot/FormulaDots.h"
#include "plot/PlotAccelerator.h"
#include "state/PlotState.h"

namespace funzioni {

struct PlotWork {
  enum class Picture {
    None,         // the picture stays as it is
    Whole,        // the whole area drawn again from the state
    FormulaOver,  // the state's formula drawn over the picture the area shows
  };
  Picture picture = Picture::None;
  PlotState state;  // what the picture is of
  PixelSize size;   // the plotting area's
  // The results table of this state's formula at its zoom, when one is to be shown; the ticket
  // comes back with the rows, so that the caller can tell whether the table is still wanted.
  std::optional<PlotState> table;
  int tableTicket = 0;
};

// Work handed over later replaces earlier unfinished work and takes over what it has not shown.
PlotWork MergePlotWork(PlotWork earlier, PlotWork later);

struct PlotOutcome {
  PlotWork::Picture picture = PlotWork::Picture::None;
  float zoom = 0;                    // of the whole picture
  std::optional<CurveDots> whole;    // Picture::Whole
  std::optional<FormulaDots> over;   // Picture::FormulaOver
  std::optional<std::string> table;  // the table's heading (the formula), when there is a table
  std::vector<std::string> tableRows;
  int tableTicket = 0;
};

class PlotWorker {
 public:
  // threads: how many threads compute, this worker's included; 0 means one per core.
  explicit PlotWorker(unsigned threads = 0);
  // Abandons unfinished work and waits for the thread to end.
  ~PlotWorker();
  PlotWorker(const PlotWorker&) = delete;
  PlotWorker& operator=(const PlotWorker&) = delete;

  void Submit(PlotWork work);
  // Waits until the work handed over has been computed or the time is up; true when computed
  // (or when there is none).
  bool WaitFor(std::chrono::milliseconds timeout);
  // The outcome of the work handed over, once computed; it is then finished.
  std::optional<PlotOutcome> Take();
  // True from Submit until Take has returned the outcome.
  bool Busy() const;
  // A layer whose dots have been shown, so that its memory serves the next computation.
  void Recycle(DotLayer layer);

 private:
  void Loop(std::stop_token quit);
  std::optional<PlotOutcome> Compute(const PlotWork& work, DotLayer layer, std::stop_token stop);

  ExpressionEvaluator evaluator_;
  PlotAccelerator accelerator_;

  mutable std::mutex mutex_;
  std::condition_variable_any changed_;
  std::optional<PlotWork> unfinished_;  // handed over, outcome not yet taken
  bool queued_ = false;                 // unfinished_ waits to be computed
  std::optional<PlotOutcome> outcome_;
  std::stop_source abandon_;
  DotLayer spare_;
  std::jthread thread_;  // last: it ends before anything it uses
};

}  // namespace funzioni
