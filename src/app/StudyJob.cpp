#include "app/StudyJob.h"

#include <chrono>
#include <cmath>

#include "evaluator/ExpressionEvaluator.h"
#include "sampling/ChunkSizes.h"
#include "sampling/ResultRows.h"
#include "sampling/SampleXs.h"
#include "sampling/StudyProbe.h"

namespace funzioni {

namespace {

// The values at xs a block at a time; false once stopped.
bool ValuesAt(StudyProbe& probe, std::span<const float> xs, std::vector<std::optional<double>>& out,
              const StopToken& stop) {
  out.assign(xs.size(), std::nullopt);
  for (std::size_t at = 0; at < xs.size(); at += kStudyValuesPerLook) {
    if (stop.stop_requested()) return false;
    const std::size_t n = std::min(kStudyValuesPerLook, xs.size() - at);
    probe.AtMany(xs.subspan(at, n), std::span(out).subspan(at, n));
  }
  return true;
}

bool Usable(const std::optional<double>& v) {
  return v && std::abs(*v) < kStudyHuge;
}

// Central differences of neighbouring samples: where one of the two has no value, none.
std::vector<SlopeDot> CurveSlopes(std::span<const float> xs,
                                  const std::vector<std::optional<double>>& ys) {
  std::vector<SlopeDot> dots;
  for (std::size_t i = 1; i + 1 < xs.size(); ++i) {
    if (!Usable(ys[i - 1]) || !Usable(ys[i + 1]) || !Usable(ys[i])) continue;
    const double dx = static_cast<double>(xs[i + 1]) - xs[i - 1];
    if (dx <= 0) continue;
    dots.push_back({xs[i], (*ys[i + 1] - *ys[i - 1]) / dx});
  }
  return dots;
}

// At each row x, the same difference over one sample step on either side.
bool RowSlopes(StudyProbe& probe, const PlotState& state, const StopToken& stop,
               std::vector<RowSlope>& out) {
  const std::vector<float> rows = ResultSampleXs(state);
  const float h = FormulaSampleStep(state);
  std::vector<float> sides;
  sides.reserve(rows.size() * 2);
  for (const float x : rows) {
    sides.push_back(x - h);
    sides.push_back(x + h);
  }
  std::vector<std::optional<double>> values;
  if (!ValuesAt(probe, sides, values, stop)) return false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& left = values[2 * i];
    const auto& right = values[2 * i + 1];
    const double dx = static_cast<double>(sides[2 * i + 1]) - sides[2 * i];
    if (!Usable(left) || !Usable(right) || dx <= 0) continue;
    std::string x = ResultNumberText(rows[i]);
    if (!x.empty() && x.front() == ' ') x.erase(0, 1);  // the blank that stands for a plus sign
    out.push_back({std::move(x), (*right - *left) / dx});
  }
  return true;
}

}  // namespace

std::optional<StudyOutcome> ComputeStudy(const StudyRequest& request, StopToken stop) {
  // The evaluator keeps tables of its own: one for each computation, on its thread.
  ExpressionEvaluator evaluator;
  StudyOutcome outcome;
  outcome.ticket = request.ticket;
  outcome.formula = request.state.currentFormula;
  outcome.zoom = request.state.zoomValue.value;
  outcome.study = StudyFunction(evaluator, outcome.formula, outcome.zoom, stop);
  if (stop.stop_requested()) return std::nullopt;
  if (!request.slopes) return outcome;
  StudyProbe probe(outcome.formula, evaluator);
  const std::vector<float> xs = FormulaSampleXs(request.state);
  std::vector<std::optional<double>> ys;
  if (!ValuesAt(probe, xs, ys, stop)) return std::nullopt;
  outcome.curve = CurveSlopes(xs, ys);
  if (!RowSlopes(probe, request.state, stop, outcome.tableRows)) return std::nullopt;
  outcome.slopes = true;
  return outcome;
}

#ifdef __EMSCRIPTEN__

// The page has no threads of the program's own: the work is done when it is handed over.
StudyJob::StudyJob() = default;
StudyJob::~StudyJob() = default;

void StudyJob::Submit(StudyRequest request) {
  lastTicket_ = request.ticket;
  done_ = ComputeStudy(request);
  busy_ = true;
}

#else

StudyJob::StudyJob() : thread_([this] { Loop(); }) {}

StudyJob::~StudyJob() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
    running_.request_stop();
  }
  wake_.notify_all();
  thread_.join();
}

void StudyJob::Submit(StudyRequest request) {
  {
    const std::lock_guard lock(mutex_);
    lastTicket_ = request.ticket;
    waiting_ = std::move(request);
    done_.reset();
    busy_ = true;
    running_.request_stop();
  }
  wake_.notify_all();
}

void StudyJob::Loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || waiting_; });
    if (quit_) return;
    const StudyRequest request = std::move(*waiting_);
    waiting_.reset();
    running_ = StopSource();
    const StopToken stop = running_.get_token();
    lock.unlock();
    std::optional<StudyOutcome> outcome = ComputeStudy(request, stop);
    lock.lock();
    if (outcome && outcome->ticket == lastTicket_) done_ = std::move(outcome);
    wake_.notify_all();
  }
}

#endif

void StudyJob::Cancel() {
  const std::lock_guard lock(mutex_);
  waiting_.reset();
  done_.reset();
  busy_ = false;
  ++lastTicket_;
  running_.request_stop();
}

std::optional<StudyOutcome> StudyJob::Take() {
  const std::lock_guard lock(mutex_);
  if (!done_) return std::nullopt;
  std::optional<StudyOutcome> outcome = std::move(done_);
  done_.reset();
  busy_ = false;
  return outcome;
}

bool StudyJob::Busy() const {
  const std::lock_guard lock(mutex_);
  return busy_;
}

bool StudyJob::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return wake_.wait_for(lock, timeout, [this] { return done_.has_value() || !busy_; });
}

}  // namespace funzioni
