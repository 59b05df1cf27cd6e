#pragma once

// Centres the dialog's window on the screen by its outer frame. Private to the drawing layer.

class QWidget;

namespace funzioni {

class WindowCentring {
 public:
  // Centres the window now, as if it had no frame when it has none yet, and again once the
  // window system has framed it.
  void Centre(QWidget& window);

  // Called on the window's exposes, moves and resizes: the window system has framed it (at once
  // on some platforms, when it is mapped on others), so it is centred again by its frame, unless
  // it was maximised meanwhile.
  void CentreOnceFramed(QWidget& window);

 private:
  bool pending_ = false;
};

}  // namespace funzioni
