// The desktop dialog's input: the window's pointer, seen before the widget that grabbed the
// mouse, and the keys that belong to the dialog whatever control has the focus.

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>

#include "DialogDesktop.h"

namespace funzioni {

bool Dialog::Impl::Owns(const QObject* object) const {
  if (object == window->windowHandle()) return true;
  const auto* widget = qobject_cast<const QWidget*>(object);
  return widget != nullptr && widget->window() == window.get();
}

// Pointer input as the window receives it, before Qt hands it to the widget that grabbed the
// mouse: the control under the pointer is found from the position every time.
namespace {

int HeldBits(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  return ((modifiers & Qt::ShiftModifier) != 0 ? kHeldShift : 0) |
         ((modifiers & Qt::ControlModifier) != 0 ? kHeldControl : 0) |
         ((buttons & Qt::MiddleButton) != 0 ? kHeldMiddle : 0);
}

}  // namespace

// The wheel over a control: reported with the keys and buttons held, in notches of 120 eighths
// of a degree, and then left to the control.
bool Dialog::Impl::OnWheel(QEvent* event) {
  const auto* wheel = static_cast<QWheelEvent*>(event);
  const QPointF exact = wheel->position();
  const QPoint windowPos(static_cast<int>(std::floor(exact.x())),
                         static_cast<int>(std::floor(exact.y())));
  if (!window->rect().contains(windowPos)) return false;
  const QPoint pos = windowPos - window->Client().pos();
  pointer = pos;
  pointerKnown = true;
  const QPoint delta = wheel->angleDelta();
  const int eighths = delta.y() != 0 ? delta.y() : delta.x();
  if (eighths == 0) return false;
  delivery.DeliverWhole({EventKind::Wheel, ControlAt(pos),
                         HeldBits(wheel->modifiers(), wheel->buttons()), eighths / 120.0});
  return false;  // a list under the pointer still scrolls
}

bool Dialog::Impl::OnWindowEvent(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Expose || type == QEvent::Move || type == QEvent::Resize) {
    centring.CentreOnceFramed(*window);
    return false;
  }
  if (type == QEvent::Wheel) return OnWheel(event);
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
      type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) {
    return false;
  }
  const auto* mouse = static_cast<QMouseEvent*>(event);
  // At a scale above 1 a device pixel is a fraction of a window pixel: it belongs to the window
  // pixel it lies in, not to the nearest one.
  const QPointF exact = mouse->position();
  const QPoint windowPos(static_cast<int>(std::floor(exact.x())),
                         static_cast<int>(std::floor(exact.y())));
  const QPoint pos = windowPos - window->Client().pos();
  pointer = pos;
  pointerKnown = true;
  // The release of a right press kept from a text list is kept from it as well.
  const bool keepRelease = type == QEvent::MouseButtonRelease &&
                           mouse->button() == Qt::RightButton && rightPressKeptFromList;
  if (keepRelease) rightPressKeptFromList = false;
  if (!window->rect().contains(windowPos)) return keepRelease;
  const int id = ControlAt(pos);
  Deliver(EventKind::PointerShape, id, HeldBits(mouse->modifiers(), mouse->buttons()));
  const desktop::Control* control = Find(id);
  // A right press on a text list is only reported: the list neither moves its selection nor
  // takes the keyboard focus, and a right double click is no double click on a line.
  const bool rightPressOnList =
      (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) &&
      mouse->button() == Qt::RightButton && control != nullptr &&
      control->kind == ControlKind::TextList;
  if (rightPressOnList) {
    rightPressKeptFromList = true;
    return true;
  }
  const bool clickableSurface = control != nullptr && control->kind == ControlKind::Surface &&
                                id > 0 && mouse->button() == Qt::LeftButton;
  if (type == QEvent::MouseButtonPress && clickableSurface &&
      (mouse->flags() & Qt::MouseEventCreatedDoubleClick) == 0) {
    Deliver(EventKind::Command, id, kNotifyClicked);
  } else if (type == QEvent::MouseButtonDblClick && clickableSurface) {
    Deliver(EventKind::Command, id, kNotifyDoubleClicked);
  } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton) {
    Deliver(EventKind::ContextMenu, id);
  }
  return keepRelease;
}

// Keys that belong to the dialog whatever control has the focus. Seen application-wide,
// before the focused control, which therefore never receives them.
bool Dialog::Impl::OnKey(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::KeyPress || finished || !Owns(receiver)) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool keypad = (key->modifiers() & Qt::KeypadModifier) != 0;
  int command = 0;
  if (keypad && key->key() == Qt::Key_Plus) {
    command = kCommandKeypadPlus;
  } else if (keypad && key->key() == Qt::Key_Minus) {
    command = kCommandKeypadMinus;
  } else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    command = kCommandOk;
  } else if (key->key() == Qt::Key_Escape) {
    command = kCommandCancel;
  } else {
    return false;
  }
  const bool withControl = (key->modifiers() & Qt::ControlModifier) != 0 &&
                           (command == kCommandKeypadPlus || command == kCommandKeypadMinus);
  Deliver(EventKind::Command, command, withControl ? kKeyWithControl : kNotifyClicked);
  return true;
}

PixelPoint Dialog::GetPointerPosition() const {
  const Impl& d = *impl_;
  if (!d.pointerKnown) {
    const QPoint p = d.window->Client().mapFromGlobal(QCursor::pos());
    return {p.x(), p.y()};
  }
  return {d.pointer.x(), d.pointer.y()};
}

bool Dialog::IsMouseButtonDown(MouseButton button) const {
  const Qt::MouseButtons held = QGuiApplication::mouseButtons();
  return (held & (button == MouseButton::Left ? Qt::LeftButton : Qt::RightButton)) != 0;
}

}  // namespace funzioni
