#include "DialogWidgets.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cstring>

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

void SurfaceWidget::ShowPicture() {
  const PixelSize size = surface_.GetSurfaceSize();
  if (size.width <= 0 || size.height <= 0) return;
  std::memcpy(shown_.bits(), surface_.ScreenPixels(),
              static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 4);
  update();
}

void SurfaceWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), shown_, event->rect());
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
  setText(text);
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
