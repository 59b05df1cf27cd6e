#pragma once

// The steps a browser test and the desktop reference both follow, read from the same JSON file:
// an array of objects such as {"do": "press", "button": "left", "x": 620, "y": 572}.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace funzioni::web_reference {

enum class StepKind {
  Move,
  Press,
  Release,
  Click,
  DoubleClick,
  Key,
  Type,
  Idle,
  Restart,
  Snapshot,
  Export,      // the results table copied and saved and the graph printed, as NAME.txt, .csv, .pdf
  StudyLine,   // a press on a line of the study window's list
  StudyCheck,  // a click on the study window's check box
  Wheel        // the wheel turned by `notches` (positive: away from the user) at x, y
};
enum class StepButton { Left, Right, Middle };
// Keys held during a pointer or wheel step ("shift": true, "ctrl": true).
inline constexpr int kStepShift = 1;
inline constexpr int kStepCtrl = 2;

struct Step {
  StepKind kind = StepKind::Idle;
  int x = 0;
  int y = 0;
  StepButton button = StepButton::Left;
  std::string text;  // the key's name, the typed text, the snapshot's or the export's name
  int line = 0;      // the study window's line, from 0
  int held = 0;      // kStepShift, kStepCtrl
  int notches = 0;   // a wheel step's
};

struct StepList {
  std::vector<Step> steps;
  std::string problem;  // empty when the whole file was read
};

// Reads a steps file's text; the first step it cannot read ends the list with a problem.
StepList ParseSteps(std::string_view json);

}  // namespace funzioni::web_reference
