#pragma once

// The needle meters of the typed formula's parameters, in the strip between the step meter and
// the built-in functions' switches: one slot per letter (a, b, c, k, m, n from the left), each
// meter made the first time a formula uses its letter. A meter whose letter the formula does not
// use is blanked to the window's face and leaves the keyboard order, so that a window whose
// formulas never had a parameter looks and behaves as it always did.

#include <span>
#include <string>
#include <vector>

#include "drawing/Geometry.h"
#include "state/PlotState.h"

namespace funzioni {

class ControlTable;
class Dialog;

// Where the meter of the letter with that index in kFormulaParameterLetters lies.
PixelRect FormulaMeterRect(std::size_t index);

class ParameterMeters {
 public:
  // baseOrder: the window's keyboard order without these meters; they join it after the step
  // meter. All three outlive this object.
  ParameterMeters(Dialog& dialog, ControlTable& controls, const std::vector<int>& baseOrder)
      : dialog_(dialog), controls_(controls), baseOrder_(baseOrder) {}

  // The meters of the letters the typed formula uses now shown, the others blanked.
  void Follow(const PlotState& state);
  // The letters whose meters show now.
  const std::string& Shown() const { return shown_; }

 private:
  void Make(std::size_t index, const PlotState& state);
  void Blank(int id);
  void Reorder();

  Dialog& dialog_;
  ControlTable& controls_;
  const std::vector<int>& baseOrder_;
  std::string shown_;
};

}  // namespace funzioni
