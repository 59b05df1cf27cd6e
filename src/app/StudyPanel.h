#pragma once

// The study window beside the main one and what it shows on the main window while it is open:
// the study of the typed formula over the visible range, recomputed off the event thread when
// the formula or the zoom changes, its points marked on the plotting area, the chosen item's
// coordinates on the coordinates line, on request the dots of f'(x) and an f' column in the
// copied table, and the tangent at the x0 and the area from a to b typed in its fields. While the
// window is closed it computes nothing and draws nothing.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Ids.h"
#include "app/StudyJob.h"
#include "app/StudyReport.h"
#include "drawing/SideWindow.h"
#include "state/PlotState.h"

namespace funzioni {

class ControlTable;
class Dialog;

inline constexpr std::string_view kStudyMenuItem = "Studio della funzione";
inline constexpr std::string_view kStudySlopesLabel = "Mostra la derivata f\xE2\x80\xB2(x)";
inline constexpr std::string_view kStudySlopeHeading = "f\xE2\x80\xB2(x)";
// The study window's fields, in this order.
enum class StudyField { TangentAt = 0, AreaFrom = 1, AreaTo = 2 };
// The study window's buttons, in this order: the tangent at the x the coordinates line shows (the
// keyboard's cursor over the plot, the pointer, or the chosen item), and at the x of the results
// table's chosen row.
enum class StudyButton { TangentAtCursor = 0, TangentAtTableRow = 1 };

class StudyPanel {
 public:
  // redraw asks for the whole plotting area to be drawn again (to take old marks away).
  StudyPanel(Dialog& dialog, const ControlTable& controls, std::function<void()> redraw);
  ~StudyPanel();
  StudyPanel(const StudyPanel&) = delete;
  StudyPanel& operator=(const StudyPanel&) = delete;

  void Open(const PlotState& state);
  bool IsOpen() const;
  // The study's commands and wake; false for anything else.
  bool OnCommand(int id, int code, const PlotState& state);
  bool OnTimer(int timerId);
  // Every time the plot is handed work for a state: a new formula, zoom or step is studied anew,
  // and so are new kept formulas, parameters or switches of the built-in curves, which the
  // intersections read.
  void Follow(const PlotState& state);
  // The plotting area shows a new picture at that zoom (whole: drawn from scratch).
  void PictureShown(bool whole, float zoom);

  // The heading and the lines shown now (the printed page and the clipboard take them).
  const std::string& Heading() const { return heading_; }
  std::vector<std::string> Lines() const;
  // f' at the row x of a results table with that title, while the slopes are on and known for
  // the formula the title names.
  std::optional<double> TableSlope(std::string_view title, std::string_view x) const;
  bool SlopesOn() const;

  SideWindow& Window() { return window_; }
  bool Busy() const { return job_.Busy(); }
  // The requests made so far, and whether the last one's outcome is shown (or it needed none):
  // what waits on the study's answer waits on these.
  int Requests() const { return ticket_; }
  bool Answered() const { return answered_ == ticket_; }
  // The study's marks are on the plotting area's picture.
  bool MarksShown() const { return marksOnPicture_; }

 private:
  void Submit(const PlotState& state);
  // The fields read into ask_ (and notes_ for what could not be read).
  void ReadFields();
  // The tangent's field filled with the coordinates line's x, and the tangent asked for.
  void TangentAtCursor(const PlotState& state);
  // The same with the x of the results table's chosen row.
  void TangentAtTableRow(const PlotState& state);
  void AskTangentAt(const std::string& x, const PlotState& state);
  void ShowOutcome();
  // The outcome with the notes, or the notes alone while there is none.
  void ShowOutcomeOrNotes();
  void Choose(int line);
  void DrawMarks();
  // The marks wanted now differ from those on the picture: draw it again first.
  void RefreshMarks();

  Dialog& dialog_;
  const ControlTable& controls_;
  std::function<void()> redraw_;
  SideWindow window_;
  StudyJob job_;
  int ticket_ = 0;
  int answered_ = 0;  // the ticket of the last outcome shown, or of a request that needed none
  std::string studiedFormula_;  // of the last request, with its zoom and step
  float studiedZoom_ = 0;
  std::optional<PlotView> studiedView_;
  float studiedStep_ = 0;
  bool studiedSlopes_ = false;
  // The kept formulas, parameters and switches the study's intersections read: of the last
  // request, and of the outcome shown.
  std::string studiedMeets_;
  std::string outcomeMeets_;
  StudyAsk ask_;
  std::vector<std::string> notes_;  // shown after the study's lines
  std::optional<StudyOutcome> outcome_;
  std::vector<StudyLine> lines_;
  std::string heading_;
  int chosen_ = -1;
  float pictureZoom_ = 0;
  bool marksOnPicture_ = false;
};

}  // namespace funzioni
