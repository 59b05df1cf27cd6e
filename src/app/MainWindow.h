#pragma once

// The grapher's one window and the parts it wires together: the dialog with its controls, the
// control records, the plot state with the meters that move it, the presenter that hands the plot
// to its worker, the history and export actions, the study window, and the handler that turns the
// dialog's events into actions. Constructing a MainWindow builds the whole hidden window with its
// start values; Run shows it and returns when the user closes it.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ExportActions.h"
#include "app/FaceColor.h"
#include "app/History.h"
#include "app/HistoryActions.h"
#include "app/Ids.h"
#include "app/Meters.h"
#include "app/Parameters.h"
#include "app/PlotPresenter.h"
#include "app/TableText.h"
#include "controls/ControlTable.h"
#include "drawing/Accessibility.h"
#include "drawing/DialogServices.h"
#include "plot/PlotIds.h"
#include "state/PlotState.h"
#include "text/Catalogue.h"

namespace funzioni {

class DialogShortcuts;
class ParameterMeters;
class ParameterPlayer;
class StudyPanel;

// Identifiers of the main window's controls (the parameter, zoom and step meters are in
// Parameters.h; the plotting area, coordinates line, zoom window and results table in
// plot/PlotIds.h).
inline constexpr int kSwitchBaseId = 1500;  // 1501..1510: the switch of built-in function k
inline constexpr int kAllOffButtonId = 1600;
inline constexpr int kAllOnButtonId = 1700;
inline constexpr int kClockPanelId = 1800;
inline constexpr int kTickerPanelId = 1900;
inline constexpr int kHelpPanelId = 2100;
inline constexpr int kHistoryListId = 1460;
inline constexpr int kFormulaBoxId = 1480;

inline constexpr int kClientWidth = 974;
inline constexpr int kClientHeight = 720;
inline constexpr int kTickPeriodMs = 100;  // kTickTimerId's period (app/Ids.h has every timer)

inline constexpr Color kDialogTextColor = 0x0000FFFF;  // yellow
inline constexpr Color kBoardTitleColor = 0x0078F070;  // Rgb(112, 240, 120)

// The window title, joined from its three pieces, in the catalogue's language.
std::string WindowTitle(const Catalogue& catalogue = Catalogue());
// The ticker's line: the maker's web and e-mail addresses.
std::string TickerText();
// "hh:mm:ss" on the 24-hour clock.
std::string ClockText(int hour, int minute, int second);
// The help panel's lines for the control under the pointer (joined with CR LF); empty for a
// control that has none.
std::string_view HelpTextFor(int id);

class MainWindow {
 public:
  // Prepares the control table, creates the hidden dialog with its colours, builds every control
  // and gives the state its start values, every text in the catalogue's language. Needs a running
  // QApplication.
  explicit MainWindow(Catalogue catalogue = Catalogue());
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Shows the window and runs until it is closed; 0 when it has ended.
  int Run();
  // Shows the window without waiting (tests drive it from their own event loop).
  void Show();

  // The one handler of the dialog's events.
  void MainDialogProc(const DialogEvent& event);

  Dialog& dialog() { return *dialog_; }
  const Dialog& dialog() const { return *dialog_; }
  ControlTable& controls() { return controls_; }
  const PlotState& state() const { return state_; }
  const Catalogue& catalogue() const { return catalogue_; }
  PlotState& state() { return state_; }
  int hoverId() const { return hoverId_; }
  bool introShown() const { return introShown_; }
  // The opening animation has ended and the first picture was asked for.
  bool introOver() const { return introOver_; }
  // What the help panel shows now (its lines joined with CR LF).
  const std::string& helpText() const { return helpText_; }
  // False while a change waits to be drawn on the plotting area, or a formula or its table to be
  // shown.
  bool plotIdle() const { return plot_.Idle(); }
  // How many times the plotting area was drawn again since the window was built.
  int plotRedraws() const { return plot_.Redraws(); }
  // The history list and the formula box's entry.
  HistoryActions& history() { return *history_; }
  const HistoryActions& history() const { return *history_; }
  // The questions the export commands ask (tests answer them instead of the user).
  ExportPrompts& exportPrompts() { return exports_->prompts(); }
  // The study window and what it shows on this one.
  StudyPanel& study() { return *study_; }
  // The meters of the typed formula's parameters.
  ParameterMeters& parameterMeters() { return *parameterMeters_; }
  // The menu (ends, step, play) of the typed formula's parameter meters, and their play.
  ParameterPlayer& parameterPlayer() { return *parameterPlayer_; }

