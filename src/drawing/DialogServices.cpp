#include "DialogServices.h"

#include <QApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <utility>

#include "DialogWidgets.h"
#include "EventDelivery.h"
#include "EventGate.h"
#include "TextDecoding.h"
#include "TextRenderer.h"
#include "WindowCentring.h"

namespace funzioni {

namespace {

constexpr int kMaxControlId = 10000;

// Forwards a watched object's events to a function; no meta-object needed.
class EventForwarder : public QObject {
 public:
  explicit EventForwarder(std::function<bool(QObject*, QEvent*)> forward)
      : forward_(std::move(forward)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override { return forward_(watched, event); }

 private:
  std::function<bool(QObject*, QEvent*)> forward_;
};

struct Control {
  ControlKind kind = ControlKind::Surface;
  QWidget* widget = nullptr;  // owned by the dialog window
  std::unique_ptr<DrawingSurface> surface;
  SurfaceWidget* surfaceWidget = nullptr;
  std::array<int, 8> userValues{};
  std::string text;
};

}  // namespace

struct Dialog::Impl {
  // The window may be maximised, but never made smaller than its client area, which keeps its
  // size and the controls their places.
  Impl(int width, int height)
      : window(std::make_unique<DialogWindow>(std::max(width, 1), std::max(height, 1))),
        delivery(
            window.get(), [this] { EndDialogNow(kCommandCancel); }, [this] { return ended; }) {}

  std::unique_ptr<DialogWindow> window;
  EventDelivery delivery;
  WindowCentring centring;
  std::map<int, Control> controls;
  std::map<const QWidget*, int> idOfWidget;
  DrawingSurface emptySurface;
  DrawingSurface* current = &emptySurface;
  std::map<int, std::unique_ptr<QTimer>> timers;
  std::unique_ptr<EventForwarder> windowFilter;
  std::unique_ptr<EventForwarder> keyFilter;
  QEventLoop* loop = nullptr;
  QPoint pointer{0, 0};
  bool pointerKnown = false;
  bool initialised = false;
  bool ended = false;
  bool finished = false;
  bool rightPressKeptFromList = false;
  RandomSource random;
  int result = 0;
  Color face = 0x00F0F0F0;
  Color stretchOutside = kFaceColor;  // the face colour, for surfaces added after it was set
  Color text = 0x00000000;

  Control* Find(int id) {
    auto it = controls.find(id);
    return it == controls.end() ? nullptr : &it->second;
  }
  const Control* Find(int id) const {
    auto it = controls.find(id);
    return it == controls.end() ? nullptr : &it->second;
  }
  QListWidget* List(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->kind == ControlKind::TextList ? static_cast<QListWidget*>(c->widget)
                                                            : nullptr;
  }

  // The control a widget belongs to (a list's viewport and scroll bar belong to the list).
  int IdOf(const QWidget* widget) const {
    for (const QWidget* w = widget; w != nullptr && w != window.get(); w = w->parentWidget()) {
      auto it = idOfWidget.find(w);
      if (it != idOfWidget.end()) return it->second;
    }
    return 0;
  }
  int ControlAt(QPoint clientPos) const { return IdOf(window->Client().childAt(clientPos)); }

  bool Owns(const QObject* object) const {
    if (object == window->windowHandle()) return true;
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget != nullptr && widget->window() == window.get();
  }

  void Deliver(EventKind kind, int id = 0, int code = 0) { delivery.Deliver(kind, id, code); }

  // Pointer input as the window receives it, before Qt hands it to the widget that grabbed the
  // mouse: the control under the pointer is found from the position every time.
  bool OnWindowEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Expose || type == QEvent::Move || type == QEvent::Resize) {
      centring.CentreOnceFramed(*window);
      return false;
    }
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
    Deliver(EventKind::PointerShape, id);
    const Control* control = Find(id);
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
  bool OnKey(QObject* receiver, QEvent* event) {
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
    Deliver(EventKind::Command, command, kNotifyClicked);
    return true;
  }

  void Finish() {
    if (finished) return;
    finished = true;
    delivery.Stop();
    window->hide();
    Deliver(EventKind::Destroy);
    for (auto& entry : timers) entry.second->stop();
  }

