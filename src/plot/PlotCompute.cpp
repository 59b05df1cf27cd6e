#include "plot/PlotCompute.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "plot/PlotMapping.h"
#include "sampling/ResultRows.h"

namespace funzioni {

PlotWork MergePlotWork(PlotWork earlier, PlotWork later) {
  using Picture = PlotWork::Picture;
  // A picture not yet shown is drawn whole from the later state, which includes everything a
  // formula drawn over it would add.
  if (later.picture == Picture::FormulaOver && earlier.picture == Picture::Whole) {
    later.picture = Picture::Whole;
  }
  if (later.picture == Picture::None) {
    later.picture = earlier.picture;
    later.state = std::move(earlier.state);
    later.size = earlier.size;
  }
  if (!later.table) {
    later.table = std::move(earlier.table);
    later.tableTicket = earlier.tableTicket;
  }
  return later;
}

void PlotWorkQueue::Add(PlotWork work) {
  unfinished_ =
      unfinished_ ? MergePlotWork(std::move(*unfinished_), std::move(work)) : std::move(work);
  ++added_;
  waiting_ = true;
}

std::pair<PlotWork, std::uint64_t> PlotWorkQueue::Next() {
  waiting_ = false;
  return {*unfinished_, added_};
}

void PlotWorkQueue::Computed(PlotOutcome outcome, std::uint64_t number) {
  outcome_ = std::move(outcome);
  outcomeNumber_ = number;
}

std::optional<PlotOutcome> PlotWorkQueue::Take() {
  if (!outcome_) return std::nullopt;
  if (outcomeNumber_ == added_) {
    unfinished_.reset();
  } else if (unfinished_ && unfinished_->table && outcome_->table &&
             unfinished_->tableTicket == outcome_->tableTicket) {
    unfinished_->table.reset();  // shown now; the later work need not show it again
  }
  return std::exchange(outcome_, std::nullopt);
}

std::optional<PlotOutcome> PlotComputer::Compute(const PlotWork& work, DotLayer layer,
                                                 StopToken stop) {
  PlotOutcome outcome;
  outcome.picture = work.picture;
  outcome.zoom = work.state.zoomValue.value;
  // The table first, as it is shown first: it has a hundredth of the curve's samples.
  if (work.table) {
    const std::string& formula = work.table->currentFormula;
    outcome.tableRows =
        FormulaTableRows(*work.table, evaluator_, accelerator_.Sampler(), formula, stop);
    if (stop.stop_requested()) return std::nullopt;
    outcome.table = formula;
    outcome.tableTicket = work.tableTicket;
  }
  switch (work.picture) {
    case PlotWork::Picture::None:
      break;
    case PlotWork::Picture::Whole:
      outcome.whole =
          CollectCurveDots(work.state, work.size, evaluator_, accelerator_, std::move(layer), stop);
      if (!outcome.whole) return std::nullopt;
      break;
    case PlotWork::Picture::FormulaOver: {
      const PlotMapping mapping = MakePlotMapping(work.size, work.state);
      const FormulaDots& dots = accelerator_.FormulaCache().Dots(
          evaluator_, accelerator_.Sampler(), work.state, mapping, work.state.currentFormula, stop);
      if (stop.stop_requested()) return std::nullopt;
      outcome.over = dots;
      break;
    }
  }
  return outcome;
}

std::optional<PlotOutcome> PlotComputer::ComputeOrNothing(const PlotWork& work, DotLayer layer,
                                                          StopToken stop) {
  try {
    return Compute(work, std::move(layer), stop);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "funzioni: the plot could not be computed: %s\n", failure.what());
    return PlotOutcome{};
  }
}

}  // namespace funzioni
