#pragma once

// The program's Qt application, made so that a window of fixed pixels is shown at a whole scale
// factor that suits the desktop and fits the screen.

#include <memory>
#include <string_view>

#include "Geometry.h"

#ifndef __EMSCRIPTEN__
class QApplication;
#endif

namespace funzioni {

// The scale a window of the given client size is shown at on a screen whose available area is
// given in device pixels: the desktop's scale factor rounded to the nearest whole number (halves
// up), lowered until the window with its frame fits, and never below 1.
int FittingScale(double desktopFactor, PixelSize available, PixelSize client);

class GuiApplication {
 public:
  // Makes the application (argc and argv must outlive it, as for QApplication) with each
  // screen's scale rounded to the nearest whole factor, then lowered to the one that fits
  // (FittingScale). Scale factors the user set through Qt's environment variables are kept.
  // desktopFileName is the menu entry's name without ".desktop" (it links the window to its
  // icon on Wayland).
  GuiApplication(int& argc, char** argv, std::string_view desktopFileName, PixelSize client);
  ~GuiApplication();
  GuiApplication(const GuiApplication&) = delete;
  GuiApplication& operator=(const GuiApplication&) = delete;

  // Device pixels per window pixel on the primary screen.
  double Scale() const;

 private:
#ifndef __EMSCRIPTEN__
  std::unique_ptr<QApplication> application_;
#endif
};

}  // namespace funzioni
