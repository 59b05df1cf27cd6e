#pragma once

// The program's side of the page: what the drawing layer asks of the page's script (web/page.js)
// and the one scheduler through which the script's timeouts call back. Private to the drawing
// layer's browser backend.

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "drawing/BackgroundWork.h"
#include "drawing/Color.h"
#include "drawing/DialogServices.h"
#include "drawing/Geometry.h"
#include "drawing/web/PageShared.h"

namespace funzioni::web {
class DrawnControls;
class PageEditor;
}  // namespace funzioni::web

namespace funzioni::web {

// Calls made later, once or at a period, each from its own timeout of the page. The script knows
// only call numbers: a call cancelled before its timeout fires is simply not found.
class Scheduler {
 public:
  // A call after delayMs, then every periodMs when periodMs > 0. Owner groups calls for
  // CancelOwned. Returns the call's number.
  int Start(const void* owner, int delayMs, int periodMs, std::function<void()> call);
  // The same, its first call as soon as the script's task under way has ended, ahead of the
  // browser's other tasks (kSoonDelay), then every periodMs. A soon call asked for while one runs
  // waits for a timeout of periodMs instead: a chain of them would never let the browser in.
  int StartSoon(const void* owner, int periodMs, std::function<void()> call);
  void Cancel(int number);
  void CancelOwned(const void* owner);
  // The page's timeout for a call fired.
  void Run(int number);
  bool HasFastCall(int periodBelowMs) const;

 private:
  struct Call {
    const void* owner = nullptr;
    int periodMs = 0;
    std::function<void()> call;
    bool soon = false;  // its next call is a soon one
  };
  std::map<int, Call> calls_;
  int next_ = 1;
  bool runningSoon_ = false;
};

// The page's one scheduler (ThePage()'s): the script's timeouts reach the program through it.
Scheduler& PageScheduler();

// The page's timeouts behind the scheduler: the call numbered `number` after delayMs (replacing
// any earlier timeout of that number), or none any more. kSoonDelay: as soon as the script's task
// under way has ended (a microtask of the page).
inline constexpr int kSoonDelay = -1;
void ScheduleTimeout(int number, int delayMs);
void CancelTimeout(int number);

enum class PointerAction { Move = 0, Press = 1, Release = 2 };

// A mouse event over the client area, in its pixels. button: 0 left, 2 right (the one pressed
// or released); buttons: those held after the event (1 left, 2 right); clicks: 1 for a press,
// 2 for the second press of a double click, and so on; line: the text-list line under the
// pointer, -1 if none; held: the keys and the middle button held (kHeldShift, kHeldControl,
// kHeldMiddle of DialogServices.h), as the desktop reports them.
struct PointerInput {
  PointerAction action = PointerAction::Move;
  PixelPoint position;
  int button = 0;
  int buttons = 0;
  int clicks = 0;
  int line = -1;
  int held = 0;
};

// The wheel turned, or two fingers pinched, over the client area, in its pixels. held: as a
// pointer's (kHeldPinch for a pinch); amount: notches (positive: away from the user), or for a
// pinch the ratio of the fingers' distance after to before.
struct WheelInput {
  PixelPoint position;
  int held = 0;
  double amount = 0;
};

// The script's numbers are taken only for what they can mean: a pointer never claims a pinch, a
// wheel turns by a finite amount, and fingers are a positive, finite distance apart.
inline int PointerHeld(int held) {
  return held & (kHeldShift | kHeldControl | kHeldMiddle);
}
inline std::optional<WheelInput> WheelOf(PixelPoint position, int held, double notches) {
  if (!std::isfinite(notches) || notches == 0) return std::nullopt;
  return WheelInput{position, PointerHeld(held), notches};
}
inline std::optional<WheelInput> PinchOf(PixelPoint position, double ratio) {
  if (!std::isfinite(ratio) || !(ratio > 0) || ratio == 1) return std::nullopt;
  return WheelInput{position, kHeldPinch, ratio};
}

// What the page's script reports to the dialog shown in it.
class PageInput {
 public:
  virtual void OnPointer(const PointerInput& input) = 0;
  virtual void OnButtons(int buttons) = 0;  // held buttons changed outside the window
  // True when it landed on a drawn surface: the page then keeps the browser from scrolling or
  // zooming itself as well.
  virtual bool OnWheel(const WheelInput& input) = 0;
  // Enter, Esc, the keypad's + and -; code: kKeyWithControl when Ctrl was held.
  virtual void OnCommandKey(int command, int code = kNotifyClicked) = 0;
  virtual void OnListChoice(int id, int index) = 0;  // the keyboard moved a list's selection
  virtual PageEditor& Editor() = 0;    // the page's text editor, started by the dialog
  virtual DrawnControls& Drawn() = 0;  // the drawn controls' mirrors in the page
  // Bits of PageShared.h: kPagePainted, kPageIdle, kPageEnded.
  virtual int PageState() const = 0;
  // Puts the pictures redrawn since the last call on the canvas (see ShowSoon).
  virtual void ShowWaiting() {}

