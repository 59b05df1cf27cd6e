// The side window on the desktop: a top-level Qt window owned by the dialog's window, so that it
// stays over it and goes with it.

#include "SideWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "DialogServices.h"
#include "SideWindowChartView.h"

namespace funzioni {

namespace {

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kGap = 8;  // between the dialog's frame and this window's
constexpr int kLeastWidth = 260;

// The window itself: closing it only hides it and tells the dialog; Esc does the same, and the
// copy key of any of its parts goes to the dialog instead of copying one line.
class SideFrame : public QWidget {
 public:
  SideFrame(QWidget* owner, Dialog& dialog, SideWindowCommands commands)
      : QWidget(owner, Qt::Window), dialog_(dialog), commands_(commands) {}

  void Watch(QWidget& part) { part.installEventFilter(this); }

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (!isVisible()) return;
    hide();
    dialog_.PostEvent({EventKind::Command, commands_.closed, 0});
  }

  void keyPressEvent(QKeyEvent* event) override {
    if (!HandleKey(*event)) QWidget::keyPressEvent(event);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Print)) {
        key->accept();
        return true;
      }
    }
    if (event->type() == QEvent::KeyPress && HandleKey(*static_cast<QKeyEvent*>(event))) {
      return true;
    }
    return QWidget::eventFilter(watched, event);
  }

 private:
  bool HandleKey(const QKeyEvent& key) {
    if (key.matches(QKeySequence::Copy)) {
      if (!key.isAutoRepeat()) dialog_.PostEvent({EventKind::Command, commands_.copy, 0});
      return true;
    }
    if (commands_.print != 0 && key.matches(QKeySequence::Print)) {
      if (!key.isAutoRepeat()) dialog_.PostEvent({EventKind::Command, commands_.print, 0});
      return true;
    }
    if (key.key() == Qt::Key_Escape) {
      close();
      return true;
    }
    return false;
  }

  Dialog& dialog_;
  SideWindowCommands commands_;
};

}  // namespace

struct SideWindow::Impl {
  Impl(Dialog& owner, SideWindowCommands ids)
      : dialog(owner), commands(ids), frame(new SideFrame(owner.Widget(), owner, ids)) {}
  // The dialog's window owns the frame as Qt does; it may have gone first.
  ~Impl() { delete frame.data(); }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  Dialog& dialog;
  SideWindowCommands commands;
  QPointer<SideFrame> frame;
  QLabel* heading = nullptr;
  QListWidget* list = nullptr;
  SideChartView* chart = nullptr;
  QCheckBox* check = nullptr;
  std::vector<QLineEdit*> fields;
  int width = 0;  // asked for
  int height = 0;

  // The fields' rows, each label the buddy of its field (Alt and its letter, and the name read).
  void AddFields(QVBoxLayout& layout, const std::vector<SideField>& looks) {
    QHBoxLayout* row = nullptr;
    for (const SideField& look : looks) {
      if (row == nullptr || !look.sameRow) {
        row = new QHBoxLayout();
        layout.addLayout(row);
      }
      auto* label = new QLabel(Utf8(look.label), frame);
      auto* field = new QLineEdit(frame);
      field->setAccessibleName(Utf8(look.name));
      label->setBuddy(field);
      row->addWidget(label);
      row->addWidget(field, 1);
      const int index = static_cast<int>(fields.size());
      Dialog* owner = &dialog;
      const int command = commands.field;
      QObject::connect(field, &QLineEdit::returnPressed, frame, [owner, command, index] {
        if (command != 0) owner->PostEvent({EventKind::Command, command, index});
      });
      fields.push_back(field);
    }
  }

  void AddButtons(QVBoxLayout& layout, const std::vector<SideButton>& looks) {
    if (looks.empty()) return;
    auto* row = new QHBoxLayout();
    layout.addLayout(row);
    for (std::size_t i = 0; i < looks.size(); ++i) {
      auto* button = new QPushButton(Utf8(looks[i].label), frame);
      button->setAccessibleName(Utf8(looks[i].name));
      // Enter on a focused button presses it, as Space does.
      button->setAutoDefault(true);
      row->addWidget(button);
      Dialog* owner = &dialog;
      const int command = commands.button;
      const int index = static_cast<int>(i);
      QObject::connect(button, &QPushButton::clicked, frame, [owner, command, index] {
        if (command != 0) owner->PostEvent({EventKind::Command, command, index});
      });
      frame->Watch(*button);
    }
    row->addStretch(1);
  }

  // Beside the dialog's frame: on its right, or on its left when the right has no room. Where
  // neither side has room for its width, it narrows to the wider side (down to kLeastWidth),
  // and only below that does it cover the dialog's right edge.
  void Place() {
    const QWidget* owner = dialog.Widget();
    if (owner == nullptr) return;
    const QRect ownerFrame = owner->frameGeometry();
    const QScreen* screen = owner->screen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect();
    const int rightX = ownerFrame.right() + 1 + kGap;
    if (!room.isValid() || rightX + width <= room.right() + 1) {
      frame->resize(width, frame->height());
      frame->move(rightX, ownerFrame.top());
      return;
    }
    const int rightRoom = room.right() + 1 - rightX;
    const int leftRoom = ownerFrame.left() - kGap - room.left();
    const int fits = std::min(width, std::max(rightRoom, leftRoom));
    if (fits >= kLeastWidth) {
      frame->resize(fits, frame->height());
      frame->move(rightRoom >= leftRoom ? rightX : ownerFrame.left() - kGap - fits,
                  ownerFrame.top());
      return;
    }
    frame->resize(width, frame->height());
    frame->move(room.right() + 1 - width, ownerFrame.top());
  }
};

