// The desktop dialog: its window, its controls as widgets, its timers and its life from the
// first Initialise to Destroy.

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "DialogDesktop.h"
#include "EventGate.h"
#include "TextDecoding.h"

namespace funzioni {

void Dialog::Impl::Finish() {
  if (finished) return;
  finished = true;
  delivery.Stop();
  window->hide();
  Deliver(EventKind::Destroy);
  for (auto& entry : timers) entry.second->stop();
}

void Dialog::Impl::OnEnded() {
  if (loop != nullptr) {
    loop->quit();
  } else {
    Finish();
  }
}

Dialog::Dialog(std::string_view title, int x, int y, int width, int height, bool centred)
    : impl_(std::make_unique<Impl>(width, height)), core_(impl_.get()) {
  Impl& d = *impl_;
  QWidget& w = *d.window;
  w.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
  w.setWindowTitle(DecodeText(title));
  if (centred) {
    d.centring.Centre(w);
  } else {
    w.move(x, y);
  }
  d.window->onPaint = [&d] { d.delivery.QueuePaint(); };
  d.window->onClose = [&d] { d.Deliver(EventKind::Command, kCommandCancel, 0); };
  d.windowFilter = std::make_unique<desktop::EventForwarder>(
      [&d](QObject*, QEvent* event) { return d.OnWindowEvent(event); });
  d.keyFilter = std::make_unique<desktop::EventForwarder>(
      [&d](QObject* receiver, QEvent* event) { return d.OnKey(receiver, event); });
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->installEventFilter(d.keyFilter.get());
  }
}

Dialog::~Dialog() {
  Impl& d = *impl_;
  // What the handler refers to may already be gone: a dialog that never ended is destroyed
  // without telling it.
  d.delivery.SetHandler(nullptr);
  if (d.initialised) d.Finish();
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeEventFilter(d.keyFilter.get());
  }
  if (QWindow* handle = d.window->windowHandle()) handle->removeEventFilter(d.windowFilter.get());
  d.delivery.Stop();  // no wake from another thread may reach the window once it goes
  d.timers.clear();
  d.window.reset();
}

void Dialog::SetFaceColor(Color color) {
  impl_->window->SetFace(impl_->controls.SetFace(color));
}

void Dialog::SetTextColor(Color color) {
  impl_->text = color & 0x00FFFFFF;
}

void Dialog::AddControl(ControlKind kind, int id, std::string_view text, int x, int y, int width,
                        int height, int /*style*/) {
  Impl& d = *impl_;
  if (!d.controls.Takes(id)) return;
  desktop::Control control;
  control.kind = kind;
  control.text = std::string(text);
  QWidget* parent = &d.window->Client();
  switch (kind) {
    case ControlKind::Surface: {
      control.surface = d.controls.NewSurface(width, height);
      auto* widget = new SurfaceWidget(parent, *control.surface);
      control.surface->SetRedrawHook([widget] { widget->ShowPicture(); });
      control.widget = widget;
      break;
    }
    case ControlKind::TextList: {
      auto* list = new QListWidget(parent);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
      list->setUniformItemSizes(true);
      list->setFocusPolicy(Qt::StrongFocus);
      QObject::connect(list, &QListWidget::itemDoubleClicked, list, [&d, id](QListWidgetItem*) {
        d.Deliver(EventKind::Command, id, kNotifyListDoubleClick);
      });
      control.widget = list;
      break;
    }
    case ControlKind::TextBox: {
      auto* box = new LineBox(DecodeText(text), parent);
      box->setFocusPolicy(Qt::StrongFocus);
      control.widget = box;
      break;
    }
  }
  control.widget->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
  control.widget->show();
  d.idOfWidget[control.widget] = id;
  d.controls.Add(id, std::move(control));
}

