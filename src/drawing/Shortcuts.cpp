#include "Shortcuts.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>
#include <vector>

#include "DialogServices.h"

namespace funzioni {

namespace {

QKeySequence::StandardKey QtKey(StandardKey key) {
  switch (key) {
    case StandardKey::Save:
      return QKeySequence::Save;
    case StandardKey::Print:
      return QKeySequence::Print;
    case StandardKey::Copy:
      return QKeySequence::Copy;
  }
  return QKeySequence::UnknownKey;
}

struct Binding {
  QKeySequence::StandardKey standard = QKeySequence::UnknownKey;
  QKeySequence sequence;  // used when standard is UnknownKey
  int commandId = 0;
  int focusId = 0;

  bool Matches(const QKeyEvent& key) const {
    if (standard != QKeySequence::UnknownKey) return key.matches(standard);
    return QKeySequence(key.keyCombination()) == sequence;
  }
};

}  // namespace

struct DialogShortcuts::Impl : QObject {
  explicit Impl(Dialog& owner) : dialog(owner) {}

  Dialog& dialog;
  std::vector<Binding> bindings;

  // Seen application-wide before the focused control, like the dialog's own keys.
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || dialog.IsEnded()) return false;
    const auto* widget = qobject_cast<const QWidget*>(receiver);
    if (widget == nullptr || widget->window() != dialog.Widget()) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const int focused = dialog.FocusedControl();
    for (const Binding& binding : bindings) {
      if (binding.focusId > 0 && binding.focusId != focused) continue;
      if (!binding.Matches(key)) continue;
      // A held key does not repeat the command (a dialog it opens would open again).
      if (!key.isAutoRepeat()) dialog.SendCommand(binding.commandId, 0);
      return true;
    }
    return false;
  }
};

DialogShortcuts::DialogShortcuts(Dialog& dialog) : impl_(std::make_unique<Impl>(dialog)) {
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->installEventFilter(impl_.get());
  }
}

DialogShortcuts::~DialogShortcuts() {
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeEventFilter(impl_.get());
  }
}

void DialogShortcuts::Add(StandardKey key, int commandId, int onlyWithFocusId) {
  impl_->bindings.push_back({QtKey(key), {}, commandId, onlyWithFocusId});
}

void DialogShortcuts::Add(std::string_view keys, int commandId, int onlyWithFocusId) {
  const QString text = QString::fromUtf8(keys.data(), static_cast<qsizetype>(keys.size()));
  impl_->bindings.push_back({QKeySequence::UnknownKey,
                             QKeySequence::fromString(text, QKeySequence::PortableText), commandId,
                             onlyWithFocusId});
}

}  // namespace funzioni
