#pragma once

// The menu of a typed formula's parameter meter (F3 over the meter, or with it focused): its
// ends and step, and a play that moves the parameter across its range on the window's timer,
// one step per tick, each step drawn by the plot worker before the next is taken. Any other input
// to the meter stops the play.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Ids.h"
#include "app/ParameterPlay.h"
#include "state/PlotState.h"
#include "text/Catalogue.h"

namespace funzioni {

class ControlTable;
class Dialog;
class PlotPresenter;

// What one entry of a parameter's menu does.
struct ParameterChoice {
  enum class Kind { Play, Stop, Speed, Ends, Step, Family } kind = Kind::Stop;
  PlayMode mode = PlayMode::Forward;
  int speed = 0;   // index in kPlaySpeeds
  int curves = 0;  // of the family; 0 switches it off
  ParameterEnds ends;
};

struct ParameterMenuEntry {
  std::string text;
  bool enabled = true;
  ParameterChoice choice;
};

// The menu of the parameter `letter` with this record; `playing` whether a play of it goes on,
// `speed` the chosen speed. The chosen ends, step and speed are marked.
std::vector<ParameterMenuEntry> ParameterMenuEntries(const ParamRecord& record, char letter,
                                                     bool playing, int speed,
                                                     const Catalogue& catalogue = Catalogue());

class ParameterPlayer {
 public:
  struct Wiring {
    Dialog& dialog;
    ControlTable& controls;
    PlotState& state;
    PlotPresenter& plot;
    std::function<void(std::string_view line)> note;  // a refusal, on the help panel
  };
  explicit ParameterPlayer(Wiring wiring) : w_(std::move(wiring)) {}
  ParameterPlayer(const ParameterPlayer&) = delete;
  ParameterPlayer& operator=(const ParameterPlayer&) = delete;

  // The menu of the meter with this identifier; nothing for a meter whose letter is not in use.
  void OpenMenu(int meterId);
  // What a chosen entry does to the meter's parameter.
  void Choose(int meterId, const ParameterChoice& choice);
  // A play's tick; false for another timer.
  bool OnTimer(int timerId);
  // Input reached this meter: a play of it stops.
  void InputTo(int meterId);
  void Stop();
  // The index (in kFormulaParameterLetters) of the parameter playing, if any.
  std::optional<std::size_t> Playing() const { return playing_; }
  int Speed() const { return speed_; }

 private:
  void Start(std::size_t index, PlayMode mode);
  void Show(std::size_t index);

  Wiring w_;
  std::optional<std::size_t> playing_;
  PlayMode mode_ = PlayMode::Forward;
  int direction_ = 1;
  int speed_ = kDefaultPlaySpeed;
};

}  // namespace funzioni
