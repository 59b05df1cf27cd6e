#pragma once

// Drawn controls for screen readers and the keyboard. The app says in plain terms what each drawn
// control is (its role, name, value); this layer turns that into the toolkit's accessibility
// interfaces, announces changes when the control shows a new picture, and lets a control that the
// app puts in the keyboard order take the focus and its keys. Nothing here costs anything until an
// assistive technology asks.

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace funzioni {

class Dialog;

enum class AccessibleRole { Slider, CheckBox, Button, StaticText, Graphic };

// A slider's value and the range it moves in; text is the value as the control writes it.
struct AccessibleRange {
  double value = 0.0;
  double minimum = 0.0;
  double maximum = 0.0;
  double step = 0.0;
  std::string text;
};

// What the app tells about one drawn control; each function is asked whenever it is read, so it
// always gives the state of that moment. Missing functions give nothing.
struct ControlDescription {
  AccessibleRole role = AccessibleRole::StaticText;
  std::function<std::string()> name;
  std::function<std::string()> description;
  std::function<bool()> checked;           // check boxes
  std::function<AccessibleRange()> range;  // sliders
  bool announceChanges = true;             // false: read on demand only (a clock)
};

// Keys a focused drawn control receives (reaching the dialog's handler as EventKind::Key).
enum class ControlKey { Left, Right, Up, Down, PageUp, PageDown, Home, End, Space };

// What an assistive technology asks a drawn control to do (EventKind::Access): press a button,
// toggle a check box, step a slider, or set its value (the event's value).
enum class AccessRequest { Press, Toggle, Increase, Decrease, SetValue };

// Describes a drawn control (a surface); other identifiers are ignored. Requests and keys reach the
// dialog's handler like its other input: never while it is busy.
void DescribeControl(Dialog& dialog, int id, ControlDescription description);
// Drops every description (before what they refer to goes away).
void ForgetControlDescriptions(Dialog& dialog);
// The name a stock control (text list, text box) gives to assistive technologies.
void NameStockControl(Dialog& dialog, int id, std::string_view name);
// The controls that Tab and Shift+Tab visit, in this order. Drawn controls among them take the
// focus from the keyboard only, never from a click; once one has it after a keyboard move, it shows
// a focus ring.
void SetKeyboardOrder(Dialog& dialog, std::span<const int> ids);

}  // namespace funzioni
