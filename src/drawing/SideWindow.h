#pragma once

// A window of its own beside a dialog, that does not hold up the dialog: a heading, a list of
// lines that the pointer or the arrow keys choose from, a drawn chart, text fields where Enter
// asks for something, and a check box. What the user does in
// it reaches the dialog's handler as commands, like the dialog's own input (never while the
// handler is busy). Texts are UTF-8.

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Geometry.h"
#include "SideWindowChart.h"

#ifndef __EMSCRIPTEN__
class QWidget;
#endif

namespace funzioni {

class Dialog;

// The commands the window sends to its dialog's handler (event kind Command).
struct SideWindowCommands {
  int chosen = 0;   // a line was chosen; code: its index from 0
  int checked = 0;  // the check box changed; code: 1 when on
  int copy = 0;     // Ctrl+C (the desktop's copy key) in the window
  int closed = 0;   // the user closed it (close box or Esc)
  int print = 0;    // Ctrl+P (the desktop's print key) in the window; 0: the key does nothing
  int field = 0;    // Enter in a text field; code: its index from 0
  int button = 0;   // a button pressed; code: its index from 0
};

// A text field under the list, after its label; a field on the same row as the one before.
struct SideField {
  std::string label;
  std::string name;  // what assistive technology calls it
  bool sameRow = false;
};

// A button on a row of its own after the check box, in the Tab order after it.
struct SideButton {
  std::string label;
  std::string name;  // what assistive technology calls it
};

struct SideWindowLook {
  std::string title;
  std::string listName;  // what assistive technology calls the list
  std::string checkLabel;
  int width = 420;
  int height = 520;
  // In the page, which has no screen beside it: the part of the dialog's client area it lies
  // over when the browser's window has no room beside the dialog (empty: the client area's
  // right edge). The desktop's window always lies beside.
  PixelRect cover;
  std::vector<SideField> fields;
  std::vector<SideButton> buttons;
};

class SideWindow {
 public:
  // Built hidden; nothing shows until Show.
  SideWindow(Dialog& owner, const SideWindowLook& look, SideWindowCommands commands);
  ~SideWindow();
  SideWindow(const SideWindow&) = delete;
  SideWindow& operator=(const SideWindow&) = delete;

  // Shows it beside the dialog's window (on its right where the screen has room) and gives it
  // the keyboard focus; shown again, it is only raised.
  void Show();
  void Hide();
  bool IsShown() const;

  void SetHeading(std::string_view text);
  // Replaces the lines; the current line is kept by index when there still is one.
  void SetLines(std::span<const std::string> lines);
  int LineCount() const;
  std::string Line(int index) const;
  int CurrentLine() const;  // -1 when none
  void SetCurrentLine(int index);
  bool Checked() const;
  // The text of field `index` (UTF-8); empty for no such field.
  std::string FieldText(int index) const;
  void SetFieldText(int index, std::string_view text);
  // The chart drawn under the list, above the fields (none: empty); the window grows to hold it.
  void SetChart(const SideChart& chart);

#ifndef __EMSCRIPTEN__
  QWidget* ChartWidget() const;  // for tests
#endif

#ifndef __EMSCRIPTEN__
  QWidget* Widget() const;  // for tests that drive the real window
#endif

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace funzioni
