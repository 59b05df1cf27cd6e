#pragma once

// A surface's picture as the page's canvas takes it. Private to the drawing layer's browser
// backend.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "drawing/DrawingSurface.h"

namespace funzioni::web {

// The picture's 0xFFRRGGBB words as the canvas's bytes R, G, B, A, top row first.
inline std::vector<std::uint32_t> CanvasPixels(const DrawingSurface& picture) {
  const PixelSize size = picture.GetSurfaceSize();
  if (size.width <= 0 || size.height <= 0) return {};
  const std::uint32_t* pixels = picture.ScreenPixels();
  std::vector<std::uint32_t> out(static_cast<std::size_t>(size.width) *
                                 static_cast<std::size_t>(size.height));
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::uint32_t argb = pixels[i];
    out[i] = (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFFu) | ((argb & 0xFFu) << 16);
  }
  return out;
}

}  // namespace funzioni::web
