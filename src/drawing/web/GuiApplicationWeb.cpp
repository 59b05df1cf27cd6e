// The browser has no application object to make: the page scales the window itself.

#include <algorithm>
#include <cmath>

#include "drawing/GuiApplication.h"

namespace funzioni {

int FittingScale(double desktopFactor, PixelSize available, PixelSize client) {
  const int wanted = static_cast<int>(std::floor(desktopFactor + 0.5));
  for (int scale = wanted; scale > 1; --scale) {
    if (client.width * scale <= available.width && client.height * scale <= available.height) {
      return scale;
    }
  }
  return 1;
}

GuiApplication::GuiApplication(int& /*argc*/, char** /*argv*/, std::string_view /*desktopFileName*/,
                               PixelSize /*client*/) {}

GuiApplication::~GuiApplication() = default;

double GuiApplication::Scale() const {
  return 1.0;
}

}  // namespace funzioni