SideWindow::SideWindow(Dialog& owner, const SideWindowLook& look, SideWindowCommands commands)
    : impl_(std::make_unique<Impl>(owner, commands)) {
  Impl& d = *impl_;
  d.frame->setWindowTitle(Utf8(look.title));
  d.frame->setAccessibleName(Utf8(look.title));
  d.width = look.width;
  d.height = look.height;
  d.frame->resize(look.width, look.height);
  auto* layout = new QVBoxLayout(d.frame);
  d.heading = new QLabel(d.frame);
  d.heading->setWordWrap(true);
  d.heading->setTextInteractionFlags(Qt::NoTextInteraction);
  d.list = new QListWidget(d.frame);
  d.list->setAccessibleName(Utf8(look.listName));
  d.list->setSelectionMode(QAbstractItemView::SingleSelection);
  // A narrow window wraps long lines instead of hiding their ends.
  d.list->setWordWrap(true);
  d.list->setResizeMode(QListView::Adjust);
  d.list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  layout->addWidget(d.heading);
  layout->addWidget(d.list, 1);
  d.chart = new SideChartView(d.frame);
  layout->addWidget(d.chart);
  // Made in the order of the keyboard's Tab: the list, the fields, the check box, the buttons.
  d.AddFields(*layout, look.fields);
  d.check = new QCheckBox(Utf8(look.checkLabel), d.frame);
  layout->addWidget(d.check);
  d.AddButtons(*layout, look.buttons);
  d.frame->Watch(*d.list);
  d.frame->Watch(*d.check);
  Dialog* dialog = &owner;
  QObject::connect(d.list, &QListWidget::currentRowChanged, d.frame, [dialog, commands](int row) {
    if (row >= 0) dialog->PostEvent({EventKind::Command, commands.chosen, row});
  });
  QObject::connect(d.check, &QCheckBox::toggled, d.frame, [dialog, commands](bool on) {
    dialog->PostEvent({EventKind::Command, commands.checked, on ? 1 : 0});
  });
}

SideWindow::~SideWindow() = default;

void SideWindow::Show() {
  Impl& d = *impl_;
  if (!d.frame->isVisible()) {
    d.Place();
    d.frame->show();
  }
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) d.frame->raise();
  d.frame->activateWindow();
  d.list->setFocus();
}

void SideWindow::Hide() {
  impl_->frame->hide();
}

bool SideWindow::IsShown() const {
  return impl_->frame->isVisible();
}

void SideWindow::SetHeading(std::string_view text) {
  impl_->heading->setText(Utf8(text));
  impl_->heading->setAccessibleName(Utf8(text));
}

void SideWindow::SetLines(std::span<const std::string> lines) {
  QListWidget& list = *impl_->list;
  const int current = list.currentRow();
  const QSignalBlocker quiet(list);
  list.clear();
  for (const std::string& line : lines) {
    auto* item = new QListWidgetItem(Utf8(line), &list);
    item->setData(Qt::AccessibleTextRole, Utf8(line));
  }
  if (current >= 0 && current < list.count()) list.setCurrentRow(current);
}

int SideWindow::LineCount() const {
  return impl_->list->count();
}

std::string SideWindow::Line(int index) const {
  const QListWidgetItem* item = impl_->list->item(index);
  return item == nullptr ? std::string() : item->text().toStdString();
}

int SideWindow::CurrentLine() const {
  return impl_->list->currentRow();
}

void SideWindow::SetCurrentLine(int index) {
  impl_->list->setCurrentRow(index);
}

bool SideWindow::Checked() const {
  return impl_->check->isChecked();
}

std::string SideWindow::FieldText(int index) const {
  const auto& fields = impl_->fields;
  if (index < 0 || index >= static_cast<int>(fields.size())) return {};
  return fields[static_cast<std::size_t>(index)]->text().toStdString();
}

void SideWindow::SetFieldText(int index, std::string_view text) {
  const auto& fields = impl_->fields;
  if (index < 0 || index >= static_cast<int>(fields.size())) return;
  fields[static_cast<std::size_t>(index)]->setText(Utf8(text));
}

void SideWindow::SetChart(const SideChart& chart) {
  Impl& d = *impl_;
  const bool had = !d.chart->Chart().Empty();
  d.chart->SetChart(chart);
  // The list keeps the height it had without the chart; a window made taller keeps its height.
  if (chart.Empty() || had) return;
  const int wanted = d.height + d.chart->height();
  if (d.frame->height() < wanted) d.frame->resize(d.frame->width(), wanted);
}

QWidget* SideWindow::ChartWidget() const {
  return impl_->chart;
}

QWidget* SideWindow::Widget() const {
  return impl_->frame;
}

}  // namespace funzioni
