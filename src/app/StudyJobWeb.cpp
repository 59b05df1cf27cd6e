// The page's study job: a background instance of the program of its own computes the study, so
// that the page keeps answering however long it takes. Newer work (or a cancel) restarts the
// instance, which abandons the computation under way at once. A reply that does not come back
// as an outcome (the instance aborted: memory exhausted, say) becomes the study's failure line
// and the next work goes to a fresh instance. The instance is started with the first work, so
// that a page that never opens the study spends nothing on it. Without background instances the
// page's own thread computes, when the work is handed over.

#include <utility>

#include "app/StudyJob.h"
#include "app/StudyJobCodec.h"
#include "drawing/BackgroundWork.h"

namespace funzioni {

namespace {

// The background instance's side.
std::vector<std::uint8_t> ServeStudy(std::span<const std::uint8_t> bytes) {
  const std::optional<StudyRequest> request = DecodeStudyRequest(bytes);
  if (!request) return {};
  const std::optional<StudyOutcome> outcome = ComputeStudySafely(ComputeStudy, *request, {});
  return outcome ? EncodeStudyOutcome(*outcome) : std::vector<std::uint8_t>{};
}

// Registered in every instance: only the study's background instances are ever asked.
const bool kStudyRequestsServed = [] {
  ServeBackgroundWork(BackgroundService::Study, ServeStudy);
  return true;
}();

}  // namespace

struct StudyJob::Impl {
  explicit Impl(StudyCompute work) : compute(std::move(work)) {}

  void Arrived(std::vector<std::uint8_t> reply);
  void ComputeHere(const StudyRequest& request);
  void Done(StudyOutcome outcome) {
    done = std::move(outcome);
    if (wake) wake();
  }

  const StudyCompute compute;  // only where no background instance can run
  std::optional<StudyOutcome> done;
  std::function<void()> wake;
  std::optional<StudyRequest> sent;  // the request the instance computes
  bool busy = false;
  std::optional<BackgroundWork> background;  // last: no reply comes once it is gone
};

void StudyJob::Impl::ComputeHere(const StudyRequest& request) {
  std::optional<StudyOutcome> outcome = ComputeStudySafely(compute, request, {});
  if (outcome) Done(std::move(*outcome));
}

void StudyJob::Impl::Arrived(std::vector<std::uint8_t> reply) {
  if (!sent) return;
  const StudyRequest request = std::move(*sent);
  sent.reset();
  if (reply.empty() && !background->Available()) {
    ComputeHere(request);  // and so from now on
    return;
  }
  std::optional<StudyOutcome> outcome = DecodeStudyOutcome(reply);
  if (!outcome || outcome->ticket != request.ticket) {
    // The instance failed or is spent: a fresh one takes the next work.
    background->Restart();
    Done(FailedStudy(request, kStudyFailedLine));
    return;
  }
  Done(std::move(*outcome));
}

StudyJob::StudyJob(StudyCompute compute) : impl_(std::make_unique<Impl>(std::move(compute))) {}

StudyJob::~StudyJob() = default;

void StudyJob::OnWake(std::function<void()> wake) {
  impl_->wake = std::move(wake);
}

void StudyJob::Submit(StudyRequest request) {
  Impl& d = *impl_;
  d.done.reset();
  d.busy = true;
  if (!d.background) {
    d.background.emplace(BackgroundService::Study,
                         [&d](std::vector<std::uint8_t> reply) { d.Arrived(std::move(reply)); });
  }
  if (!d.background->Available()) {
    d.ComputeHere(request);
    return;
  }
  if (d.sent) d.background->Restart();  // the computation under way is abandoned
  d.background->Post(EncodeStudyRequest(request));
  d.sent = std::move(request);
}

void StudyJob::Cancel() {
  Impl& d = *impl_;
  d.done.reset();
  d.busy = false;
  if (!d.sent) return;
  d.sent.reset();
  d.background->Restart();
}

std::optional<StudyOutcome> StudyJob::Take() {
  Impl& d = *impl_;
  std::optional<StudyOutcome> outcome = std::move(d.done);
  d.done.reset();
  if (outcome) d.busy = false;
  return outcome;
}

bool StudyJob::Busy() const {
  return impl_->busy;
}

bool StudyJob::WaitFor(std::chrono::milliseconds /*timeout*/) {
  return impl_->done.has_value() || !impl_->busy;
}

}  // namespace funzioni
