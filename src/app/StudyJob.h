#pragma once

// The study of the typed formula computed away from the event thread: on a thread of its own on
// the desktop, so that the window never waits for it. Work handed over while earlier work is
// being computed abandons the earlier at once (the study takes a stop request). With the slopes
// asked for, it also works out f'(x) from the formula's values: at every sample of the plotted
// curve, from its two neighbouring samples, and at every row of the results table.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sampling/FunctionStudy.h"
#include "sampling/StopToken.h"
#include "state/PlotState.h"

namespace funzioni {

struct StudyRequest {
  int ticket = 0;   // given back with the outcome, so the caller knows which request it answers
  PlotState state;  // its formula, zoom and step
  bool slopes = false;
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

struct StudyOutcome {
  int ticket = 0;
  std::string formula;
  float zoom = 0;
  FunctionStudy study;
  bool slopes = false;              // the two lists below were computed
  std::vector<SlopeDot> curve;      // at the plot's samples that have both neighbours
  std::vector<RowSlope> tableRows;  // at the results table's rows where the slope is known
};

// What the job computes for one request; abandoned (nothing) once stop is requested.
std::optional<StudyOutcome> ComputeStudy(const StudyRequest& request, StopToken stop = {});

class StudyJob {
 public:
  StudyJob();
  // Abandons the work under way and waits for the thread to end.
  ~StudyJob();
  StudyJob(const StudyJob&) = delete;
  StudyJob& operator=(const StudyJob&) = delete;

  void Submit(StudyRequest request);
  // Drops the work waiting and abandons the one under way.
  void Cancel();
  // The outcome of the request handed over last, once computed (earlier ones are dropped).
  std::optional<StudyOutcome> Take();
  // True from Submit until Take has returned its outcome (or Cancel).
  bool Busy() const;
  // Waits for the outcome (tests); false when the time ran out.
  bool WaitFor(std::chrono::milliseconds timeout);

 private:
  void Loop();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<StudyRequest> waiting_;
  std::optional<StudyOutcome> done_;
  StopSource running_;
  int lastTicket_ = 0;
  bool busy_ = false;
  bool quit_ = false;
#ifndef __EMSCRIPTEN__
  std::thread thread_;  // last: it starts once everything it uses is built
#endif
};

}  // namespace funzioni
