#pragma once

// The study of the typed formula computed away from the event thread, so that the window never
// waits for it: on a thread of its own on the desktop, in a background instance of the program in
// the page (StudyJobWeb.cpp). Work handed over while earlier work is being computed abandons the
// earlier at once. When an outcome is ready the job wakes the window, which then takes it. A
// failure of the computation (an exception, memory exhausted, in the page a background instance
// that aborted) ends as an outcome with one line that says so, never as the end of the program.
// With the slopes asked for, it also works out f'(x) from the formula's values: at every sample of
// the plotted curve, from its two neighbouring samples, and at every row of the results table.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/SignChart.h"
#include "app/StudyReport.h"
#include "sampling/StopToken.h"
#include "state/PlotState.h"
#include "text/Language.h"

namespace funzioni {

// The line shown in place of the study when its computation failed.
inline constexpr std::string_view kStudyFailedLine =
    "Lo studio non \xC3\xA8 riuscito: errore durante il calcolo.";
inline constexpr std::string_view kStudyNoMemoryLine =
    "Lo studio non \xC3\xA8 riuscito: memoria esaurita.";

// What the pupil asked of the study window beyond the study: the tangent at x0, the integral and
// the area from a to b.
struct StudyAsk {
  std::optional<float> tangentAt;
  std::optional<float> areaFrom;  // the area is asked for when both ends are there
  std::optional<float> areaTo;
  bool operator==(const StudyAsk&) const = default;
};

struct StudyRequest {
  int ticket = 0;   // given back with the outcome, so the caller knows which request it answers
  PlotState state;  // its formula, zoom and step
  bool slopes = false;
  StudyAsk ask = {};
  Language language = Language::Italian;  // of the lines
};

// The region of the asked area as the plot shades it: f's value at points from a to b in order
// (none where f has no value).
struct AreaSample {
  float x = 0;
  double y = 0;
};

struct SlopeDot {
  float x = 0;
  double slope = 0;
};

// f' at a row of the results table, the row's x written as the table writes it.
struct RowSlope {
  std::string x;
  double slope = 0;
};

// What the study window shows of a request: the range studied and the study's lines (or the one
// line of a failure), with the slopes when they were asked for.
struct StudyOutcome {
  int ticket = 0;
  std::string formula;
  float zoom = 0;
  double xMin = 0;
  double xMax = 0;
  std::optional<PlotView> view;  // the view studied, when a gesture moved it
  std::vector<StudyLine> lines;
  bool failed = false;                  // lines holds the failure's line alone
  bool slopes = false;                  // the two lists below were computed
  std::vector<SlopeDot> curve;          // at the plot's samples that have both neighbours
  std::vector<RowSlope> tableRows;      // at the results table's rows where the slope is known
  StudyAsk ask;                         // what was asked: its lines end the list
  std::vector<StudyRay> rays;           // the tangent or the half-tangents asked for
  std::vector<AreaSample> area;         // the shaded region, when its integral was computed
  SignChart chart;                      // of the study (empty rows for a failure)
  std::vector<std::string> chartLines;  // its lines among lines, as the screen reader reads it
};

// What the job computes for one request; abandoned (nothing) once stop is requested. It may
// throw (memory exhausted): the job turns that into FailedStudy.
std::optional<StudyOutcome> ComputeStudy(const StudyRequest& request, StopToken stop = {});
// The outcome of a request whose computation failed: its range and the line that says why.
StudyOutcome FailedStudy(const StudyRequest& request, std::string_view line) noexcept;
// ComputeStudy with every failure turned into FailedStudy.
using StudyCompute =
    std::function<std::optional<StudyOutcome>(const StudyRequest& request, StopToken stop)>;
std::optional<StudyOutcome> ComputeStudySafely(const StudyCompute& compute,
                                               const StudyRequest& request,
                                               StopToken stop) noexcept;

class StudyJob {
 public:
  // compute: what the work is (tests give their own); ComputeStudy by default.
  explicit StudyJob(StudyCompute compute = ComputeStudy);
  // Abandons the work under way and waits for it to end.
  ~StudyJob();
  StudyJob(const StudyJob&) = delete;
  StudyJob& operator=(const StudyJob&) = delete;

  // Called, from whichever thread computed it, each time an outcome is ready to be taken. It
  // must not call back into the job.
  void OnWake(std::function<void()> wake);
  void Submit(StudyRequest request);
  // Drops the work waiting and abandons the one under way.
  void Cancel();
  // The outcome of the request handed over last, once computed (earlier ones are dropped).
  std::optional<StudyOutcome> Take();
  // True from Submit until Take has returned its outcome (or Cancel).
  bool Busy() const;
  // Waits for the outcome (tests; the page cannot wait: there it only looks); false when the
  // time ran out.
  bool WaitFor(std::chrono::milliseconds timeout);

 private:
  // The desktop's thread (StudyJob.cpp) or the page's background instance (StudyJobWeb.cpp).
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace funzioni
