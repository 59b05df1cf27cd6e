#include "WindowCentring.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace funzioni {

namespace {

// A window taller than the screen keeps its title bar on it, so that it can still be moved.
void CentreFrame(QWidget& window) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize frame = window.frameGeometry().size();
  // move() places the frame's top-left corner.
  window.move(area.x() + (area.width() - frame.width()) / 2,
              area.y() + std::max(0, (area.height() - frame.height()) / 2));
}

}  // namespace

void WindowCentring::Centre(QWidget& window) {
  CentreFrame(window);
  pending_ = true;
}

void WindowCentring::CentreOnceFramed(QWidget& window) {
  if (!pending_ || window.frameGeometry() == window.geometry()) return;
  pending_ = false;
  if ((window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0) return;
  CentreFrame(window);
}

}  // namespace funzioni
