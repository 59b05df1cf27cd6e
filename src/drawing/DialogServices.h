#pragma once

// The main dialog, its controls and the events its one handler receives.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "DrawingSurface.h"
#include "Geometry.h"
#include "PlatformServices.h"

#ifndef __EMSCRIPTEN__
class QWidget;
#endif

namespace funzioni::detail {
struct DialogCore;
}

namespace funzioni {

enum class ControlKind { Surface, TextList, TextBox };

// Toolkit-neutral events delivered to the dialog's one handler.
enum class EventKind {
  Initialise,    // once, before the dialog is first shown
  Timer,         // id = timer identifier
  Paint,         // the dialog was painted (the first one matters)
  PointerShape,  // pointer moved over / button pressed or released over control id (0: face)
  ContextMenu,   // right-button release over control id
  Command,       // id, code (Enter: id 1; Esc/close box: id 2; keypad + 2200, - 2300, whatever
                 // has the focus; left press on a surface with id > 0: code 0, its double click:
                 // code 1; double click on a text list line: the list's id, code 2)
  Destroy,       // the dialog ended (EndDialog); not sent by the destructor of a running dialog
  Key,           // id: the drawn control with the keyboard focus, code: a ControlKey
  Access,        // id: a drawn control, code: an AccessRequest, value: the value to set
  Wheel,         // the wheel turned over control id: code = held bits (below), value = notches
                 // (positive: away from the user)
};

// What a PointerShape or Wheel event's code says is held as the pointer moves.
inline constexpr int kHeldShift = 1;
inline constexpr int kHeldControl = 2;
inline constexpr int kHeldMiddle = 4;
// Set on a Wheel event's code when two fingers pinched on a touch screen (the page's): the
// value is then the ratio of the fingers' distance after to before, not notches.
inline constexpr int kHeldPinch = 8;
// Set on a Key event's code (over the ControlKey) when an arrow was pressed with Ctrl, and on a
// keypad command's code when Ctrl was held.
inline constexpr int kKeyWithControl = 0x100;

struct DialogEvent {
  EventKind kind = EventKind::Initialise;
  int id = 0;
  int code = 0;
  double value = 0.0;
};

enum class MouseButton { Left, Right };

// Events reach the handler one at a time: none arrives while the handler runs (so neither during
// a PauseMilliseconds or RunAndWait it calls), nor during the dialog's own PauseMilliseconds or
// RunAndWait wherever they are called (the windows keep painting; timer ticks are dropped, as a
// busy window would miss them). The close box is not lost meanwhile: it arrives as the cancel
// command once the handler is free, unless the dialog has ended by then. A pointer-shape event
// names the control under the pointer even while a button is held over another one: dragging is a
// sequence of these, never a captured drag.

// Command identifiers the dialog itself sends.
inline constexpr int kCommandOk = 1;
inline constexpr int kCommandCancel = 2;
inline constexpr int kCommandKeypadPlus = 2200;
inline constexpr int kCommandKeypadMinus = 2300;
// Notification codes of a command from a control. The dialog's own commands above come with
// kNotifyClicked, as a press on a button would.
inline constexpr int kNotifyClicked = 0;          // left press on a surface
inline constexpr int kNotifyDoubleClicked = 1;    // left double click on a surface
inline constexpr int kNotifyListDoubleClick = 2;  // double click on a text list line

// The main dialog and its controls. Surfaces are drawing controls; drawing acts on the surface
// most recently chosen with AttachSurface.
class Dialog {
 public:
  // CreateDialog: a dialog with a fixed client size, centred on the screen by its frame when
  // centred is set. The window can be maximised; its client area then stays centred in it, and
  // positions of controls and of the pointer are always the client area's.
  Dialog(std::string_view title, int x, int y, int width, int height, bool centred);
  ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  void SetFaceColor(Color color);  // the dialog's background
  Color FaceColor() const;         // its low 24 bits; kDefaultFaceColor until set
  void SetTextColor(Color color);  // the dialog's text colour (stock controls)

  // Places a control; positions and sizes are pixels of the client area. Identifiers outside
  // 0..10000 or already used are ignored.
  void AddControl(ControlKind kind, int id, std::string_view text, int x, int y, int width,
                  int height, int style = 0);
  bool HasControl(int id) const;

