#pragma once

// What the plotting area hands over to be computed apart from the window (a whole picture, the
// formula over the picture, a results table), what comes back, and the computation itself. It
// runs wherever the worker puts it: the desktop's own thread, or the browser's background
// instance of the program.

#include <optional>
#include <string>
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
