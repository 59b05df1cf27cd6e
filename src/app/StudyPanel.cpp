#include "app/StudyPanel.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/ExportActions.h"
#include "app/KeptIntersections.h"
#include "app/MainWindow.h"
#include "controls/Panels.h"
#include "drawing/DialogServices.h"
#include "drawing/ExportServices.h"
#include "drawing/TextRules.h"
#include "evaluator/NumberReading.h"
#include "plot/PlotIds.h"
#include "plot/StudyMarks.h"
#include "plot/ZoomWindow.h"
#include "sampling/SampleXs.h"

namespace funzioni {

namespace {

// Where the page has no room beside the window, the study lies over the magnifier: the plot it
// marks, the formula box, the meters, the results and the history stay in view and in reach.
SideWindowLook StudyLook(const Dialog& dialog, const Catalogue& catalogue) {
  SideWindowLook look;
  look.title = std::string(catalogue.Translate(kStudyWindowTitle));
  look.listName = std::string(catalogue.Translate("Risultati dello studio"));
  look.checkLabel = std::string(catalogue.Translate(kStudySlopesLabel));
  look.cover = dialog.GetControlRect(kZoomWindowId);
  const auto field = [&catalogue](std::string_view label, std::string_view name, bool sameRow) {
    return SideField{std::string(catalogue.Translate(label)),
                     std::string(catalogue.Translate(name)), sameRow};
  };
  look.fields = {field("Tangente in x\xE2\x82\x80 =",
                       "Tangente: ascissa x\xE2\x82\x80 (Invio per tracciarla)", false),
                 field("Area da a =", "Area: estremo a (Invio per calcolarla)", false),
                 field("a b =", "Area: estremo b (Invio per calcolarla)", true)};
  look.buttons = {
      {std::string(catalogue.Translate("x\xE2\x82\x80 dal cursore")),
       std::string(catalogue.Translate("Tangente nell'ascissa del cursore (frecce sul grafico)"))},
      {std::string(catalogue.Translate("x\xE2\x82\x80 dalla tabella")),
       std::string(catalogue.Translate("Tangente nell'ascissa della riga scelta dei risultati"))}};
  return look;
}

// Ctrl+P there prints the worksheet, as in the main window.
constexpr SideWindowCommands kStudyCommands{
    kCommandStudyChosen, kCommandStudySlopes, kCommandStudyCopy,  kCommandStudyClosed,
    kCommandPrint,       kCommandStudyAsk,    kCommandStudyButton};

// A number typed in a field: blanks around it, and the decimal comma Italian pupils write, are
// taken; empty is nothing asked; anything else is refused.
struct FieldNumber {
  std::optional<float> value;
  bool refused = false;
};

FieldNumber ReadField(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  const std::optional<float> value = ReadArgumentNumber(text, ArgumentSyntax::Plain);
  if (!value || !std::isfinite(*value)) return {std::nullopt, true};
  return {value, false};
}

// A coordinate as the pointer's are written; a point far beyond the plotting area (f can be huge
// at an extremum out of sight) as the mask's digits times a power of ten, which the two-decimal
// mask alone cannot hold.
// The x of the coordinates line ("x=-1.25 y=0.50", "x=1.00e20 y=..."), as the field takes it.
std::optional<std::string> CursorX(std::string_view line) {
  if (line.substr(0, 2) != "x=") return std::nullopt;
  const std::string x(line.substr(
      2, line.find(' ') == std::string_view::npos ? std::string_view::npos : line.find(' ') - 2));
  if (x.empty() || ReadField(x).refused) return std::nullopt;
  return x;
}

// The x of a results table's row ("  1.5 ; 2.3"); none for its heading or blank line.
std::optional<std::string> TableRowX(std::string_view row) {
  const std::size_t semicolon = row.find(';');
  if (semicolon == std::string_view::npos) return std::nullopt;
  std::string x(row.substr(0, semicolon));
  const FieldNumber number = ReadField(x);
  if (!number.value) return std::nullopt;
  x.erase(0, x.find_first_not_of(' '));
  x.erase(x.find_last_not_of(' ') + 1);
  return x;
}

std::string Coordinate(double value) {
  constexpr double kMaskLimit = 1e9;
  if (!std::isfinite(value)) return value > 0 ? "inf" : value < 0 ? "-inf" : "nan";
  if (std::abs(value) < kMaskLimit) return CoordinateText(value);
  int exponent = static_cast<int>(std::floor(std::log10(std::abs(value))));
  double mantissa = value / std::pow(10.0, exponent);
  if (std::abs(std::round(mantissa * 100) / 100) >= 10) {
    mantissa /= 10;
    ++exponent;
  }
  return CoordinateText(mantissa) + "e" + std::to_string(exponent);
}

constexpr std::string_view kChartName = "Schema dei segni";
constexpr std::string_view kChartDense =
    "Schema dei segni di {0}: troppo fitto per essere disegnato";

SideChartPoint PointOf(SignChartPoint point) {
  switch (point) {
    case SignChartPoint::Zero:
      return SideChartPoint::Zero;
    case SignChartPoint::NoDerivative:
      return SideChartPoint::Cross;
    case SignChartPoint::Break:
      return SideChartPoint::Break;
    case SignChartPoint::None:
      break;
  }
  return SideChartPoint::None;
}

// The study's sign chart as the window draws it: its marks' x as the lines write them, the rows
// it shows (a too dense one as a note), and its lines for the screen reader.
SideChart ChartOf(const StudyOutcome& outcome, const Catalogue& catalogue) {
  constexpr std::array<std::string_view, 3> kNames = {"f", "f\xE2\x80\xB2", "f\xE2\x80\xB3"};
  constexpr std::array<SideChartUnder, 3> kUnder = {SideChartUnder::None, SideChartUnder::Growth,
                                                    SideChartUnder::Bend};
  SideChart chart;
  if (outcome.failed) return chart;
  const SignChartGrid grid = GridOf(outcome.chart);
  const double halfRange = std::max(std::abs(outcome.chart.xMin), std::abs(outcome.chart.xMax));
  chart.lines = outcome.chartLines;
  for (std::size_t r = 0; r < grid.rows.size(); ++r) {
    const SignChartGrid::Row& row = grid.rows[r];
    if (!row.shown && !row.dense) continue;
    SideChartRow drawn{std::string(kNames[r]), row.cells, {}, kUnder[r], {}};
    for (const SignChartPoint point : row.points) drawn.points.push_back(PointOf(point));
    if (row.dense) {
      drawn.note = catalogue.Format(kChartDense, {kNames[r]});
      chart.lines.push_back(drawn.note);
    }
    chart.rows.push_back(std::move(drawn));
  }
  if (chart.rows.empty()) return {};
  for (const double x : grid.marks) chart.marks.push_back(StudyNumber(x, halfRange));
  chart.name = std::string(catalogue.Translate(kChartName));
  return chart;
}

}  // namespace

StudyPanel::StudyPanel(Dialog& dialog, const ControlTable& controls, std::function<void()> redraw)
    : dialog_(dialog),
      controls_(controls),
      redraw_(std::move(redraw)),
      window_(dialog, StudyLook(dialog, controls.catalogue()), kStudyCommands) {
  // The outcome is taken at the wake's timer event, on the window's thread.
  job_.OnWake([wake = dialog_.WakeFromAnyThread(kStudyTimerId)] { wake(0); });
}

StudyPanel::~StudyPanel() = default;

bool StudyPanel::IsOpen() const {
  return window_.IsShown();
}

bool StudyPanel::SlopesOn() const {
  return IsOpen() && window_.Checked();
}

void StudyPanel::Open(const PlotState& state) {
  const bool wasOpen = IsOpen();
  window_.Show();
  // Where the window could not be shown, nothing is studied.
  if (wasOpen || !IsOpen()) return;
  if (pictureZoom_ == 0) pictureZoom_ = state.zoomValue.value;
  if (outcome_ && outcome_->formula == state.currentFormula &&
      outcome_->zoom == state.zoomValue.value && outcome_->view == state.view &&
      outcome_->ask == ask_ && (outcome_->slopes || !window_.Checked()) &&
      outcomeMeets_ == EncodeIntersectionState(state)) {
    studiedFormula_ = outcome_->formula;
    studiedZoom_ = outcome_->zoom;
    studiedView_ = outcome_->view;
    studiedStep_ = state.stepValue.value;
    studiedSlopes_ = outcome_->slopes;
    studiedMeets_ = outcomeMeets_;
    DrawMarks();
    return;
  }
  heading_ = std::string(controls_.catalogue().Translate(kStudyPendingHeading));
  window_.SetHeading(heading_);
  Submit(state);
}

void StudyPanel::Follow(const PlotState& state) {
  if (!IsOpen()) return;
  const bool slopes = window_.Checked();
  const bool same = state.currentFormula == studiedFormula_ &&
                    state.zoomValue.value == studiedZoom_ && state.view == studiedView_ &&
                    EncodeIntersectionState(state) == studiedMeets_ &&
                    (!slopes || (studiedSlopes_ && state.stepValue.value == studiedStep_));
  if (!same) Submit(state);
}

void StudyPanel::Submit(const PlotState& state) {
  studiedFormula_ = state.currentFormula;
  studiedZoom_ = state.zoomValue.value;
  studiedView_ = state.view;
  studiedStep_ = state.stepValue.value;
  studiedSlopes_ = window_.Checked();
  studiedMeets_ = EncodeIntersectionState(state);
  if (state.currentFormula.empty()) {
    job_.Cancel();
    answered_ = ticket_;
    outcome_.reset();
    lines_.clear();
    chosen_ = -1;
    heading_ = std::string(controls_.catalogue().Translate(kStudyNoFormulaHeading));
    window_.SetHeading(heading_);
    window_.SetLines({});
    window_.SetChart({});
    RefreshMarks();
    return;
  }
  job_.Submit({++ticket_, state, studiedSlopes_, ask_, controls_.catalogue().language()});
}

bool StudyPanel::OnTimer(int timerId) {
  if (timerId != kStudyTimerId) return false;
  // A wake of work since replaced or cancelled finds nothing.
  std::optional<StudyOutcome> outcome = job_.Take();
  if (!outcome) return true;
  outcome_ = std::move(outcome);
  answered_ = outcome_->ticket;
  // Only the last request's outcome is ever taken.
  outcomeMeets_ = studiedMeets_;
  ShowOutcome();
  return true;
}

void StudyPanel::ReadFields() {
  notes_.clear();
  const Catalogue& catalogue = controls_.catalogue();
  const auto read = [&](StudyField field, std::string_view refusal) {
    const FieldNumber number = ReadField(window_.FieldText(static_cast<int>(field)));
    if (number.refused) notes_.push_back(std::string(catalogue.Translate(refusal)));
    return number.value;
  };
  ask_.tangentAt = read(StudyField::TangentAt, "Tangente: x\xE2\x82\x80 non \xC3\xA8 un numero");
  ask_.areaFrom = read(StudyField::AreaFrom, "Area: l'estremo a non \xC3\xA8 un numero");
  ask_.areaTo = read(StudyField::AreaTo, "Area: l'estremo b non \xC3\xA8 un numero");
  if (ask_.areaFrom.has_value() != ask_.areaTo.has_value()) {
    notes_.push_back(std::string(catalogue.Translate("Area: scrivi entrambi gli estremi a e b")));
    ask_.areaFrom.reset();
    ask_.areaTo.reset();
  }
}

void StudyPanel::TangentAtCursor(const PlotState& state) {
  if (!IsOpen()) return;
  const std::optional<std::string> x = CursorX(dialog_.GetControlText(kCoordinatesLineId));
  if (!x) {
    notes_.assign(1, std::string(controls_.catalogue().Translate(
                         "Tangente: nessun cursore sul grafico (usa le frecce sul grafico)")));
    ShowOutcomeOrNotes();
    return;
  }
  AskTangentAt(*x, state);
}

void StudyPanel::TangentAtTableRow(const PlotState& state) {
  if (!IsOpen()) return;
  const std::optional<std::string> x = TableRowX(dialog_.ListGetSelected(kResultsListId));
  if (!x) {
    notes_.assign(1, std::string(controls_.catalogue().Translate(
                         "Tangente: scegli prima una riga della tabella dei risultati")));
    ShowOutcomeOrNotes();
    return;
  }
  AskTangentAt(*x, state);
}

void StudyPanel::AskTangentAt(const std::string& x, const PlotState& state) {
  window_.SetFieldText(static_cast<int>(StudyField::TangentAt), x);
  ReadFields();
  Submit(state);
}

void StudyPanel::ShowOutcomeOrNotes() {
  if (outcome_) {
    ShowOutcome();
    return;
  }
  lines_.clear();
  for (const std::string& note : notes_) lines_.push_back({note, std::nullopt});
  window_.SetLines(Lines());
}

void StudyPanel::ShowOutcome() {
  lines_ = outcome_->lines;
  // A failure's line is one of the job's fixed texts.
  if (outcome_->failed) {
    for (StudyLine& line : lines_) line.text = controls_.catalogue().Translate(line.text);
  }
  for (const std::string& note : notes_) lines_.push_back({note, std::nullopt});
  // The heading is UTF-8; the formula may come from a history line in the Windows code page.
  heading_ = StudyHeading(Utf8Of(outcome_->formula), outcome_->xMin, outcome_->xMax,
                          controls_.catalogue());
  window_.SetHeading(heading_);
  const std::vector<std::string> texts = Lines();
  window_.SetLines(texts);
  window_.SetChart(ChartOf(*outcome_, controls_.catalogue()));
  chosen_ = window_.CurrentLine();
  RefreshMarks();
}

std::vector<std::string> StudyPanel::Lines() const {
  std::vector<std::string> texts;
  texts.reserve(lines_.size());
  for (const StudyLine& line : lines_) texts.push_back(line.text);
  return texts;
}

bool StudyPanel::OnCommand(int id, int code, const PlotState& state) {
  switch (id) {
    case kCommandStudy:
      Open(state);
      return true;
    case kCommandStudyChosen:
      Choose(code);
      return true;
    case kCommandStudySlopes:
      if (code == 1 && !(outcome_ && outcome_->slopes)) {
        Submit(state);
      } else {
        RefreshMarks();
      }
      return true;
    case kCommandStudyAsk:
      ReadFields();
      if (IsOpen()) Submit(state);
      return true;
    case kCommandStudyButton:
      if (code == static_cast<int>(StudyButton::TangentAtCursor)) TangentAtCursor(state);
      if (code == static_cast<int>(StudyButton::TangentAtTableRow)) TangentAtTableRow(state);
      return true;
    case kCommandStudyCopy:
      CopyTextToClipboard(StudyClipboardText(heading_, lines_));
      return true;
    case kCommandStudyClosed:
      job_.Cancel();
      answered_ = ticket_;  // a closed window waits for nothing
      studiedFormula_.clear();
      studiedZoom_ = 0;
      studiedView_.reset();
      if (marksOnPicture_) redraw_();
      marksOnPicture_ = false;
      return true;
    default:
      return false;
  }
}

void StudyPanel::Choose(int line) {
  if (!IsOpen() || line < 0 || line >= static_cast<int>(lines_.size())) return;
  chosen_ = line;
  const std::optional<StudyMark>& mark = lines_[line].mark;
  if (!mark) return;
  SetPanelText(dialog_, controls_, kCoordinatesLineId,
               "x=" + Coordinate(mark->x) + " y=" + Coordinate(mark->y));
  RefreshMarks();
}

void StudyPanel::PictureShown(bool whole, float zoom) {
  pictureZoom_ = zoom;
  if (whole) marksOnPicture_ = false;
  if (IsOpen()) DrawMarks();
}

void StudyPanel::RefreshMarks() {
  if (marksOnPicture_) {
    redraw_();  // the new picture gets the marks of that moment (PictureShown)
    return;
  }
  DrawMarks();
}

void StudyPanel::DrawMarks() {
  // Marks of a formula or zoom that newer work replaces would only mislead until it comes.
  if (!IsOpen() || !outcome_ || outcome_->zoom != pictureZoom_ ||
      outcome_->formula != studiedFormula_ || outcome_->zoom != studiedZoom_ ||
      outcome_->view != studiedView_) {
    return;
  }
  std::vector<PlotMark> marks;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::optional<StudyMark>& mark = lines_[i].mark;
    if (mark) {
      marks.push_back({mark->x, mark->y, mark->vertical, static_cast<int>(i) == chosen_});
    }
  }
  std::vector<PlotSlopeDot> slopes;
  if (window_.Checked() && outcome_->slopes) {
    slopes.reserve(outcome_->curve.size());
    for (const SlopeDot& dot : outcome_->curve) slopes.push_back({dot.x, dot.slope});
  }
  std::vector<PlotRay> rays;
  for (const StudyRay& ray : outcome_->rays) rays.push_back({ray.x, ray.y, ray.slope, ray.side});
  std::vector<PlotSlopeDot> area;
  for (const AreaSample& sample : outcome_->area) area.push_back({sample.x, sample.y});
  if (marks.empty() && slopes.empty() && rays.empty() && area.empty()) return;
  DrawStudyMarks(dialog_, kPlotAreaId, {outcome_->zoom, marks, slopes, outcome_->view, rays, area});
  marksOnPicture_ = true;
}

std::optional<double> StudyPanel::TableSlope(std::string_view title, std::string_view x) const {
  if (!SlopesOn() || !outcome_ || !outcome_->slopes || title != outcome_->formula) return {};
  for (const RowSlope& row : outcome_->tableRows) {
    if (row.x == x) return row.slope;
  }
  return {};
}

}  // namespace funzioni
