// The browser's plot worker: a background instance of the program computes the work (the page
// has no threads for it), under the desktop worker's rules. Work handed over while a computation
// is under way waits, taking over what earlier waiting work has not shown; when the computation
// overstays its patience, the instance is restarted (its kept results go with it) and the
// waiting work goes at once. The page's thread cannot wait, so WaitFor only looks: the worker
// wakes the window when the instance's reply has come, and when the computation under way is
// due to be abandoned. Without a background instance the page's thread computes inside WaitFor
// and Take.

#include <algorithm>
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
  void Tell(std::chrono::milliseconds after) const {
    if (wake) wake(after);
  }

  const std::chrono::milliseconds patience;
  PlotWorkQueue queue;
  bool computing = false;  // the background instance computes
  std::uint64_t computingNumber = 0;
  Clock::time_point computingSince;
  long long abandonments = 0;
  DotLayer spare;
  Wake wake;
  std::unique_ptr<PlotComputer> here;  // only without a background instance
  BackgroundWork background;           // last: no reply comes once it is gone
};

void PlotWorker::Impl::SendQueued() {
  if (!queue.Waiting() || computing || !background.Available()) return;
  const auto [work, number] = queue.Next();
  background.Post(EncodePlotWork(work));
  computing = true;
  computingNumber = number;
  computingSince = Clock::now();
}

void PlotWorker::Impl::Arrived(std::vector<std::uint8_t> reply) {
  if (!computing) return;
  computing = false;
  if (reply.empty() && !background.Available()) {
    queue.Again();  // computed here from now on
    Tell(std::chrono::milliseconds(0));
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
  queue.Computed(std::move(*decoded), computingNumber);
  SendQueued();
  Tell(std::chrono::milliseconds(0));
}

void PlotWorker::Impl::AbandonOverdue() {
  if (!computing || !queue.Waiting() || Clock::now() < computingSince + patience) return;
  background.Restart();
  computing = false;
  ++abandonments;
  SendQueued();
}

void PlotWorker::Impl::ComputeHere() {
  if (!queue.Waiting() || background.Available()) return;
  if (!here) here = std::make_unique<PlotComputer>(1);
  const auto [work, number] = queue.Next();
  std::optional<PlotOutcome> outcome = here->ComputeOrNothing(work, std::move(spare));
  queue.Computed(outcome ? std::move(*outcome) : PlotOutcome{}, number);
}

PlotWorker::PlotWorker(unsigned /*threads*/, std::chrono::milliseconds patience)
    : impl_(std::make_unique<Impl>(patience)) {}

PlotWorker::~PlotWorker() = default;

void PlotWorker::OnWake(Wake wake) {
  impl_->wake = std::move(wake);
}

void PlotWorker::Submit(PlotWork work) {
  Impl& w = *impl_;
  w.queue.Add(std::move(work));
  w.AbandonOverdue();
  w.SendQueued();
  if (!w.computing || !w.queue.Waiting()) return;
  // The page comes back when the computation under way is due to be abandoned.
  const auto left = w.computingSince + w.patience - Clock::now();
  w.Tell(
      std::max(std::chrono::ceil<std::chrono::milliseconds>(left), std::chrono::milliseconds(0)));
}

bool PlotWorker::WaitFor(std::chrono::milliseconds /*timeout*/) {
  Impl& w = *impl_;
  w.AbandonOverdue();
  w.ComputeHere();
  return w.queue.HasOutcome() || !w.queue.Unfinished();
}

std::optional<PlotOutcome> PlotWorker::Take() {
  Impl& w = *impl_;
  w.AbandonOverdue();
  w.ComputeHere();
  return w.queue.Take();
}

bool PlotWorker::Busy() const {
  return impl_->queue.Unfinished();
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
