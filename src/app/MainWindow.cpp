#include "app/MainWindow.h"

#include <array>
#include <cstdio>
#include <utility>

#include "app/LanguageMenu.h"
#include "app/ParameterMeters.h"
#include "app/ParameterPlayer.h"
#include "app/StudyPanel.h"
#include "app/WorksheetLoading.h"
#include "controls/Panels.h"
#include "drawing/Color.h"
#include "drawing/ControlMenus.h"
#include "drawing/PlatformServices.h"
#include "drawing/Shortcuts.h"
#include "plot/PlotBoard.h"

namespace funzioni {

namespace {

constexpr TickerLook kTickerLook{
    .frameWidth = 5, .frameColor = "rosso", .faceMode = 4, .textColor = 0x00FFFFFF, .fontSize = 9};

constexpr std::array<std::string_view, 3> kTitlePieces = {
    "Funzioni Quilvar Soft (Ver : ", "28 mar 2007 ", ")"};

// The opening animation: the board's curtains close from 100 to 0 in steps of 2.
constexpr int kIntroFirstValue = 100;
constexpr int kIntroValueStep = 2;
constexpr int kIntroPauseMs = 4;

std::unique_ptr<Dialog> MakeDialog(const Catalogue& catalogue) {
  auto dialog = std::make_unique<Dialog>(WindowTitle(catalogue), 0, 0, kClientWidth, kClientHeight,
                                         /*centred=*/true);
  dialog->SetFaceColor(kFaceColor);
  dialog->SetTextColor(kDialogTextColor);
  return dialog;
}

}  // namespace

std::string WindowTitle(const Catalogue& catalogue) {
  std::string title;
  for (const std::string_view piece : kTitlePieces) title.append(catalogue.Translate(piece));
  return title;
}

std::string TickerText() {
  return "www.quilvarsoft.example   -   posta@quilvarsoft.example";
}

std::string ClockText(int hour, int minute, int second) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "%02d:%02d:%02d", hour, minute, second);
  return text.data();
}

// The control table exists before any control (it is a member constructed first). The study
// window follows the plot and takes its pictures; an export waits for them.
MainWindow::MainWindow(Catalogue catalogue)
    : catalogue_(catalogue),
      dialog_(MakeDialog(catalogue_)),
      plot_(*dialog_, state_,
            {.follow =
                 [this](const PlotState& state) {
                   parameterMeters_->Follow(state);
                   study_->Follow(state);
                 },
             .pictureShown = [this](bool whole, float zoom) { study_->PictureShown(whole, zoom); },
             .outcomeShown = [this] { exports_->RunPending(); }}) {
  tickerText_ = TickerText();
  // The keypad's + and - reach the handler as commands 2200 and 2300 whatever has the focus;
  // the dialog installs those shortcuts itself.
  BuildMainWindow();
  InitialiseState();
  const auto showNote = [this](std::string_view line) { ShowNote(line); };
  keys_ = std::make_unique<DialogShortcuts>(*dialog_);
  study_ = std::make_unique<StudyPanel>(*dialog_, controls_, [this] { plot_.Redraw(); });
  exports_ = std::make_unique<ExportActions>(
      ExportWiring{*dialog_, state_, plot_, *study_, showNote, catalogue_}, *keys_);
  keys_->Add("F2", kCommandStudy);
  AddTextBoxMenuItem(*dialog_, kFormulaBoxId, catalogue_.Translate(kStudyMenuItem), kCommandStudy);
  AddLanguageMenuItems(*dialog_, kFormulaBoxId, catalogue_);
  dialog_->SetControlDescription(
      kFormulaBoxId,
      catalogue_.Translate("F2 apre lo studio della funzione in una finestra accanto."));
  history_ = std::make_unique<HistoryActions>(
      HistoryWiring{*dialog_, state_, plot_, showNote,
                    [this](std::string_view text) { return OpenWorksheet(text); }, catalogue_});
  AddTextBoxMenuItem(*dialog_, kFormulaBoxId, catalogue_.Translate(kCopySheetItem),
                     kCommandCopySheet);
  AddTextBoxMenuItem(*dialog_, kFormulaBoxId, catalogue_.Translate(kExamExamplesItem),
                     kCommandExamples);
  keys_->Add("F4", kCommandExamples);
  keys_->Add("Shift+F10", kCommandHistoryLineMenu, kHistoryListId);
  DescribeControls();
  parameterMeters_ = std::make_unique<ParameterMeters>(*dialog_, controls_, keyboardOrder_);
  parameterPlayer_ = std::make_unique<ParameterPlayer>(
      ParameterPlayer::Wiring{*dialog_, controls_, state_, plot_, showNote});
  meters_.WatchInput([this](int id) { parameterPlayer_->InputTo(id); });
  keys_->Add("F3", kCommandParameterMenu);
  dialog_->SetEventHandler([this](const DialogEvent& event) { MainDialogProc(event); });
}

MainWindow::~MainWindow() {
  // The descriptions read the state, which goes before the dialog.
  ForgetControlDescriptions(*dialog_);
}

int MainWindow::Run() {
  dialog_->RunModal();
  return 0;
}

void MainWindow::Show() {
  dialog_->Show();
}

void MainWindow::InitialiseState() {
  state_.InitialiseState();
  dialog_->SetControlFocus(kFormulaBoxId);
}

void MainWindow::PlayIntro(int value) {
  if (value < 0) {
    introOver_ = true;
    plot_.Redraw();
    return;
  }
  DrawBoard(*dialog_, kPlotAreaId,
            {.frameWidth = 2,
             .value = static_cast<float>(value),
             .gridPercent = 4,
             .title = catalogue_.Translate("Grafico di funzioni"),
             .fontSize = value / 2,
             .titleColor = Rgb(value + 112, 240 - value, 120),
             .faceColor = "verde"});
  dialog_->PauseThen(kIntroPauseMs, [this, value] { PlayIntro(value - kIntroValueStep); });
}

void MainWindow::OnInitialise() {
  dialog_->StartTimer(kTickTimerId, kTickPeriodMs);
  helpText_ = catalogue_.Translate(" Aiuto...");
  SetPanelText(*dialog_, controls_, kHelpPanelId, helpText_);
  for (int k = 1; k <= functionCount; ++k) {
    UpdateControl(*dialog_, controls_, kSwitchBaseId + k, state_.curveOn[k] == 1 ? 0.0f : 100.0f);
  }
  history_->Load();
  // After the help panel's first text, so that a refusal's note stays.
  if (!startSheet_.empty()) OpenWorksheet(std::exchange(startSheet_, {}));
}

void MainWindow::OnTimer(int timerId) {
  plot_.OnTimer(timerId);
  if (timerId == kHistoryTimerId) history_->OnTimer();
  if (parameterPlayer_->OnTimer(timerId)) return;
  if (study_->OnTimer(timerId)) return;
  if (timerId != kTickTimerId) return;
  ScrollPanelText(*dialog_, kTickerPanelId, tickerText_, kTickerLook);
  const TimeOfDay now = CurrentTimeOfDay();
  SetPanelText(*dialog_, controls_, kClockPanelId, ClockText(now.hour, now.minute, now.second));
}

void MainWindow::OnPaint() {
  if (introShown_) return;
  introShown_ = true;
  PlayIntro(kIntroFirstValue);
}

}  // namespace funzioni
