#pragma once

// The needle meters of the main window by identifier: the zoom, the step, the parameters a..d of
// every built-in function and those the typed formula uses. The pointer, the keypad, the keyboard
// and assistive technology all move a meter through here; each operation changes the meter's record
// in the plot state and gives back what the meter must show, or nothing for an identifier that is
// no meter.

#include <functional>
#include <optional>

#include "app/Parameters.h"
#include "state/PlotState.h"

namespace funzioni {

struct MeterRules;  // what one kind of meter does with its record (Meters.cpp)

class Meters {
 public:
  explicit Meters(PlotState& state) : state_(state) {}
  Meters(const Meters&) = delete;
  Meters& operator=(const Meters&) = delete;

  // Called with the meter's identifier whenever the pointer, the keypad, the keyboard or
  // assistive technology moves a meter (a play of that parameter stops).
  void WatchInput(std::function<void(int id)> watcher) { watcher_ = std::move(watcher); }

  bool Has(int id) const;
  // The pointer at that percentage over the meter with the left button held.
  std::optional<MeterLook> Drag(int id, float percent);
  // The right button held over the meter.
  std::optional<MeterLook> Reset(int id);
  // The keypad's s steps (negative: down).
  std::optional<MeterLook> Step(int id, int s);
  // The range's top or bottom, written as a step of nothing writes it.
  std::optional<MeterLook> ToEnd(int id, bool top);
  // A value set from outside, brought into the range: for the zoom and the step a drag to it
  // (their drags take the percentage as the value), for a parameter the value itself.
  std::optional<MeterLook> SetValue(int id, double value);

 private:
  struct Found {
    ParamRecord* record = nullptr;
    char letter = 'a';
    const MeterRules* rules = nullptr;
    bool typedFormula = false;  // a parameter of the typed formula
  };
  // The one map from identifiers to records.
  std::optional<Found> Find(int id) const;
  MeterLook Changed(const Found& meter, MeterLook look);
  // Find for an input: the watcher hears of it first.
  std::optional<Found> FindForInput(int id);

  PlotState& state_;
  std::function<void(int id)> watcher_;
};

}  // namespace funzioni
