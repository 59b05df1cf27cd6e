// The browser's plot worker: a background instance of the program computes the work (the page
// has no threads for it), under the desktop worker's rules. Work handed over while a computation
// is under way waits, taking over what earlier waiting work has not shown; when the computation
// overstays its patience, the instance is restarted (its kept results go with it) and the
// waiting work goes at once. The page's thread cannot wait, so WaitFor only looks: the window
// polls on its timer until the outcome has come. Without a background instance the page's
// thread computes inside WaitFor and Take.

#include <cstdio>
#include <memory>
#include <utility>

#include "drawing/BackgroundWork.h"
#include "plot/PlotWorkCodec.h"
#include "plot/PlotWorker.h"

namespace funzioni {

namespace {

using Clock = std::chrono::steady_clock;

// The background instance's side: each request a work, each reply its outcome. The kept
// results serve from one request to the next, as on the desktop's thread.
class PlotRequests {
 public:
  std::vector<std::uint8_t> Serve(std::span<const std::uint8_t> request) {
    const std::optional<PlotWork> work = DecodePlotWork(request);
    if (!work) return {};
    if (!computer_) computer_ = std::make_unique<PlotComputer>(1);
    std::optional<PlotOutcome> outcome = computer_->ComputeOrNothing(*work, std::move(spare_));
    if (!outcome) outcome = PlotOutcome{};
    std::vector<std::uint8_t> reply = EncodePlotOutcome(*outcome);
    if (outcome->whole) spare_ = std::move(outcome->whole->layer);
    return reply;
  }

 private:
  std::unique_ptr<PlotComputer> computer_;  // made by the first request: the page needs none
  DotLayer spare_;
};

// Registered in every instance: only the background one is ever asked.
const bool kPlotRequestsServed = [] {
  ServeBackgroundWork(
      [requests = std::make_shared<PlotRequests>()](std::span<const std::uint8_t> request) {
        return requests->Serve(request);
      });
  return true;
}();

}  // namespace

struct PlotWorker::Impl {
  explicit Impl(std::chrono::milliseconds patience)
      : patience(patience),
        background([this](std::vector<std::uint8_t> reply) { Arrived(std::move(reply)); }) {}

  void SendQueued();
  void Arrived(std::vector<std::uint8_t> reply);
  void AbandonOverdue();
  // Without a background instance: the waiting work computed here and now.
  void ComputeHere();

  const std::chrono::milliseconds patience;
  std::optional<PlotWork> unfinished;  // everything handed over whose outcome is not yet taken
  std::uint64_t generation = 0;        // of the work handed over last
  bool queued = false;                 // unfinished waits to be computed
  bool computing = false;              // the background instance computes
  std::uint64_t computingGeneration = 0;
  Clock::time_point computingSince;
  std::optional<PlotOutcome> outcome;
  std::uint64_t outcomeGeneration = 0;
  long long abandonments = 0;
  DotLayer spare;
  std::unique_ptr<PlotComputer> here;  // only without a background instance
  BackgroundWork background;           // last: no reply comes once it is gone
};

void PlotWorker::Impl::SendQueued() {
  if (!queued || computing || !background.Available()) return;
  background.Post(EncodePlotWork(*unfinished));
  queued = false;
  computing = true;
  computingGeneration = generation;
  computingSince = Clock::now();
}

void PlotWorker::Impl::Arrived(std::vector<std::uint8_t> reply) {
  if (!computing) return;
  computing = false;
  if (reply.empty() && !background.Available()) {
    queued = unfinished.has_value();  // computed here from now on
    return;
  }
  std::optional<PlotOutcome> decoded;
  if (!reply.empty()) decoded = DecodePlotOutcome(reply, std::move(spare));
  if (!decoded) {
    // The picture and the table stay as they are; a fresh instance takes the next work.
    std::fprintf(stderr, "funzioni: the plot could not be computed\n");
    decoded = PlotOutcome{};
    background.Restart();
  }
  outcome = std::move(decoded);
  outcomeGeneration = computingGeneration;
  SendQueued();
}

void PlotWorker::Impl::AbandonOverdue() {
  if (!computing || !queued || Clock::now() < computingSince + patience) return;
  background.Restart();
  computing = false;
  ++abandonments;
  SendQueued();
}

void PlotWorker::Impl::ComputeHere() {
  if (!queued || background.Available()) return;
  if (!here) here = std::make_unique<PlotComputer>(1);
  queued = false;
  outcome = here->ComputeOrNothing(*unfinished, std::move(spare));
  if (!outcome) outcome = PlotOutcome{};
  outcomeGeneration = generation;
}

PlotWorker::PlotWorker(unsigned /*threads*/, std::chrono::milliseconds patience)
    : impl_(std::make_unique<Impl>(patience)) {}

PlotWorker::~PlotWorker() = default;

void PlotWorker::Submit(PlotWork work) {
  Impl& w = *impl_;
  w.unfinished =
      w.unfinished ? MergePlotWork(std::move(*w.unfinished), std::move(work)) : std::move(work);
  ++w.generation;
  w.queued = true;
  w.AbandonOverdue();
  w.SendQueued();
}

bool PlotWorker::WaitFor(std::chrono::milliseconds /*timeout*/) {
  Impl& w = *impl_;
  w.AbandonOverdue();
  w.ComputeHere();
  return w.outcome || !w.unfinished;
}

std::optional<PlotOutcome> PlotWorker::Take() {
  Impl& w = *impl_;
  w.AbandonOverdue();
  w.ComputeHere();
  if (!w.outcome) return std::nullopt;
  if (w.outcomeGeneration == w.generation) {
    w.unfinished.reset();
  } else if (w.unfinished && w.unfinished->table && w.outcome->table &&
             w.unfinished->tableTicket == w.outcome->tableTicket) {
    w.unfinished->table.reset();  // shown now; the later work need not show it again
  }
  return std::exchange(w.outcome, std::nullopt);
}

bool PlotWorker::Busy() const {
  return impl_->unfinished.has_value();
}

bool PlotWorker::Computing() const {
  return impl_->computing;
}

long long PlotWorker::Abandonments() const {
  return impl_->abandonments;
}

void PlotWorker::Recycle(DotLayer layer) {
  impl_->spare = std::move(layer);
}

}  // namespace funzioni
