#include "DialogWidgets.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cstring>
#include <limits>

#include "AccessibleSurface.h"
#include "DialogServices.h"
#include "DrawingSurface.h"

namespace funzioni {

namespace {
QColor ToQColor(Color color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

bool IsLineBreak(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
         c == QChar(0x85);
}

bool IsUnwanted(QChar c) {
  return IsLineBreak(c) || c.category() == QChar::Other_Control;
}

// The first line of a text, without control characters.
QString FirstLine(QStringView text) {
  QString line;
  for (const QChar c : text) {
    if (IsLineBreak(c)) break;
    if (!IsUnwanted(c)) line.append(c);
  }
  return line;
}
}  // namespace

DialogWindow::DialogWindow(int clientWidth, int clientHeight)
    : face_(ToQColor(0x00F0F0F0)), client_(this) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  client_.setFixedSize(clientWidth, clientHeight);
  setMinimumSize(clientWidth, clientHeight);
  resize(clientWidth, clientHeight);
}

void DialogWindow::SetFace(Color color) {
  face_ = ToQColor(color);
  update();
}

void DialogWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), face_);
  if (onPaint) onPaint();
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  // The close box is a cancel command; the handler decides whether the dialog ends.
  event->ignore();
  if (onClose) onClose();
}

void DialogWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  client_.move(std::max(0, (width() - client_.width()) / 2),
               std::max(0, (height() - client_.height()) / 2));
}

SurfaceWidget::SurfaceWidget(QWidget* parent, const DrawingSurface& surface)
    : QWidget(parent), surface_(surface) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  const PixelSize size = surface.GetSurfaceSize();
  shown_ = QImage(std::max(size.width, 1), std::max(size.height, 1), QImage::Format_RGB32);
  shown_.fill(Qt::white);
  ShowPicture();
}

SurfaceWidget::~SurfaceWidget() = default;

void SurfaceWidget::SetAccess(std::unique_ptr<SurfaceAccess> access) {
  access_ = std::move(access);
}

void SurfaceWidget::ShowPicture() {
  const PixelSize size = surface_.GetSurfaceSize();
  if (size.width <= 0 || size.height <= 0) return;
  std::memcpy(shown_.bits(), surface_.ScreenPixels(),
              static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 4);
  update();
  if (access_) AnnounceChanges(*this);
}

void SurfaceWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), shown_, event->rect());
  // The focus ring only once the keyboard has moved the focus: a window used with the mouse alone
  // never shows one. It is drawn over the picture, never into the surface.
  if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange)) return;
  const QRect ring = rect().adjusted(0, 0, -1, -1);
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(ring);
  painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
  painter.drawRect(ring);
}

void SurfaceWidget::keyPressEvent(QKeyEvent* event) {
  static constexpr std::pair<int, ControlKey> kKeys[] = {
      {Qt::Key_Left, ControlKey::Left},     {Qt::Key_Right, ControlKey::Right},
      {Qt::Key_Up, ControlKey::Up},         {Qt::Key_Down, ControlKey::Down},
      {Qt::Key_PageUp, ControlKey::PageUp}, {Qt::Key_PageDown, ControlKey::PageDown},
      {Qt::Key_Home, ControlKey::Home},     {Qt::Key_End, ControlKey::End},
      {Qt::Key_Space, ControlKey::Space},
  };
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const bool plain = modifiers == Qt::NoModifier;
  // Ctrl with an arrow, Home or End is passed on too, marked (the plotting area moves its view
  // with them).
  const bool controlArrow = modifiers == Qt::ControlModifier &&
                            ((event->key() >= Qt::Key_Left && event->key() <= Qt::Key_Down) ||
                             event->key() == Qt::Key_Home || event->key() == Qt::Key_End);
  if (access_ && access_->key && (plain || controlArrow)) {
    for (const auto& [qtKey, key] : kKeys) {
      if (event->key() != qtKey) continue;
      access_->key(controlArrow ? static_cast<ControlKey>(static_cast<int>(key) | kKeyWithControl)
                                : key);
      event->accept();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

QValidator::State OneLineValidator::validate(QString& input, int& cursor) const {
  if (std::none_of(input.cbegin(), input.cend(), IsUnwanted)) {
    accepted_ = input;
    return Acceptable;
  }
  // The edit replaced a stretch of the accepted text by what now lies before the cursor; what
  // follows the cursor is normally the accepted text's own end. Otherwise (a text set from
  // outside) everything after the common beginning counts as inserted.
  const QString& before = accepted_;
  const qsizetype size = input.size();
  const qsizetype at = std::clamp<qsizetype>(cursor, 0, size);
  const bool tailKept = before.endsWith(QStringView(input).mid(at));
  const qsizetype end = tailKept ? at : size;
  const qsizetype limit = std::min(end, before.size() - (size - end));
  qsizetype start = 0;
  while (start < limit && input[start] == before[start]) ++start;
  // Characters taken for kept ones at the start of the insertion are printable, so the first
  // line comes out the same either way.
  const QString inserted = FirstLine(QStringView(input).mid(start, end - start));
  input = input.left(start) + inserted + input.mid(end);
  cursor = static_cast<int>(start + inserted.size());
  accepted_ = input;
  return Acceptable;
}

LineBox::LineBox(const QString& text, QWidget* parent) : QLineEdit(parent) {
  setValidator(&validator_);
  // QLineEdit would cut a longer text at 32,767 characters without a word: a pasted or picked
  // formula is taken whole, as the page's box takes it.
  setMaxLength(std::numeric_limits<int>::max());
  setText(text);
}

void LineBox::AddMenuItem(const QString& text, std::function<void()> chosen) {
  extraItems_.emplace_back(text, std::move(chosen));
}

void LineBox::contextMenuEvent(QContextMenuEvent* event) {
  if (extraItems_.empty()) {
    QLineEdit::contextMenuEvent(event);
    return;
  }
  const std::unique_ptr<QMenu> menu(createStandardContextMenu());
  menu->addSeparator();
  std::vector<std::pair<QAction*, const std::function<void()>*>> actions;
  for (const auto& [text, chosen] : extraItems_)
    actions.emplace_back(menu->addAction(text), &chosen);
  const QAction* picked = menu->exec(event->globalPos());
  for (const auto& [action, chosen] : actions) {
    if (action == picked) (*chosen)();
  }
}

void LineBox::focusOutEvent(QFocusEvent* event) {
  // QLineEdit drops its selection when the focus goes to another control; keep it, with the
  // cursor at the same end.
  const int start = selectionStart();
  const int length = static_cast<int>(selectedText().size());
  const bool cursorAtStart = cursorPosition() == start;
  QLineEdit::focusOutEvent(event);
  if (start < 0 || length == 0 || hasSelectedText()) return;
  if (cursorAtStart) {
    setSelection(start + length, -length);
  } else {
    setSelection(start, length);
  }
}

}  // namespace funzioni
