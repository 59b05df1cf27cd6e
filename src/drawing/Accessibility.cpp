#include "Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>
#include <cmath>
#include <memory>

#include "AccessibleSurface.h"
#include "DialogServices.h"
#include "DialogWidgets.h"
#include "TextDecoding.h"

namespace funzioni {

namespace {

QString ToQString(const std::string& text) {
  return DecodeText(text);
}

std::string Ask(const std::function<std::string()>& function) {
  return function ? function() : std::string();
}

QAccessible::Role ToQtRole(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::Slider:
      return QAccessible::Slider;
    case AccessibleRole::CheckBox:
      return QAccessible::CheckBox;
    case AccessibleRole::Button:
      return QAccessible::Button;
    case AccessibleRole::Graphic:
      return QAccessible::Graphic;
    case AccessibleRole::StaticText:
      break;
  }
  return QAccessible::StaticText;
}

// A drawn control as assistive technologies see it: what the app described, read when asked.
class AccessibleSurface : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleSurface(SurfaceWidget* widget)
      : QAccessibleWidget(widget, ToQtRole(widget->Access()->about.role)) {}

  QString text(QAccessible::Text t) const override {
    const SurfaceAccess* access = Access();
    if (access == nullptr) return {};
    switch (t) {
      case QAccessible::Name:
        return ToQString(Ask(access->about.name));
      case QAccessible::Description:
        return ToQString(Ask(access->about.description));
      case QAccessible::Value:
        return access->about.range ? ToQString(access->about.range().text) : QString();
      default:
        return QAccessibleWidget::text(t);
    }
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    const SurfaceAccess* access = Access();
    if (access != nullptr && access->about.role == AccessibleRole::CheckBox) {
      s.checkable = true;
      s.checked = access->about.checked && access->about.checked();
    }
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ValueInterface && IsSlider()) {
      return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(t);
  }

  // Actions: the widget's own (focus) and the control's.
  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    const SurfaceAccess* access = Access();
    if (access == nullptr || !access->request) return names;
    switch (access->about.role) {
      case AccessibleRole::Slider:
        names << increaseAction() << decreaseAction();
        break;
      case AccessibleRole::CheckBox:
        names << toggleAction();
        break;
      case AccessibleRole::Button:
        names << pressAction();
        break;
      default:
        break;
    }
    return names;
  }

  void doAction(const QString& action) override {
    const SurfaceAccess* access = Access();
    if (access == nullptr || !access->request || !actionNames().contains(action)) {
      QAccessibleWidget::doAction(action);
      return;
    }
    if (action == increaseAction()) {
      access->request(AccessRequest::Increase, 0.0);
    } else if (action == decreaseAction()) {
      access->request(AccessRequest::Decrease, 0.0);
    } else if (action == toggleAction()) {
      access->request(AccessRequest::Toggle, 0.0);
    } else if (action == pressAction()) {
      access->request(AccessRequest::Press, 0.0);
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

  QVariant currentValue() const override { return Range().value; }
  QVariant minimumValue() const override { return Range().minimum; }
  QVariant maximumValue() const override { return Range().maximum; }
  QVariant minimumStepSize() const override { return Range().step; }
  void setCurrentValue(const QVariant& value) override {
    const SurfaceAccess* access = Access();
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (access == nullptr || !access->request || !ok || !std::isfinite(number)) return;
    access->request(AccessRequest::SetValue, number);
  }

 private:
  SurfaceAccess* Access() const {
    auto* surface = static_cast<SurfaceWidget*>(widget());
    return surface != nullptr ? surface->Access() : nullptr;
  }
  bool IsSlider() const {
    const SurfaceAccess* access = Access();
    return access != nullptr && access->about.role == AccessibleRole::Slider && access->about.range;
  }
  AccessibleRange Range() const { return IsSlider() ? Access()->about.range() : AccessibleRange{}; }
};

QAccessibleInterface* SurfaceFactory(const QString& /*className*/, QObject* object) {
  // The dialog's window is a frame to screen readers, not a nameless pane.
  if (auto* window = dynamic_cast<DialogWindow*>(object)) {
    return new QAccessibleWidget(window, QAccessible::Window);
  }
  auto* surface = dynamic_cast<SurfaceWidget*>(object);
  if (surface == nullptr || surface->Access() == nullptr) return nullptr;
  return new AccessibleSurface(surface);
}

AnnouncedState Snapshot(const SurfaceAccess& access) {
  AnnouncedState now;
  now.name = Ask(access.about.name);
  now.description = Ask(access.about.description);
  now.checked = access.about.checked && access.about.checked();
  if (access.about.range) now.value = access.about.range().value;
  return now;
}

SurfaceWidget* SurfaceOf(const Dialog& dialog, int id) {
  return dynamic_cast<SurfaceWidget*>(dialog.ControlWidget(id));
}

}  // namespace

