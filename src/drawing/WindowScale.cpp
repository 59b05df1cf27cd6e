// The whole scale a window of fixed pixels is shown at (GuiApplication.h): one rule, built into
// every backend, which the desktop's application asks per screen.

#include <cmath>

#include "GuiApplication.h"

namespace funzioni {

namespace {

// Room for the window's borders and title bar, per unit of scale, since the frame is not known
// before the window is shown.
constexpr PixelSize kFrameAllowance{16, 48};

}  // namespace

int FittingScale(double desktopFactor, PixelSize available, PixelSize client) {
  const int wanted = static_cast<int>(std::floor(desktopFactor + 0.5));
  for (int scale = wanted; scale > 1; --scale) {
    const bool fits = (client.width + kFrameAllowance.width) * scale <= available.width &&
                      (client.height + kFrameAllowance.height) * scale <= available.height;
    if (fits) return scale;
  }
  return 1;
}

}  // namespace funzioni
