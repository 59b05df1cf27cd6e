// The browser's plot worker without a background instance: the page's thread computes the work
// when the window waits for it or takes it, with one thread (the page has no others).

#include <utility>

#include "plot/PlotWorker.h"

namespace funzioni {

struct PlotWorker::Impl {
  PlotComputer computer{1};
  std::optional<PlotWork> unfinished;
  std::optional<PlotOutcome> outcome;
  DotLayer spare;

  void ComputeUnfinished() {
    if (outcome || !unfinished) return;
    outcome = computer.ComputeOrNothing(*unfinished, std::move(spare));
    if (!outcome) outcome = PlotOutcome{};
  }
};

PlotWorker::PlotWorker(unsigned /*threads*/, std::chrono::milliseconds /*patience*/)
    : impl_(std::make_unique<Impl>()) {}

PlotWorker::~PlotWorker() = default;

void PlotWorker::Submit(PlotWork work) {
  Impl& w = *impl_;
  // An outcome not yet taken is of earlier work, which this replaces.
  w.outcome.reset();
  w.unfinished =
      w.unfinished ? MergePlotWork(std::move(*w.unfinished), std::move(work)) : std::move(work);
}

bool PlotWorker::WaitFor(std::chrono::milliseconds /*timeout*/) {
  impl_->ComputeUnfinished();
  return true;
}

std::optional<PlotOutcome> PlotWorker::Take() {
  Impl& w = *impl_;
  w.ComputeUnfinished();
  w.unfinished.reset();
  return std::exchange(w.outcome, std::nullopt);
}

bool PlotWorker::Busy() const {
  return impl_->unfinished.has_value();
}

bool PlotWorker::Computing() const {
  return false;
}

long long PlotWorker::Abandonments() const {
  return 0;
}

void PlotWorker::Recycle(DotLayer layer) {
  impl_->spare = std::move(layer);
}

}  // namespace funzioni
