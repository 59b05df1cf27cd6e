#include "app/ParameterPlayer.h"

#include <array>

#include "app/FormulaParameterValues.h"
#include "app/ParameterFamily.h"
#include "app/Parameters.h"
#include "app/PlotPresenter.h"
#include "controls/ControlTable.h"
#include "drawing/DialogServices.h"
#include "drawing/ExportServices.h"

namespace funzioni {

namespace {

// The ranges and steps offered: the usual -10..10 and 0.1 among them, with narrower and wider
// ones for families whose interesting values are small or large.
constexpr std::array<std::pair<double, double>, 6> kOfferedEnds = {
    {{-1, 1}, {-5, 5}, {-10, 10}, {0, 10}, {-20, 20}, {-100, 100}}};
constexpr std::array<double, 4> kOfferedSteps = {0.01, 0.1, 0.5, 1};
constexpr std::array<const char*, 3> kSpeedNames = {"lenta", "media", "veloce"};

constexpr std::string_view kMark = "\xE2\x9C\x93 ";  // a check mark before the chosen entry

std::string Number(double value) {
  std::string text = std::to_string(value);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text;
}

ParameterChoice Choice(ParameterChoice::Kind kind, PlayMode mode = PlayMode::Forward, int speed = 0,
                       ParameterEnds ends = {}) {
  ParameterChoice choice;
  choice.kind = kind;
  choice.mode = mode;
  choice.speed = speed;
  choice.ends = ends;
  return choice;
}

std::string Marked(bool chosen, std::string text) {
  return chosen ? std::string(kMark) + text : text;
}

}  // namespace

std::vector<ParameterMenuEntry> ParameterMenuEntries(const ParamRecord& record, char letter,
                                                     bool playing, int speed,
                                                     const Catalogue& catalogue) {
  using Kind = ParameterChoice::Kind;
  const std::string_view name(&letter, 1);
  std::vector<ParameterMenuEntry> entries = {
      {catalogue.Format("Anima {0}: avanti", {name}), true, Choice(Kind::Play, PlayMode::Forward)},
      {catalogue.Format("Anima {0}: avanti e indietro", {name}), true,
       Choice(Kind::Play, PlayMode::BackAndForth)},
      {catalogue.Format("Anima {0}: ciclo", {name}), true, Choice(Kind::Play, PlayMode::Loop)},
      {std::string(catalogue.Translate("Ferma l'animazione")), playing, Choice(Kind::Stop)},
  };
  for (int i = 0; i < static_cast<int>(kSpeedNames.size()); ++i) {
    const std::string text =
        catalogue.Format("Velocità {0}", {catalogue.Translate(kSpeedNames[i])});
    entries.push_back({Marked(i == speed, text), true, Choice(Kind::Speed, PlayMode::Forward, i)});
  }
  for (const auto& [low, high] : kOfferedEnds) {
    const bool chosen =
        record.minimum == static_cast<float>(low) && record.maximum == static_cast<float>(high);
    const std::string text = catalogue.Format("Estremi {0} .. {1}", {Number(low), Number(high)});
    entries.push_back({Marked(chosen, text), true,
                       Choice(Kind::Ends, PlayMode::Forward, 0, {low, high, record.step})});
  }
  for (const double step : kOfferedSteps) {
    const bool chosen = record.step == static_cast<float>(step);
    entries.push_back(
        {Marked(chosen, catalogue.Format("Passo {0}", {Number(step)})), true,
         Choice(Kind::Step, PlayMode::Forward, 0, {record.minimum, record.maximum, step})});
  }
  return entries;
}

void ParameterPlayer::OpenMenu(int meterId) {
  const std::optional<std::size_t> index = FormulaMeterIndexOf(meterId);
  if (!index) return;
  const char letter = kFormulaParameterLetters[*index];
  if (UsedFormulaParameters(w_.state).find(letter) == std::string::npos) return;
  std::vector<ParameterMenuEntry> entries = ParameterMenuEntries(
      w_.state.formulaParams[*index], letter, playing_ == index, speed_, w_.controls.catalogue());
  std::vector<MenuItem> items;
  items.reserve(entries.size());
  for (const FamilyMenuEntry& family :
       FamilyMenuEntries(w_.state, *index, w_.controls.catalogue())) {
    ParameterChoice choice;
    choice.kind = ParameterChoice::Kind::Family;
    choice.curves = family.curves;
    entries.push_back({family.text, true, choice});
  }
  for (const ParameterMenuEntry& entry : entries) items.push_back({entry.text, entry.enabled});
  ShowPopupMenu(w_.dialog, items, [this, meterId, entries = std::move(entries)](int chosen) {
    if (chosen < 0 || chosen >= static_cast<int>(entries.size())) return;
    Choose(meterId, entries[static_cast<std::size_t>(chosen)].choice);
  });
}

void ParameterPlayer::Choose(int meterId, const ParameterChoice& choice) {
  const std::optional<std::size_t> index = FormulaMeterIndexOf(meterId);
  if (!index) return;
  using Kind = ParameterChoice::Kind;
  switch (choice.kind) {
    case Kind::Play:
      return Start(*index, choice.mode);
    case Kind::Stop:
      return Stop();
    case Kind::Speed:
      speed_ = choice.speed;
      if (playing_) w_.dialog.StartTimer(kParameterPlayTimerId, PlayPeriodMs(kPlaySpeeds[speed_]));
      return;
    case Kind::Family:
      // The family is drawn beside the play, which goes on.
      ChooseFamily(w_.state, *index, choice.curves);
      w_.plot.Redraw();
      return;
    case Kind::Ends:
    case Kind::Step:
      break;
  }
  // New ends or step: a play of this parameter stops, as on any other input to its meter.
  InputTo(meterId);
  const std::optional<std::string> refusal =
      SetParameterEnds(w_.state.formulaParams[*index], choice.ends);
  if (refusal) return w_.note(*refusal);
  Show(*index);
}

void ParameterPlayer::Start(std::size_t index, PlayMode mode) {
  ParamRecord& record = w_.state.formulaParams[index];
  record.value = PlayStart(record, mode);
  playing_ = index;
  mode_ = mode;
  direction_ = 1;
  Show(index);
  w_.dialog.StartTimer(kParameterPlayTimerId, PlayPeriodMs(kPlaySpeeds[speed_]));
}

void ParameterPlayer::Stop() {
  if (!playing_) return;
  playing_.reset();
  w_.dialog.StopTimer(kParameterPlayTimerId);
}

void ParameterPlayer::InputTo(int meterId) {
  if (playing_ && FormulaMeterIndexOf(meterId) == playing_) Stop();
}

bool ParameterPlayer::OnTimer(int timerId) {
  if (timerId != kParameterPlayTimerId) return false;
  if (!playing_) {
    w_.dialog.StopTimer(kParameterPlayTimerId);
    return true;
  }
  const std::size_t index = *playing_;
  // The formula no longer uses the letter: nothing left to play.
  if (UsedFormulaParameters(w_.state).find(kFormulaParameterLetters[index]) == std::string::npos) {
    Stop();
    return true;
  }
  // Each step is drawn before the next is taken: while the worker is still at one, the tick
  // passes, and a slow formula plays slower instead of skipping values.
  if (!w_.plot.Idle()) return true;
  ParamRecord& record = w_.state.formulaParams[index];
  const PlayStep next = NextPlayStep(record, mode_, direction_);
  if (next.ended) {
    Stop();
    return true;
  }
  record.value = next.value;
  direction_ = next.direction;
  Show(index);
  return true;
}

// The parameter's value into the formula, on its meter, the curve and its table.
void ParameterPlayer::Show(std::size_t index) {
  ParamRecord& record = w_.state.formulaParams[index];
  const MeterLook look = UpdateParameter(record, kFormulaParameterLetters[index]);
  PutFormulaParameters(w_.state);
  UpdateControl(w_.dialog, w_.controls, FormulaMeterId(index), look.needle, look.caption);
  w_.plot.RedrawWithTable();
}

}  // namespace funzioni
