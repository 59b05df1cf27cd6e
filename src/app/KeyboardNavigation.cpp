// The drawn controls operated from the keyboard and by assistive technologies. Every path ends in
// the same actions as the mouse and the keypad: a meter steps as the keypad steps it, a switch or
// button acts as a click on it does, a value set from outside is a drag to that value.

#include <algorithm>

#include "app/MainWindow.h"
#include "drawing/Accessibility.h"
#include "plot/ZoomWindow.h"

namespace funzioni {

namespace {

constexpr int kPageSteps = 10;
constexpr float kCursorStepPercent = 1.0f;  // 6 pixels of the plotting area
constexpr float kCursorCentre = 50.0f;

bool IsClickable(int id) {
  return (id > kSwitchBaseId && id <= kSwitchBaseId + functionCount) || id == kAllOffButtonId ||
         id == kAllOnButtonId;
}

}  // namespace

int MainWindow::KeypadTarget() const {
  // A drawn control with the keyboard focus takes the keypad; otherwise the control last under
  // the pointer does.
  const int focused = dialog_->FocusedControl();
  if (focused > 0 && dialog_->FindSurface(focused) != nullptr) return focused;
  return hoverId_;
}

bool MainWindow::ActivateControl(int id) {
  if (!IsClickable(id)) return false;
  OnCommand(id, kNotifyClicked);
  return true;
}

bool MainWindow::ActivateFocusedControl() {
  return ActivateControl(dialog_->FocusedControl());
}

void MainWindow::MovePlotCursor(float dx, float dy) {
  if (dx == 0 && dy == 0) {
    plotCursorX_ = kCursorCentre;
    plotCursorY_ = kCursorCentre;
  }
  plotCursorX_ = std::clamp(plotCursorX_ + dx, 0.0f, 100.0f);
  plotCursorY_ = std::clamp(plotCursorY_ + dy, 0.0f, 100.0f);
  ShowPointerReadout(*dialog_, controls_, state_, plotCursorX_, plotCursorY_);
  plot_.ShowZoomWindowOfPicture(plotCursorX_, plotCursorY_);
}

void MainWindow::OnControlKey(int id, ControlKey key) {
  // A key pressed with Ctrl is marked; only the plotting area takes such keys.
  const int raw = static_cast<int>(key);
  if ((raw & kKeyWithControl) != 0) {
    if (id == kPlotAreaId) OnPlotControlKey(static_cast<ControlKey>(raw & ~kKeyWithControl));
    return;
  }
  if (id == kPlotAreaId) {
    const float step = kCursorStepPercent;
    switch (key) {
      case ControlKey::Left:
        return MovePlotCursor(-step, 0);
      case ControlKey::Right:
        return MovePlotCursor(step, 0);
      case ControlKey::Up:
        return MovePlotCursor(0, -step);
      case ControlKey::Down:
        return MovePlotCursor(0, step);
      case ControlKey::Home:
        return MovePlotCursor(0, 0);
      default:
        return;
    }
  }
  if (key == ControlKey::Space) {
    ActivateControl(id);
    return;
  }
  if (!meters_.Has(id)) return;
  switch (key) {
    case ControlKey::Left:
    case ControlKey::Down:
      return ShowMeter(id, meters_.Step(id, -1));
    case ControlKey::Right:
    case ControlKey::Up:
      return ShowMeter(id, meters_.Step(id, +1));
    case ControlKey::PageUp:
      return ShowMeter(id, meters_.Step(id, +kPageSteps));
    case ControlKey::PageDown:
      return ShowMeter(id, meters_.Step(id, -kPageSteps));
    case ControlKey::Home:
      return ShowMeter(id, meters_.ToEnd(id, false));
    case ControlKey::End:
      return ShowMeter(id, meters_.ToEnd(id, true));
    case ControlKey::Space:
      return;
  }
}

void MainWindow::OnAccessRequest(int id, AccessRequest request, double value) {
  switch (request) {
    case AccessRequest::Press:
    case AccessRequest::Toggle:
      ActivateControl(id);
      return;
    case AccessRequest::Increase:
      ShowMeter(id, meters_.Step(id, +1));
      return;
    case AccessRequest::Decrease:
      ShowMeter(id, meters_.Step(id, -1));
      return;
    case AccessRequest::SetValue:
      ShowMeter(id, meters_.SetValue(id, value));
      return;
  }
}

}  // namespace funzioni
