// The browser's plot worker: a background instance of the program computes the work (the page
// has no threads for it), under the desktop worker's rules. Work handed over while a computation
// is under way waits, taking over what earlier waiting work has not shown; when the computation
// overstays its patience, the instance is restarted (its kept results go with it) and the
// waiting work goes at once. The page's thread cannot wait, so WaitFor only looks: the worker
// wakes the window when the instance's reply has come, and when the computation under way is
// due to be abandoned. Work that is known to be quick (PlotWorkPace.h) is computed on the page's
// thread while the instance is idle, as is all work without a background instance.

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <utility>

#include "drawing/BackgroundWork.h"
#include "plot/PlotWorkCodec.h"
#include "plot/PlotWorkPace.h"
#include "plot/PlotWorker.h"

namespace funzioni {

namespace {

using Clock = std::chrono::steady_clock;
using Microseconds = std::chrono::microseconds;

// A reply is the outcome's bytes followed by how long the computation took, in microseconds
// (little-endian), so that the page can tell which work is quick.
constexpr std::size_t kTookBytes = 4;

Microseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<Microseconds>(Clock::now() - start);
}

void AppendTook(std::vector<std::uint8_t>& reply, Microseconds took) {
  const auto us = static_cast<std::uint32_t>(
      std::clamp<long long>(took.count(), 0, std::numeric_limits<std::uint32_t>::max()));
  for (std::size_t i = 0; i < kTookBytes; ++i) {
    reply.push_back(static_cast<std::uint8_t>(us >> (8 * i)));
  }
}

// The outcome's bytes and the time, or nothing when the reply is too short to hold a time.
std::optional<std::pair<std::span<const std::uint8_t>, Microseconds>> SplitTook(
    std::span<const std::uint8_t> reply) {
  if (reply.size() < kTookBytes) return std::nullopt;
  const std::size_t at = reply.size() - kTookBytes;
  std::uint32_t us = 0;
  for (std::size_t i = 0; i < kTookBytes; ++i) us |= std::uint32_t{reply[at + i]} << (8 * i);
  return std::pair{reply.first(at), Microseconds(us)};
}

// The background instance's side: each request a work, each reply its outcome. The kept
// results serve from one request to the next, as on the desktop's thread.
class PlotRequests {
 public:
  std::vector<std::uint8_t> Serve(std::span<const std::uint8_t> request) {
    const std::optional<PlotWork> work = DecodePlotWork(request);
    if (!work) return {};
    const Clock::time_point start = Clock::now();
    if (!computer_) computer_ = std::make_unique<PlotComputer>(1);
    std::optional<PlotOutcome> outcome = computer_->ComputeOrNothing(*work, std::move(spare_));
    const Microseconds took = Since(start);
    if (!outcome) outcome = PlotOutcome{};
    std::vector<std::uint8_t> reply = EncodePlotOutcome(*outcome);
    AppendTook(reply, took);
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
  void ComputeNow(const PlotWork& work, std::uint64_t number);
  void Tell(std::chrono::milliseconds after) const {
    if (wake) wake(after);
  }

  const std::chrono::milliseconds patience;
  PlotWorkQueue queue;
  bool computing = false;  // the background instance computes
  std::uint64_t computingNumber = 0;
  PlotWork computingWork;  // what the instance computes, for its time
  Clock::time_point computingSince;
  PlotWorkPace pace;
  long long abandonments = 0;
  DotLayer spare;
  Wake wake;
  std::unique_ptr<PlotComputer> here;  // made by the first work computed on the page
  BackgroundWork background;           // last: no reply comes once it is gone
};

void PlotWorker::Impl::SendQueued() {
  if (!queue.Waiting() || computing || !background.Available()) return;
  auto [work, number] = queue.Next();
  if (pace.Here(work)) {
    ComputeNow(work, number);
    return;
  }
  background.Post(EncodePlotWork(work));
  computing = true;
  computingNumber = number;
  computingWork = std::move(work);
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
  if (const auto split = SplitTook(reply)) {
    decoded = DecodePlotOutcome(split->first, std::move(spare));
    if (decoded) pace.Computed(computingWork, split->second, false);
  }
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
  pace.Abandoned(computingWork);
  background.Restart();
  computing = false;
  ++abandonments;
  SendQueued();
}

void PlotWorker::Impl::ComputeHere() {
  if (!queue.Waiting() || background.Available()) return;
  const auto [work, number] = queue.Next();
  ComputeNow(work, number);
}

void PlotWorker::Impl::ComputeNow(const PlotWork& work, std::uint64_t number) {
  const Clock::time_point start = Clock::now();
  if (!here) here = std::make_unique<PlotComputer>(1);
  std::optional<PlotOutcome> outcome = here->ComputeOrNothing(work, std::move(spare));
  pace.Computed(work, Since(start), true);
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