  // Makes the surface current and returns it; an identifier that is not a surface leaves an empty
  // 0 x 0 surface current, on which everything does nothing.
  DrawingSurface& AttachSurface(int id);
  DrawingSurface& CurrentSurface();
  void RedrawSurface();                             // of the current surface
  const DrawingSurface* FindSurface(int id) const;  // nullptr when not a surface

  std::string GetControlText(int id) const;
  void SetControlText(int id, std::string_view text);
  void SetControlFocus(int id);
  int FocusedControl() const;  // identifier of the control with the keyboard focus, 0 if none
  PixelRect GetControlRect(int id) const;
  int GetControlUserValue(int id, int slot) const;
  void SetControlUserValue(int id, int slot, int value);

  void ListReset(int id);
  void ListAdd(int id, std::string_view text);
  void ListSelect(int id, int lineFromOne);
  std::string ListGetSelected(int id) const;
  int ListCount(int id) const;
  std::string ListLine(int id, int lineFromOne) const;

  void SetControlFont(int id, std::string_view faceName, int heightPixels,
                      std::string_view styleWord);

  PixelPoint GetPointerPosition() const;
  bool IsMouseButtonDown(MouseButton button) const;

  void StartTimer(int timerId, int periodMs);
  void StopTimer(int timerId);
  // A call that any thread may make, for as long as the program runs, to have the handler receive
  // the Timer event timerId once, after delayMs: unlike a timer's ticks it is not dropped while
  // the handler is busy, but comes once it is free. Calls after the dialog has ended do nothing.
  std::function<void(int delayMs)> WakeFromAnyThread(int timerId);

  // The platform waits of PlatformServices.h, holding this dialog's handler while they last even
  // when called from outside it. Closing the dialog (Esc, the close box) while RunAndWait waits
  // ends the wait at once and leaves the program running on its own.
  void PauseMilliseconds(int milliseconds);
  // PauseMilliseconds, then `then`, the handler held until `then` has run. On the desktop `then`
  // runs before this returns; the page returns at once and runs it after the pause, so that
  // what was drawn before is shown meanwhile and the browser is answered (an animation's frames).
  void PauseThen(int milliseconds, std::function<void()> then);
  bool RunAndWait(std::string_view commandLine);
  // RunAndWait, then `ended` with whether the program could be started. On the desktop `ended`
  // runs before this returns. In the page the program is the page's own editor of a file (the
  // command line "funzioni-page-editor FILE"); `ended` runs when the user closes it, and the
  // handler is held until then.
  void RunThen(std::string_view commandLine, std::function<void(bool started)> ended);
  // The dialog's own random numbers; seed it (Random() = RandomSource(seed)) to repeat a run.
  RandomSource& Random();

  void SetEventHandler(std::function<void(const DialogEvent&)> handler);
  // Sends a command to the handler as the dialog's own keys do; dropped while it is busy.
  void SendCommand(int id, int code = 0);
  // The busy pointer over a control (the usual one again when busy is false).
  void SetBusyPointer(int id, bool busy);
  // What assistive technology reads out for a control, beyond what it shows.
  void SetControlDescription(int id, std::string_view text);
  // Shows the dialog, sends Initialise, and runs until EndDialog; returns its result.
  int RunModal();
  // Shows the dialog without a nested loop (tests), sending Initialise first.
  void Show();
  void EndDialog(int result);
  bool IsEnded() const;

#ifndef __EMSCRIPTEN__
  QWidget* Widget() const;  // for tests that drive the real window
  // The widget of a control, for the drawing layer's own services; nullptr when there is none.
  QWidget* ControlWidget(int id) const;
#endif
  // The backend's own state, for the drawing layer's services (DialogCore.h).
  detail::DialogCore& Core() {
    return *core_;
  }
  // Delivers an event to the handler as the dialog's own input does: not while it is busy.
  void PostEvent(const DialogEvent& event);

 private:
  struct Impl;
  const detail::DialogCore& Core() const {
    return *core_;
  }

  std::unique_ptr<Impl> impl_;
  detail::DialogCore* core_ = nullptr;  // impl_ as the backends share it
};

}  // namespace funzioni
