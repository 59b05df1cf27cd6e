#include "plot/DotLayer.h"

#include <algorithm>

#include "drawing/DrawingSurface.h"

namespace funzioni {

void DotLayer::Reset(int width, int height) {
  const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
  const std::size_t h = static_cast<std::size_t>(std::max(height, 0));
  for (const std::uint32_t at : touched_) colors_[at] = kUntouched;
  touched_.clear();
  if (w != width_ || colors_.size() != w * h) colors_.assign(w * h, kUntouched);
  width_ = w;
}

void DotLayer::FlushTo(DrawingSurface& surface) {
  for (const std::uint32_t at : touched_) {
    surface.SetPixel(static_cast<double>(at % width_), static_cast<double>(at / width_),
                     colors_[at]);
    colors_[at] = kUntouched;
  }
  touched_.clear();
}

}  // namespace funzioni
