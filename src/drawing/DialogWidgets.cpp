#include "DialogWidgets.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cstring>

#include "DrawingSurface.h"

namespace funzioni {

namespace {
QColor ToQColor(Color color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
}  // namespace

DialogWindow::DialogWindow() : face_(ToQColor(0x00F0F0F0)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
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

}  // namespace funzioni
