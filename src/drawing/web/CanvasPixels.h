#pragma once

// A surface's picture as the page's canvas takes it. Private to the drawing layer's browser
// backend.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "drawing/DrawingSurface.h"
#include "drawing/Geometry.h"

namespace funzioni::web {

// A 0xFFRRGGBB word as the canvas's bytes R, G, B, A.
constexpr std::uint32_t CanvasOrder(std::uint32_t argb) {
  return (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFFu) | ((argb & 0xFFu) << 16);
}

// Two words at once, as CanvasOrder turns each (the compare of a whole picture goes by pairs).
constexpr std::uint64_t CanvasOrderPair(std::uint64_t argb) {
  return (argb & 0xFF00FF00FF00FF00u) | ((argb >> 16) & 0x000000FF000000FFu) |
         ((argb & 0x000000FF000000FFu) << 16);
}

// The first x in [from, to) where the row's picture word differs from the shown one; `to` if none.
inline std::size_t FirstChanged(const std::uint32_t* argb, const std::uint32_t* shown,
                                std::size_t from, std::size_t to) {
  std::size_t x = from;
  for (; x + 2 <= to; x += 2) {
    std::uint64_t picture = 0;
    std::uint64_t canvas = 0;
    std::memcpy(&picture, argb + x, sizeof picture);
    std::memcpy(&canvas, shown + x, sizeof canvas);
    if (CanvasOrderPair(picture) != canvas) break;
  }
  for (; x < to; ++x) {
    if (CanvasOrder(argb[x]) != shown[x]) return x;
  }
  return to;
}

// One past the last x in [from, to) where the words differ; `from` if none.
inline std::size_t LastChangedEnd(const std::uint32_t* argb, const std::uint32_t* shown,
                                  std::size_t from, std::size_t to) {
  std::size_t end = to;
  for (; end >= from + 2; end -= 2) {
    std::uint64_t picture = 0;
    std::uint64_t canvas = 0;
    std::memcpy(&picture, argb + end - 2, sizeof picture);
    std::memcpy(&canvas, shown + end - 2, sizeof canvas);
    if (CanvasOrderPair(picture) != canvas) break;
  }
  for (; end > from; --end) {
    if (CanvasOrder(argb[end - 1]) != shown[end - 1]) return end;
  }
  return from;
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
  // Most rows of a redraw are as they were: each is compared by pairs of words up to its first
  // change, and only the stretch from its first to its last change is written.
  for (std::size_t y = edge; y + edge < h; ++y) {
    const std::uint32_t* from = argb + y * w;
    std::uint32_t* to = shown.data() + y * w;
    const std::size_t first = FirstChanged(from, to, edge, w - edge);
    if (first == w - edge) continue;
    const std::size_t last = LastChangedEnd(from, to, first + 1, w - edge);
    const std::size_t end = std::max(last, first + 1);
    std::transform(from + first, from + end, to + first, CanvasOrder);
    left = std::min(left, first);
    right = std::max(right, end);
    top = std::min(top, y);
    bottom = y + 1;
  }
  if (top == h) return {};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}

}  // namespace funzioni::web