void InstallAccessibleSurfaces() {
  // The toolkit keeps its factories for the whole process; one is enough for every dialog.
  static const bool installed = [] {
    QAccessible::installFactory(SurfaceFactory);
    return true;
  }();
  (void)installed;
}

void AnnounceChanges(SurfaceWidget& widget) {
  SurfaceAccess* access = widget.Access();
  if (access == nullptr || !QAccessible::isActive()) return;
  const AnnouncedState now = Snapshot(*access);
  AnnouncedState& last = access->announced;
  if (!access->about.announceChanges) {
    last = now;
    return;
  }
  if (now.name != last.name) {
    QAccessibleEvent event(&widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
  }
  if (now.description != last.description) {
    QAccessibleEvent event(&widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
  }
  if (now.checked != last.checked) {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(&widget, changed);
    QAccessible::updateAccessibility(&event);
  }
  if (now.value != last.value) {
    QAccessibleValueChangeEvent event(&widget, now.value);
    QAccessible::updateAccessibility(&event);
  }
  last = now;
}

void DescribeControl(Dialog& dialog, int id, ControlDescription description) {
  SurfaceWidget* widget = SurfaceOf(dialog, id);
  if (widget == nullptr) return;
  InstallAccessibleSurfaces();
  auto access = std::make_unique<SurfaceAccess>();
  access->about = std::move(description);
  access->request = [&dialog, id](AccessRequest request, double value) {
    dialog.PostEvent({EventKind::Access, id, static_cast<int>(request), value});
  };
  access->key = [&dialog, id](ControlKey key) {
    dialog.PostEvent({EventKind::Key, id, static_cast<int>(key)});
  };
  // What the control shows now is taken as announced: only later changes are news.
  access->announced = Snapshot(*access);
  widget->SetAccess(std::move(access));
}

void ForgetControlDescriptions(Dialog& dialog) {
  QWidget* window = dialog.Widget();
  if (window == nullptr) return;
  // Surface widgets have no meta-object of their own, so they are told apart by their C++ type.
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (auto* widget = dynamic_cast<SurfaceWidget*>(child)) widget->SetAccess(nullptr);
  }
}

void NameStockControl(Dialog& dialog, int id, std::string_view name) {
  QWidget* widget = dialog.ControlWidget(id);
  if (widget == nullptr || SurfaceOf(dialog, id) != nullptr) return;
  widget->setAccessibleName(DecodeText(name));
}

void SetKeyboardOrder(Dialog& dialog, std::span<const int> ids) {
  QWidget* previous = nullptr;
  for (const int id : ids) {
    QWidget* widget = dialog.ControlWidget(id);
    if (widget == nullptr) continue;
    // Tab focus only: a click on a drawn control leaves the focus where it was.
    if (widget->focusPolicy() == Qt::NoFocus) widget->setFocusPolicy(Qt::TabFocus);
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

}  // namespace funzioni
