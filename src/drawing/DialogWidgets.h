#pragma once

// The Qt widgets behind the dialog: the window itself, the drawing-surface control and the
// single-line text box. Private to the drawing layer.

#include <QImage>
#include <QLineEdit>
#include <QValidator>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "Color.h"

class QCloseEvent;
class QContextMenuEvent;
class QFocusEvent;
class QKeyEvent;
class QPaintEvent;
class QResizeEvent;

namespace funzioni {

class DrawingSurface;
struct SurfaceAccess;

// The dialog's window: paints its face colour, reports paints and the close box. The controls
// live in a client area of fixed size; when the window is larger (maximised), the client area
// stays centred on the face.
class DialogWindow : public QWidget {
 public:
  DialogWindow(int clientWidth, int clientHeight);
  void SetFace(Color color);
  QWidget& Client() { return client_; }
  const QWidget& Client() const { return client_; }
  std::function<void()> onPaint;
  std::function<void()> onClose;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QColor face_;
  QWidget client_;
};

// Shows the picture of a surface as it was at its last RedrawSurface.
class SurfaceWidget : public QWidget {
 public:
  SurfaceWidget(QWidget* parent, const DrawingSurface& surface);
  ~SurfaceWidget() override;
  void ShowPicture();  // copies the surface's pixels and schedules a repaint

  // What the control tells assistive technologies and does with keys; null until described.
  SurfaceAccess* Access() const { return access_.get(); }
  void SetAccess(std::unique_ptr<SurfaceAccess> access);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const DrawingSurface& surface_;
  QImage shown_;
  std::unique_ptr<SurfaceAccess> access_;
};

// Keeps a line box to one line of printable text, whatever way text arrives (typed, pasted,
// dropped, set): of an inserted text only its first line is kept, and control characters are
// dropped. Qt hands it the whole text after the edit with the cursor at the end of the insertion.
class OneLineValidator : public QValidator {
 public:
  State validate(QString& input, int& cursor) const override;

 private:
  mutable QString accepted_;  // the text as it was before the edit being checked
};

// The single-line text box. Unlike a plain QLineEdit it keeps its selection, and shows it, when
// it loses the keyboard focus.
class LineBox : public QLineEdit {
 public:
  LineBox(const QString& text, QWidget* parent);
  // An entry below the editing ones of the box's own context menu.
  void AddMenuItem(const QString& text, std::function<void()> chosen);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  OneLineValidator validator_;
  std::vector<std::pair<QString, std::function<void()>>> extraItems_;
};

}  // namespace funzioni