std::string Dialog::GetControlText(int id) const {
  const desktop::Control* control = impl_->Find(id);
  if (control == nullptr) return {};
  if (control->kind == ControlKind::TextBox) {
    return static_cast<QLineEdit*>(control->widget)->text().toStdString();
  }
  if (control->kind == ControlKind::Surface) return control->text;
  return {};
}

void Dialog::SetControlText(int id, std::string_view text) {
  desktop::Control* control = impl_->Find(id);
  if (control == nullptr) return;
  if (control->kind == ControlKind::TextBox) {
    static_cast<QLineEdit*>(control->widget)->setText(DecodeText(text));
  } else if (control->kind == ControlKind::Surface) {
    control->text = std::string(text);
  }
}

void Dialog::SetControlFocus(int id) {
  desktop::Control* control = impl_->Find(id);
  // Surfaces take no keyboard input and keep no focus.
  if (control == nullptr || control->widget->focusPolicy() == Qt::NoFocus) return;
  control->widget->setFocus(Qt::OtherFocusReason);
}

int Dialog::FocusedControl() const {
  return impl_->IdOf(impl_->window->focusWidget());
}

PixelRect Dialog::GetControlRect(int id) const {
  const desktop::Control* control = impl_->Find(id);
  if (control == nullptr) return {};
  const QRect r = control->widget->geometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

void Dialog::StartTimer(int timerId, int periodMs) {
  Impl& d = *impl_;
  auto& timer = d.timers[timerId];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(),
                     [&d, timerId] { d.Deliver(EventKind::Timer, timerId); });
  }
  timer->start(std::max(periodMs, 1));
}

void Dialog::SetBusyPointer(int id, bool busy) {
  QWidget* widget = ControlWidget(id);
  if (widget == nullptr) return;
  if (busy) {
    widget->setCursor(Qt::BusyCursor);
  } else {
    widget->unsetCursor();
  }
}

void Dialog::StopTimer(int timerId) {
  auto it = impl_->timers.find(timerId);
  if (it != impl_->timers.end()) it->second->stop();
}

void Dialog::PauseThen(int milliseconds, std::function<void()> then) {
  PauseMilliseconds(milliseconds);
  if (then) then();
}

void Dialog::RunThen(std::string_view commandLine, std::function<void(bool started)> ended) {
  const bool started = RunAndWait(commandLine);
  if (ended) ended(started);
}

void Dialog::SetEventHandler(std::function<void(const DialogEvent&)> handler) {
  impl_->delivery.SetHandler(std::move(handler));
}

void Dialog::SetControlDescription(int id, std::string_view text) {
  desktop::Control* control = impl_->Find(id);
  if (control != nullptr) control->widget->setAccessibleDescription(DecodeText(text));
}

int Dialog::RunModal() {
  Impl& d = *impl_;
  Show();
  if (!d.ended) {
    QEventLoop loop;
    d.loop = &loop;
    loop.exec(QEventLoop::DialogExec);
    d.loop = nullptr;
  }
  d.Finish();
  return d.result;
}

void Dialog::Show() {
  Impl& d = *impl_;
  if (!d.initialised) {
    d.initialised = true;
    d.Deliver(EventKind::Initialise);
    if (d.ended) return;
  }
  // The window's own input is watched, so the native window must exist first; the controls stay
  // non-native.
  d.window->winId();
  if (QWindow* handle = d.window->windowHandle()) {
    handle->removeEventFilter(d.windowFilter.get());
    handle->installEventFilter(d.windowFilter.get());
  }
  d.window->show();
  d.centring.CentreOnceFramed(*d.window);
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) d.window->raise();
  d.window->activateWindow();
}

QWidget* Dialog::Widget() const {
  return impl_->window.get();
}

QWidget* Dialog::ControlWidget(int id) const {
  const desktop::Control* control = impl_->Find(id);
  return control != nullptr ? control->widget : nullptr;
}

void Dialog::PostEvent(const DialogEvent& event) {
  if (impl_->finished) return;
  impl_->delivery.DeliverWhole(event);
}

}  // namespace funzioni
