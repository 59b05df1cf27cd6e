// The browser has no application object to make: the page scales the window itself.

#include "drawing/GuiApplication.h"

namespace funzioni {

GuiApplication::GuiApplication(int& /*argc*/, char** /*argv*/, std::string_view /*desktopFileName*/,
                               PixelSize /*client*/) {}

GuiApplication::~GuiApplication() = default;

double GuiApplication::Scale() const {
  return 1.0;
}

}  // namespace funzioni
