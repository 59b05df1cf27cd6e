// The dialog's methods that do not depend on the toolkit that shows it: written once, compiled
// into both backends, on what their Dialog::Impl shares (DialogCore.h).

#include "DialogCore.h"
#include "DialogServices.h"

namespace funzioni {

Color Dialog::FaceColor() const {
  return Core().Controls().Face();
}

bool Dialog::HasControl(int id) const {
  return Core().Controls().FindRecord(id) != nullptr;
}

DrawingSurface& Dialog::AttachSurface(int id) {
  return Core().Controls().Attach(id);
}

DrawingSurface& Dialog::CurrentSurface() {
  return Core().Controls().Current();
}

void Dialog::RedrawSurface() {
  Core().Controls().Current().RedrawSurface();
}

const DrawingSurface* Dialog::FindSurface(int id) const {
  return Core().Controls().FindSurface(id);
}

int Dialog::GetControlUserValue(int id, int slot) const {
  const detail::ControlRecord* control = Core().Controls().FindRecord(id);
  return control == nullptr ? 0 : control->UserValue(slot);
}

void Dialog::SetControlUserValue(int id, int slot, int value) {
  if (detail::ControlRecord* control = Core().Controls().FindRecord(id)) {
    control->SetUserValue(slot, value);
  }
}

std::function<void(int delayMs)> Dialog::WakeFromAnyThread(int timerId) {
  return Core().delivery.WakeFromAnyThread(timerId);
}

void Dialog::PauseMilliseconds(int milliseconds) {
  detail::PauseHolding(&Core().delivery.Gate(), milliseconds);
}

bool Dialog::RunAndWait(std::string_view commandLine) {
  return detail::RunAndWaitHolding(&Core().delivery.Gate(), commandLine);
}

RandomSource& Dialog::Random() {
  return Core().random;
}

void Dialog::SendCommand(int id, int code) {
  Core().Deliver(EventKind::Command, id, code);
}

void Dialog::EndDialog(int result) {
  Core().EndDialogNow(result);
}

bool Dialog::IsEnded() const {
  return Core().ended;
}

}  // namespace funzioni
