#pragma once

// The typed formula's parameters beyond dragging: their ends and step set by the pupil, and the
// play that moves one across its range by itself, step by step. Only arithmetic here; the window
// drives it from a timer (ParameterPlayer.h).

#include <optional>
#include <string>

#include "state/PlotState.h"

namespace funzioni {

// New ends and keypad step for a parameter, as the pupil chose them.
struct ParameterEnds {
  double minimum = 0;
  double maximum = 0;
  double step = 0;
};

// The largest end a parameter may have: its caption shows one decimal in a 59-pixel meter, and
// its value goes into the formula as x's text does, which keeps seven significant digits.
inline constexpr double kParameterEndLimit = 1e6;
// At most this many steps across the range: play's step count must stay a small int, and a
// play of more steps than this would take hours at any speed.
inline constexpr double kMaxParameterSteps = 100000;

// Why the ends cannot be taken (a line for the help panel), or nothing when they can.
std::optional<std::string> ParameterEndsRefusal(const ParameterEnds& ends);
// Takes the ends unless refused (then the record is left as it was): the value and the reset
// value are brought inside the new range.
std::optional<std::string> SetParameterEnds(ParamRecord& record, const ParameterEnds& ends);

enum class PlayMode { Forward, BackAndForth, Loop };

// Where a play goes next: the value and the direction it moves in (+1 up, -1 down); ended once
// a forward play stands at the top.
struct PlayStep {
  float value = 0;
  int direction = 1;
  bool ended = false;
};

// The play moves over the points minimum + i * step (the last one the maximum itself, however
// the step divides the range); a value between two of them counts as the nearest.
PlayStep NextPlayStep(const ParamRecord& record, PlayMode mode, int direction);
// Where a play started at this value begins: a forward play at the top starts again at the
// bottom, any other from where the value is.
float PlayStart(const ParamRecord& record, PlayMode mode);

// How fast a play moves: steps per second, and the timer's period for it.
inline constexpr int kPlaySpeeds[] = {4, 10, 25};
inline constexpr int kDefaultPlaySpeed = 1;  // index in kPlaySpeeds
int PlayPeriodMs(int stepsPerSecond);

}  // namespace funzioni