 protected:
  ~PageInput() = default;
};

// An answer the page gives later (a menu's choice, the browser refusing a copy) and the dialog
// that asked for it: the answer is dropped when that dialog is no longer the one shown.
template <typename... Args>
struct LaterAnswer {
  std::function<void(Args...)> answer;
  const PageInput* dialog = nullptr;
};

// The page's side windows by number, each as the call that takes its panel's reports.
struct PageSideWindows {
  std::map<int, std::function<void(SideAction, int)>> byNumber;
  int next = 1;
};

// What the page keeps between the script's calls into the program: the script reaches the
// program only through its exports, which find everything here. A test makes it fresh
// (ThePage() = {}).
struct PageContext {
  PageInput* shown = nullptr;  // the dialog shown in the page, nullptr while there is none
  // The page has one menu element, so one menu at a time: a new one replaces it.
  LaterAnswer<int> menu;
  // The browser answers a copy later, and only the last one given matters.
  LaterAnswer<> pictureCopy;
  // The calls the script's timeouts make.
  Scheduler scheduler;
  // In a background instance: what each BackgroundService's requests become, by its number.
  std::array<BackgroundRequestHandler, 2> backgroundHandlers;
  PageSideWindows sides;
};

// The page's one context (PageBridge.cpp).
PageContext& ThePage();

// The dialog shown in the page, nullptr while there is none.
inline PageInput*& ShownDialog() {
  return ThePage().shown;
}

// The page's elements, as the script builds them.
void SetTitle(std::string_view utf8);
void SetFace(Color color);
void AddTextList(int id, PixelRect rect);
void AddTextBox(int id, PixelRect rect, std::string_view utf8);
// Copies part of a picture of 32-bit RGBA pixels (width x height, placed at `at` in the client
// area) onto the page's canvas.
void Blit(const std::uint32_t* rgba, PixelSize size, PixelPoint at, PixelRect part);
// Asks the page for the shown dialog's ShowWaiting once the program's call under way, and the
// calls it asked for as soon as it ended, are done.
void ShowSoon();
void ListReset(int id);
void ListAdd(int id, std::string_view utf8);
void ListSelect(int id, int index);  // -1: none
std::string BoxText(int id);
void SetBoxText(int id, std::string_view utf8);
void Focus(int id);
int FocusedControl();  // 0 when no control has the focus
void SetFont(int id, std::string_view family, int pixels, bool bold);
void SetBusyCursor(bool busy);
void SetDescription(int id, std::string_view utf8);
void SetAccessibleName(int id, std::string_view utf8);
void Show();
void ShowEnded();
// The page's text editor (PageEditor): shown with a file's name and text, its text replaced,
// closed.
void OpenEditor(std::string_view fileName, std::string_view utf8);
void SetEditorText(std::string_view utf8);
void CloseEditor();
// Offers bytes to the user as a download of the browser.
void DownloadBytes(std::string_view bytes, std::string_view fileName);
// One of the page's own texts (PageTexts) in the program's language, as the page was handed it.
std::string PageOwnText(std::string_view italian);

}  // namespace funzioni::web
