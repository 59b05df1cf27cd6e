#pragma once

// What the plotting area hands over to be computed apart from the window (a whole picture, the
// formula over the picture, a results table), what comes back, and the computation itself. It
// runs wherever the worker puts it: the desktop's own thread, or the browser's background
// instance of the program.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "drawing/Geometry.h"
#include "evaluator/ExpressionEvaluator.h"
#include "plot/Curves.h"
#include "plot/DotLayer.h"
#include "plot/FormulaDots.h"
#include "plot/PlotAccelerator.h"
#include "sampling/StopToken.h"
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

// What a plot worker holds between the window and the computation, under the same rules on the
// desktop and in the browser: work handed over while earlier work is unfinished takes over what
// that has not shown, and the outcome of the newest computation waits to be taken. Not locked:
// the worker guards it.
class PlotWorkQueue {
 public:
  void Add(PlotWork work);
  // True from Add until Take has returned the outcome of the work added last.
  bool Unfinished() const { return unfinished_.has_value(); }
  // Work waits to be computed.
  bool Waiting() const { return waiting_; }
  // The waiting work and the number that comes back with its outcome; only while Waiting().
  std::pair<PlotWork, std::uint64_t> Next();
  // The unfinished work waits again (its computation came to nothing).
  void Again() { waiting_ = Unfinished(); }
  void Computed(PlotOutcome outcome, std::uint64_t number);
  bool HasOutcome() const { return outcome_.has_value(); }
  // The newest outcome: of the work added last (which is then finished) or of earlier work that
  // later work replaced while it was being computed.
  std::optional<PlotOutcome> Take();

 private:
  std::optional<PlotWork> unfinished_;  // everything added whose outcome is not yet taken
  std::uint64_t added_ = 0;             // the number of the work added last
  bool waiting_ = false;
  std::optional<PlotOutcome> outcome_;
  std::uint64_t outcomeNumber_ = 0;
};

// The evaluator and the kept results that make one computation after another fast. One thread
// at a time uses it.
class PlotComputer {
 public:
  // threads: how many threads compute, the caller's included; 0 means one per core.
  explicit PlotComputer(unsigned threads = 0) : accelerator_(threads) {}

  // The outcome of the work, its dots collected into the given layer (passed in so that its
  // memory serves again); empty when a stop requested through stop ended the work first.
  std::optional<PlotOutcome> Compute(const PlotWork& work, DotLayer layer, StopToken stop = {});

  // The same, but a failure of the computation is told on stderr and gives an empty outcome
  // (the picture and the table stay as they are; the window goes on).
  std::optional<PlotOutcome> ComputeOrNothing(const PlotWork& work, DotLayer layer,
                                              StopToken stop = {});

 private:
  ExpressionEvaluator evaluator_;
  PlotAccelerator accelerator_;
};

}  // namespace funzioni
