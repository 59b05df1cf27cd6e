#pragma once

// The Qt widgets behind the dialog: the window itself and the drawing-surface control. Private
// to the drawing layer.

#include <QImage>
#include <QWidget>
#include <functional>

#include "Color.h"

class QCloseEvent;
class QPaintEvent;

namespace funzioni {

class DrawingSurface;

// The dialog's window: paints its face colour, reports paints and the close box.
class DialogWindow : public QWidget {
 public:
  DialogWindow();
  void SetFace(Color color);
  std::function<void()> onPaint;
  std::function<void()> onClose;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QColor face_;
};

// Shows the picture of a surface as it was at its last RedrawSurface.
class SurfaceWidget : public QWidget {
 public:
  SurfaceWidget(QWidget* parent, const DrawingSurface& surface);
  void ShowPicture();  // copies the surface's pixels and schedules a repaint

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const DrawingSurface& surface_;
  QImage shown_;
};

}  // namespace funzioni
