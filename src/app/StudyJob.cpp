#include "app/StudyJob.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <utility>

#include "app/KeptIntersections.h"
#include "evaluator/ExpressionEvaluator.h"
#include "sampling/ChunkSizes.h"
#include "sampling/FunctionStudy.h"
#include "sampling/ResultRows.h"
#include "sampling/SampleXs.h"
#include "sampling/StudyCalculus.h"
#include "sampling/StudyProbe.h"

#ifndef __EMSCRIPTEN__
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

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

// Points of the shaded region from a to b: enough that each column of the plotting area has one.
constexpr int kAreaSamples = 1024;

void AnswerAsk(StudyProbe& probe, const StudyAsk& ask, const Catalogue& catalogue,
               StudyOutcome& outcome) {
  const double halfRange = std::max(std::abs(outcome.xMin), std::abs(outcome.xMax));
  if (ask.tangentAt) {
    TangentReport tangent = ReportTangent(TangentAt(probe, *ask.tangentAt), halfRange, catalogue);
    outcome.lines.insert(outcome.lines.end(), tangent.lines.begin(), tangent.lines.end());
    outcome.rays = std::move(tangent.rays);
  }
  if (!ask.areaFrom || !ask.areaTo) return;
  const float a = *ask.areaFrom;
  const float b = *ask.areaTo;
  const StudyIntegral integral = IntegralOf(probe, a, b);
  const std::vector<StudyLine> lines = ReportIntegral(integral, a, b, halfRange, catalogue);
  outcome.lines.insert(outcome.lines.end(), lines.begin(), lines.end());
  if (integral.refused || a == b) return;
  const double lo = std::min(a, b);
  const double hi = std::max(a, b);
  std::vector<float> xs;
  xs.reserve(kAreaSamples + 1);
  for (int k = 0; k <= kAreaSamples; ++k) {
    xs.push_back(static_cast<float>(lo + (hi - lo) * k / kAreaSamples));
  }
  std::vector<std::optional<double>> ys(xs.size());
  probe.AtMany(xs, ys);
  for (std::size_t k = 0; k < xs.size(); ++k) {
    if (Usable(ys[k])) outcome.area.push_back({xs[k], *ys[k]});
  }
}

// The study's lines end with the chart's, one an item of each row it shows.
std::vector<std::string> ChartLinesOf(const SignChart& chart, const std::vector<StudyLine>& lines) {
  std::size_t count = 0;
  for (const SignChartRow& row : chart.rows) count += row.Shown() ? row.items.size() : 0;
  if (count > lines.size()) return {};
  std::vector<std::string> texts;
  for (auto line = lines.end() - static_cast<std::ptrdiff_t>(count); line != lines.end(); ++line) {
    texts.push_back(line->text);
  }
  return texts;
}

}  // namespace

std::optional<StudyOutcome> ComputeStudy(const StudyRequest& request, StopToken stop) {
  // The evaluator keeps tables of its own: one for each computation, on its thread.
  ExpressionEvaluator evaluator;
  StudyOutcome outcome;
  outcome.ticket = request.ticket;
  outcome.formula = request.state.currentFormula;
  outcome.zoom = request.state.zoomValue.value;
  outcome.view = request.state.view;
  const FunctionStudy study =
      StudyFunction(evaluator, outcome.formula, outcome.zoom, outcome.view, stop);
  if (stop.stop_requested()) return std::nullopt;
  outcome.xMin = study.xMin;
  outcome.xMax = study.xMax;
  const Catalogue catalogue(request.language);
  outcome.lines = StudyLines(study, catalogue);
  outcome.chart = MakeSignChart(study);
  outcome.chartLines = ChartLinesOf(outcome.chart, outcome.lines);
  // Where the formula meets the other curves drawn (KeptIntersections.h).
  const std::vector<StudyLine> meets = IntersectionLines(evaluator, request.state, stop, catalogue);
  if (stop.stop_requested()) return std::nullopt;
  outcome.lines.insert(outcome.lines.end(), meets.begin(), meets.end());
  outcome.ask = request.ask;
  StudyProbe probe(outcome.formula, evaluator, stop);
  AnswerAsk(probe, request.ask, catalogue, outcome);
  if (stop.stop_requested()) return std::nullopt;
  if (!request.slopes) return outcome;
  const std::vector<float> xs = FormulaSampleXs(request.state);
  std::vector<std::optional<double>> ys;
  if (!ValuesAt(probe, xs, ys, stop)) return std::nullopt;
  outcome.curve = CurveSlopes(xs, ys);
  if (!RowSlopes(probe, request.state, stop, outcome.tableRows)) return std::nullopt;
  outcome.slopes = true;
  return outcome;
}

