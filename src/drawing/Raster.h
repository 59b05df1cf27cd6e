#pragma once

// The pixel rasteriser behind DrawingSurface: plain loops over 0xFFRRGGBB pixels, no toolkit.
// Every routine clips to the canvas, so callers pass any coordinates.

#include <cstdint>

#include "Color.h"

namespace funzioni::raster {

// Coordinates are clamped to this magnitude so that products of two stay inside 64 bits.
inline constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 29;

struct Canvas {
  std::uint32_t* pixels;
  int width;
  int height;
};

struct ConstCanvas {
  const std::uint32_t* pixels;
  int width;
  int height;
};

inline std::uint32_t ToArgb(Color color) {
  const auto c = static_cast<std::uint32_t>(color);
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

inline Color ToColor(std::uint32_t argb) {
  return static_cast<Color>(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
}

// Whether a fill style paints pixel (x, y); the 8-pixel patterns are aligned to the origin.
bool HatchCovers(int fillStyle, std::int64_t x, std::int64_t y);

// The hatch patterns repeat every 8 pixels both ways.
inline constexpr std::int64_t kHatchPeriod = 8;
// A row a fill style paints whole.
inline constexpr std::uint8_t kWholeRow = 0xFF;

// The columns of row y that a fill style paints: bit k set when it paints every x = k (mod 8).
std::uint8_t HatchRow(int fillStyle, std::int64_t y);

// A line from (x0, y0) to (x1, y1) without its end point.
void Line(Canvas canvas, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
          std::uint32_t argb);

// Pixels x0..x1 (both included) of row y in a fill style.
void FillSpan(Canvas canvas, std::int64_t x0, std::int64_t x1, std::int64_t y, std::uint32_t argb,
              int fillStyle);

// The rectangle [x0, x1) x [y0, y1), solid.
void FillRect(Canvas canvas, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
              std::uint32_t argb);

struct Box {
  std::int64_t left = 0;    // first column
  std::int64_t top = 0;     // first row
  std::int64_t right = 0;   // one past the last column
  std::int64_t bottom = 0;  // one past the last row
  double cornerPercent = 0;
  bool drawBorder = true;
  std::uint32_t border = 0;
  bool drawFill = false;
  std::uint32_t fill = 0;
  int fillStyle = 0;
};

void DrawBox(Canvas canvas, const Box& box);

// Rectangles given by two corners each, both corners included, in either order (a reversed
// order mirrors the picture).
struct StretchRects {
  std::int64_t sx1, sy1, sx2, sy2;
  std::int64_t tx1, ty1, tx2, ty2;
};

// Nearest-neighbour copy; source pixels outside the source come out as `outside`.
void Stretch(Canvas target, ConstCanvas source, const StretchRects& rects, std::uint32_t outside);

}  // namespace funzioni::raster
