#pragma once

// The plotting area's computations on a thread of their own, so that the window keeps handling
// its events while a long redraw is worked out. The event thread hands over what is to be drawn
// (with a copy of the state), goes on, and later takes what was computed and sets it on the area.
// Work handed over while earlier work is unfinished takes over whatever part of it has not been
// shown yet (a whole picture, a results table). The computation under way for the earlier work
// goes on for a short while (a drag then shows a picture at every step it can) and is abandoned
// at its next run of samples once it has run longer than that. Everything that computes the dots
// (evaluators, kept rows and dots, helper threads) belongs to this thread alone.

#include <chrono>
#include <condition_variable>
#include <cstdint>
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
  // How long a computation may go on once newer work waits: most redraws end sooner.
  static constexpr std::chrono::milliseconds kPatience{100};

  // threads: how many threads compute, this worker's included; 0 means one per core.
  explicit PlotWorker(unsigned threads = 0, std::chrono::milliseconds patience = kPatience);
  // Abandons unfinished work and waits for the thread to end.
  ~PlotWorker();
  PlotWorker(const PlotWorker&) = delete;
  PlotWorker& operator=(const PlotWorker&) = delete;

  void Submit(PlotWork work);
  // Waits until an outcome is ready or no work is left, or the time is up; true unless the time
  // ran out. Abandons a computation that has overstayed its patience meanwhile.
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
  void Loop(std::stop_token quit);
  std::optional<PlotOutcome> Compute(const PlotWork& work, DotLayer layer, std::stop_token stop);
  // When newer work waits, the time at which the computation under way is abandoned.
  std::optional<std::chrono::steady_clock::time_point> OverdueAtLocked() const;
  void AbandonOverdueLocked();

  ExpressionEvaluator evaluator_;
  PlotAccelerator accelerator_;

  const std::chrono::milliseconds patience_;
  mutable std::mutex mutex_;
  std::condition_variable_any changed_;
  std::optional<PlotWork> unfinished_;  // everything handed over whose outcome is not yet taken
  std::uint64_t generation_ = 0;        // of the work handed over last
  bool queued_ = false;                 // unfinished_ waits to be computed
  bool computing_ = false;
  std::chrono::steady_clock::time_point computingSince_;
  std::optional<PlotOutcome> outcome_;
  std::uint64_t outcomeGeneration_ = 0;
  long long abandonments_ = 0;
  std::stop_source abandon_;  // of the computation under way
  DotLayer spare_;
  std::jthread thread_;  // last: it ends before anything it uses
};

}  // namespace funzioni