StudyOutcome FailedStudy(const StudyRequest& request, std::string_view line) noexcept {
  StudyOutcome outcome;
  outcome.ticket = request.ticket;
  outcome.zoom = request.state.zoomValue.value;
  const float r = HalfRange(outcome.zoom);
  outcome.xMin = -r;
  outcome.xMax = r;
  outcome.view = request.state.view;
  if (outcome.view) {
    outcome.xMin = outcome.view->xMin;
    outcome.xMax = outcome.view->xMax;
  }
  outcome.failed = true;
  // Memory may be what ran out: without room for the formula and the line, the outcome still
  // says that the study failed (an empty list and the failed flag).
  try {
    outcome.lines.push_back({std::string(line), std::nullopt});
    outcome.formula = request.state.currentFormula;
  } catch (...) {
  }
  return outcome;
}

std::optional<StudyOutcome> ComputeStudySafely(const StudyCompute& compute,
                                               const StudyRequest& request,
                                               StopToken stop) noexcept {
  try {
    return compute(request, std::move(stop));
  } catch (const std::bad_alloc&) {
    return FailedStudy(request, kStudyNoMemoryLine);
  } catch (...) {
    return FailedStudy(request, kStudyFailedLine);
  }
}

#ifndef __EMSCRIPTEN__

struct StudyJob::Impl {
  explicit Impl(StudyCompute work) : compute(std::move(work)), thread([this] { Loop(); }) {}
  ~Impl() {
    {
      const std::lock_guard lock(mutex);
      quit = true;
      running.request_stop();
    }
    changed.notify_all();
    thread.join();
  }

  void Loop();

  const StudyCompute compute;
  mutable std::mutex mutex;
  std::condition_variable changed;
  std::optional<StudyRequest> waiting;
  std::optional<StudyOutcome> done;
  StopSource running;  // of the computation under way
  std::function<void()> wake;
  int lastTicket = 0;
  bool busy = false;
  bool quit = false;
  std::thread thread;  // last: it starts once everything it uses is built
};

void StudyJob::Impl::Loop() {
  std::unique_lock lock(mutex);
  for (;;) {
    changed.wait(lock, [this] { return quit || waiting; });
    if (quit) return;
    std::optional<StudyRequest> request;
    request.swap(waiting);
    running = StopSource();
    const StopToken stop = running.get_token();
    lock.unlock();
    std::optional<StudyOutcome> outcome = ComputeStudySafely(compute, *request, stop);
    lock.lock();
    // Abandoned, cancelled or replaced meanwhile: nobody waits for it.
    if (!outcome || stop.stop_requested() || outcome->ticket != lastTicket) continue;
    done = std::move(outcome);
    changed.notify_all();
    if (!wake) continue;
    const std::function<void()> told = wake;
    lock.unlock();
    told();
    lock.lock();
  }
}

StudyJob::StudyJob(StudyCompute compute) : impl_(std::make_unique<Impl>(std::move(compute))) {}

StudyJob::~StudyJob() = default;

void StudyJob::OnWake(std::function<void()> wake) {
  const std::lock_guard lock(impl_->mutex);
  impl_->wake = std::move(wake);
}

void StudyJob::Submit(StudyRequest request) {
  Impl& d = *impl_;
  {
    const std::lock_guard lock(d.mutex);
    d.lastTicket = request.ticket;
    d.waiting = std::move(request);
    d.done.reset();
    d.busy = true;
    d.running.request_stop();
  }
  d.changed.notify_all();
}

void StudyJob::Cancel() {
  Impl& d = *impl_;
  const std::lock_guard lock(d.mutex);
  d.waiting.reset();
  d.done.reset();
  d.busy = false;
  ++d.lastTicket;
  d.running.request_stop();
}

std::optional<StudyOutcome> StudyJob::Take() {
  Impl& d = *impl_;
  const std::lock_guard lock(d.mutex);
  if (!d.done) return std::nullopt;
  std::optional<StudyOutcome> outcome = std::move(d.done);
  d.done.reset();
  d.busy = false;
  return outcome;
}

bool StudyJob::Busy() const {
  const std::lock_guard lock(impl_->mutex);
  return impl_->busy;
}

bool StudyJob::WaitFor(std::chrono::milliseconds timeout) {
  Impl& d = *impl_;
  std::unique_lock lock(d.mutex);
  return d.changed.wait_for(lock, timeout, [&d] { return d.done.has_value() || !d.busy; });
}

#endif

}  // namespace funzioni