  void EndDialogNow(int value) {
    if (ended) return;
    ended = true;
    result = value;
    if (loop != nullptr) {
      loop->quit();
    } else {
      Finish();
    }
  }
};

Dialog::Dialog(std::string_view title, int x, int y, int width, int height, bool centred)
    : impl_(std::make_unique<Impl>(width, height)) {
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
  d.windowFilter = std::make_unique<EventForwarder>(
      [&d](QObject*, QEvent* event) { return d.OnWindowEvent(event); });
  d.keyFilter = std::make_unique<EventForwarder>(
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
  impl_->face = color & 0x00FFFFFF;
  impl_->stretchOutside = impl_->face;
  impl_->window->SetFace(impl_->face);
  for (auto& entry : impl_->controls) {
    if (entry.second.surface) entry.second.surface->SetStretchOutsideColor(impl_->face);
  }
}

void Dialog::SetTextColor(Color color) {
  impl_->text = color & 0x00FFFFFF;
}

void Dialog::AddControl(ControlKind kind, int id, std::string_view text, int x, int y, int width,
                        int height, int /*style*/) {
  Impl& d = *impl_;
  if (id < 0 || id > kMaxControlId || d.controls.count(id) != 0) return;
  Control control;
  control.kind = kind;
  control.text = std::string(text);
  QWidget* parent = &d.window->Client();
  switch (kind) {
    case ControlKind::Surface: {
      control.surface = std::make_unique<DrawingSurface>(width, height);
      control.surface->SetStretchOutsideColor(d.stretchOutside);
      auto* widget = new SurfaceWidget(parent, *control.surface);
      control.surface->SetRedrawHook([widget] { widget->ShowPicture(); });
      control.surfaceWidget = widget;
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
  d.controls.emplace(id, std::move(control));
}

bool Dialog::HasControl(int id) const {
  return impl_->Find(id) != nullptr;
}

DrawingSurface& Dialog::AttachSurface(int id) {
  Impl& d = *impl_;
  Control* control = d.Find(id);
  d.current = control != nullptr && control->surface ? control->surface.get() : &d.emptySurface;
  return *d.current;
}

DrawingSurface& Dialog::CurrentSurface() {
  return *impl_->current;
}

void Dialog::RedrawSurface() {
  impl_->current->RedrawSurface();
}

const DrawingSurface* Dialog::FindSurface(int id) const {
  const Control* control = impl_->Find(id);
  return control != nullptr ? control->surface.get() : nullptr;
}

std::string Dialog::GetControlText(int id) const {
  const Control* control = impl_->Find(id);
  if (control == nullptr) return {};
  if (control->kind == ControlKind::TextBox) {
    return static_cast<QLineEdit*>(control->widget)->text().toStdString();
  }
  if (control->kind == ControlKind::Surface) return control->text;
  return {};
}

void Dialog::SetControlText(int id, std::string_view text) {
  Control* control = impl_->Find(id);
  if (control == nullptr) return;
  if (control->kind == ControlKind::TextBox) {
    static_cast<QLineEdit*>(control->widget)->setText(DecodeText(text));
  } else if (control->kind == ControlKind::Surface) {
    control->text = std::string(text);
  }
}

void Dialog::SetControlFocus(int id) {
  Control* control = impl_->Find(id);
  // Surfaces take no keyboard input and keep no focus.
  if (control == nullptr || control->widget->focusPolicy() == Qt::NoFocus) return;
  control->widget->setFocus(Qt::OtherFocusReason);
}

int Dialog::FocusedControl() const {
  return impl_->IdOf(impl_->window->focusWidget());
}

PixelRect Dialog::GetControlRect(int id) const {
  const Control* control = impl_->Find(id);
  if (control == nullptr) return {};
  const QRect r = control->widget->geometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

int Dialog::GetControlUserValue(int id, int slot) const {
  const Control* control = impl_->Find(id);
  if (control == nullptr || slot < 1 || slot > 8) return 0;
  if (control->surface) return control->surface->UserValue(slot);
  return control->userValues[static_cast<std::size_t>(slot - 1)];
}

void Dialog::SetControlUserValue(int id, int slot, int value) {
  Control* control = impl_->Find(id);
  if (control == nullptr || slot < 1 || slot > 8) return;
  if (control->surface) {
    control->surface->SetUserValue(slot, value);
  } else {
    control->userValues[static_cast<std::size_t>(slot - 1)] = value;
  }
}

void Dialog::ListReset(int id) {
  if (QListWidget* list = impl_->List(id)) list->clear();
}

namespace {

// A line far wider than the list is shown by its beginning only: the list cuts it at its width
// all the same, and laying out the whole of a long line on every repaint would take seconds. The
// whole line is kept for reading it back.
constexpr qsizetype kShownPrefix = 2048;
constexpr int kShownWidthFactor = 8;
constexpr int kWholeLineRole = Qt::UserRole + 1;

void AddListLine(QListWidget& list, const QString& line) {
  if (line.size() <= kShownPrefix) {
    list.addItem(line);
    return;
  }
  qsizetype cut = kShownPrefix;
  if (line[cut - 1].isHighSurrogate()) --cut;
  const QString shown = line.left(cut);
  if (list.fontMetrics().horizontalAdvance(shown) <= kShownWidthFactor * list.width()) {
    list.addItem(line);
    return;
  }
  auto item = std::make_unique<QListWidgetItem>(shown);
  item->setData(kWholeLineRole, line);
  list.addItem(item.release());  // the list owns its items
}

std::string WholeListLine(const QListWidgetItem& item) {
  const QVariant whole = item.data(kWholeLineRole);
  return (whole.isValid() ? whole.toString() : item.text()).toStdString();
}

}  // namespace

void Dialog::ListAdd(int id, std::string_view text) {
  if (QListWidget* list = impl_->List(id)) AddListLine(*list, DecodeText(text));
}

void Dialog::ListSelect(int id, int lineFromOne) {
  QListWidget* list = impl_->List(id);
  if (list == nullptr) return;
  if (lineFromOne < 1 || lineFromOne > list->count()) {
    list->clearSelection();
    list->setCurrentRow(-1);
    return;
  }
  list->setCurrentRow(lineFromOne - 1, QItemSelectionModel::ClearAndSelect);
  list->scrollToItem(list->item(lineFromOne - 1));
}

std::string Dialog::ListGetSelected(int id) const {
  QListWidget* list = impl_->List(id);
  if (list == nullptr) return {};
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? std::string() : WholeListLine(*selected.front());
}

int Dialog::ListCount(int id) const {
  QListWidget* list = impl_->List(id);
  return list == nullptr ? 0 : list->count();
}

std::string Dialog::ListLine(int id, int lineFromOne) const {
  QListWidget* list = impl_->List(id);
  if (list == nullptr || lineFromOne < 1 || lineFromOne > list->count()) return {};
  return WholeListLine(*list->item(lineFromOne - 1));
}

void Dialog::SetControlFont(int id, std::string_view faceName, int heightPixels,
                            std::string_view styleWord) {
  Control* control = impl_->Find(id);
  if (control == nullptr || control->kind == ControlKind::Surface) return;
  QFont font(QString::fromStdString(TextRenderer::ResolveFamily(faceName)));
  std::string word(styleWord);
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  font.setWeight(word == "BOLD" ? QFont::Bold : QFont::Normal);
  font.setHintingPreference(QFont::PreferFullHinting);
  if (heightPixels < 0) {
    font.setPixelSize(-heightPixels);
  } else if (heightPixels > 0) {
    // A positive height is the whole character cell: the largest font whose cell fits.
    int pixels = heightPixels;
    for (; pixels > 1; --pixels) {
      font.setPixelSize(pixels);
      if (QFontMetrics(font).height() <= heightPixels) break;
    }
    font.setPixelSize(pixels);
  }
  control->widget->setFont(font);
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

std::function<void(int delayMs)> Dialog::WakeFromAnyThread(int timerId) {
  return impl_->delivery.WakeFromAnyThread(timerId);
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

void Dialog::PauseMilliseconds(int milliseconds) {
  detail::PauseHolding(&impl_->delivery.Gate(), milliseconds);
}

bool Dialog::RunAndWait(std::string_view commandLine) {
  return detail::RunAndWaitHolding(&impl_->delivery.Gate(), commandLine);
}

void Dialog::RunThen(std::string_view commandLine, std::function<void(bool started)> ended) {
  const bool started = RunAndWait(commandLine);
  if (ended) ended(started);
}

RandomSource& Dialog::Random() {
  return impl_->random;
}

void Dialog::SetEventHandler(std::function<void(const DialogEvent&)> handler) {
  impl_->delivery.SetHandler(std::move(handler));
}

void Dialog::SendCommand(int id, int code) {
  impl_->Deliver(EventKind::Command, id, code);
}

void Dialog::SetControlDescription(int id, std::string_view text) {
  Control* control = impl_->Find(id);
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

void Dialog::EndDialog(int result) {
  impl_->EndDialogNow(result);
}

bool Dialog::IsEnded() const {
  return impl_->ended;
}

QWidget* Dialog::Widget() const {
  return impl_->window.get();
}

QWidget* Dialog::ControlWidget(int id) const {
  const Control* control = impl_->Find(id);
  return control != nullptr ? control->widget : nullptr;
}

void Dialog::PostEvent(const DialogEvent& event) {
  if (impl_->finished) return;
  impl_->delivery.DeliverWhole(event);
}

}  // namespace funzioni
