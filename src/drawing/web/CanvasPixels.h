#pragma once

// A surface's picture as the page's canvas takes it. Private to the drawing layer's browser
// backend.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "drawing/DrawingSurface.h"
#include "drawing/Geometry.h"

namespace funzioni::web {

// A 0xFFRRGGBB word as the canvas's bytes R, G, B, A.
constexpr std::uint32_t CanvasOrder(std::uint32_t argb) {
  return (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFFu) | ((argb & 0xFFu) << 16);
}

// The picture's 0xFFRRGGBB words as the canvas's bytes R, G, B, A, top row first.
inline std::vector<std::uint32_t> CanvasPixels(const DrawingSurface& picture) {
  const PixelSize size = picture.GetSurfaceSize();
  if (size.width <= 0 || size.height <= 0) return {};
  const std::uint32_t* pixels = picture.ScreenPixels();
  std::vector<std::uint32_t> out(static_cast<std::size_t>(size.width) *
                                 static_cast<std::size_t>(size.height));
  std::transform(pixels, pixels + out.size(), out.begin(), CanvasOrder);
  return out;
}

// Brings `shown` (the canvas's copy of a picture, canvas order) up to the picture's words and
// returns the smallest rectangle holding every pixel that changed: only that part need go to the
// canvas again. A copy of another size is made anew (all of it changed). With keepBorder, the
// outermost pixels of `shown` are left as they are (the focus ring drawn over them stays).
inline PixelRect UpdateCanvasPixels(const std::uint32_t* argb, PixelSize size,
                                    std::vector<std::uint32_t>& shown, bool keepBorder) {
  if (size.width <= 0 || size.height <= 0) {
    shown.clear();
    return {};
  }
  const auto w = static_cast<std::size_t>(size.width);
  const auto h = static_cast<std::size_t>(size.height);
  if (shown.size() != w * h) {
    shown.resize(w * h);
    std::transform(argb, argb + shown.size(), shown.begin(), CanvasOrder);
    return {0, 0, size.width, size.height};
  }
  const std::size_t edge = keepBorder ? 1 : 0;
  std::size_t left = w, right = 0, top = h, bottom = 0;  // changed: [left, right) x [top, bottom)
  for (std::size_t y = edge; y + edge < h; ++y) {
    const std::uint32_t* from = argb + y * w;
    std::uint32_t* to = shown.data() + y * w;
    std::size_t first = w, last = 0;
    for (std::size_t x = edge; x + edge < w; ++x) {
      const std::uint32_t word = CanvasOrder(from[x]);
      if (word == to[x]) continue;
      to[x] = word;
      first = std::min(first, x);
      last = x + 1;
    }
    if (first == w) continue;
    left = std::min(left, first);
    right = std::max(right, last);
    top = std::min(top, y);
    bottom = y + 1;
  }
  if (top == h) return {};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}

}  // namespace funzioni::web