  // A worksheet's text (a link or its fragment, WorksheetWindow.cpp): the window shows the state
  // it names, or a note says it was refused and nothing changes. False when refused.
  bool OpenWorksheet(std::string_view text);
  // The text to open once the window has started (the command line's or the page address's).
  void OpenWorksheetAtStart(std::string text) { startSheet_ = std::move(text); }
  // The current state's link, "#f=...".
  std::string WorksheetLink() const;

 private:
  void BuildMainWindow();
  void InitialiseState();
  // The opening animation from the frame of `value` on, each frame shown before the next.
  void PlayIntro(int value);

  void OnInitialise();
  void OnTimer(int timerId);
  void OnPaint();
  void OnHover(int id, int held = 0);
  void OnContextMenu(int id);
  void OnCommand(int id, int code);

  void ToggleSwitch(int k);
  // The button pressed for a moment, then `then` (the handler held throughout).
  void FlashButton(int id, std::function<void()> then);
  void SetAllSwitches(bool on);
  void KeypadStep(int s);

  // Keyboard and assistive technologies (KeyboardNavigation.cpp, AccessibleControls.cpp).
  void DescribeControls();
  void OnControlKey(int id, ControlKey key);
  void OnAccessRequest(int id, AccessRequest request, double value);
  int KeypadTarget() const;
  bool ActivateControl(int id);
  bool ActivateFocusedControl();
  void MovePlotCursor(float dx, float dy);  // (0, 0): back to the centre

  // The view of the plane and its gestures (EventHandler.cpp): held is what a pointer event
  // reports held (kHeldShift, kHeldControl, kHeldMiddle).
  void OnWheel(int id, int held, double notches);
  bool PanPlot(int held);
  void ZoomPlotAtCentre(int s);
  void OnPlotControlKey(ControlKey key);
  void SetView(const std::optional<PlotView>& view);
  void FitPlotY();
  void ShowPlotMenu();
  void FollowZoomMeter();
  // The zoom meter's caption (the view's ranges while it is moved) and the picture.
  void ShowView();

  // What a meter operation gave, on the meter (nothing for an identifier that is no meter).
  void ShowMeter(int id, const std::optional<MeterLook>& look);
  void ShowHelp(std::string_view lines);
  void ShowHoverHelp(int id, std::string_view lines);
  void ShowNote(std::string_view line);

  Catalogue catalogue_;  // first: the title and every control's text come from it
  ControlTable controls_{catalogue_};
  std::unique_ptr<Dialog> dialog_;
  PlotState state_;
  Meters meters_{state_};
  PlotPresenter plot_;  // after dialog_: its worker ends, and wakes the dialog no more, first
  std::string tickerText_;
  std::string helpText_;
  int noteHoverId_ = -1;             // the control under the pointer when a note was written, or -1
  bool editorRanThisPress_ = false;  // the editor ran since the right button went down
  int hoverId_ = 0;
  bool introShown_ = false;
  bool introOver_ = false;
  // The window's own keys (export and study); destroyed before the dialog it watches.
  std::unique_ptr<DialogShortcuts> keys_;
  std::unique_ptr<StudyPanel> study_;
  std::unique_ptr<ExportActions> exports_;  // reads the study: destroyed before it
  std::unique_ptr<HistoryActions> history_;
  // The keyboard order of the controls always there; the typed formula's meters join it.
  std::vector<int> keyboardOrder_;
  std::unique_ptr<ParameterMeters> parameterMeters_;
  std::unique_ptr<ParameterPlayer> parameterPlayer_;
  // Where a pan drag last was over the plotting area, in percent; empty while none goes on.
  std::optional<std::pair<float, float>> panFrom_;
  // What the zoom meter showed last for its value: shown again when the seed view comes back.
  MeterLook zoomLook_{50.0f, "zoom"};
  float plotCursorX_ = 50.0f;  // the keyboard's cursor over the plotting area, in percent
  float plotCursorY_ = 50.0f;
  std::string startSheet_;  // opened once the window has started
};

}  // namespace funzioni
