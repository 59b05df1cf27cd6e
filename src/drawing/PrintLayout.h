#pragma once

// The printed page's measures, shared by the desktop's printing and the page's print sheet so
// that both give the same page. Private to the drawing layer.

#include <algorithm>
#include <cmath>

#include "Geometry.h"

namespace funzioni::print {

// The finest resolution the page is laid out at; finer printers draw it scaled by a whole number.
inline constexpr int kLayoutDpi = 600;
inline constexpr double kMmPerInch = 25.4;
inline constexpr double kTextPoints = 11.0;
inline constexpr double kGapBelowPictureMm = 6.0;
// Paper left free around the page even where the printer reports narrower margins.
inline constexpr double kLeastMarginMm = 15.0;
// Lines are this many times the font's own line spacing apart; a colour square is this part of
// the font's ascent, and the text after squares starts this many squares in.
inline constexpr double kLineSpacing = 1.25;
inline constexpr double kSquareOfAscent = 0.8;
inline constexpr double kIndentInSquares = 1.8;
// A4, the paper of a page printed without a printer.
inline constexpr double kA4WidthMm = 210.0;
inline constexpr double kA4HeightMm = 297.0;

inline double MmToDots(double mm, double dpi) {
  return mm / kMmPerInch * dpi;
}

// The whole number of dots each pixel of the picture becomes: the one nearest to the wanted width
// on paper, smaller while the picture would not fit in the area (dots), and at least 1.
inline int PictureFactor(PixelSize picture, double widthMm, double dpi, PixelSize area) {
  if (picture.width <= 0 || picture.height <= 0) return 1;
  const double wanted = MmToDots(widthMm, dpi) / picture.width;
  int factor = std::max(1, static_cast<int>(std::lround(wanted)));
  while (factor > 1 &&
         (picture.width * factor > area.width || picture.height * factor > area.height)) {
    --factor;
  }
  return factor;
}

}  // namespace funzioni::print
