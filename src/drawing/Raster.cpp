#include "Raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace funzioni::raster {

namespace {

std::uint32_t* Row(Canvas canvas, std::int64_t y) {
  return canvas.pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas.width);
}

// The step indices i in [0, n) for which start + dir * i lies in [0, size).
void VisibleRange(std::int64_t start, int dir, std::int64_t n, std::int64_t size,
                  std::int64_t& first, std::int64_t& last) {
  if (dir > 0) {
    first = std::max<std::int64_t>(0, -start);
    last = std::min<std::int64_t>(n, size - start);
  } else {
    first = std::max<std::int64_t>(0, start - size + 1);
    last = std::min<std::int64_t>(n, start + 1);
  }
}

// Rows of a box with rounded corners: for each row the first and last column it covers.
struct Span {
  std::int64_t lo;
  std::int64_t hi;
  bool Empty() const { return lo > hi; }
};

class RoundedShape {
 public:
  explicit RoundedShape(const Box& box) : box_(box) {
    const std::int64_t shorter = std::min(box.right - box.left, box.bottom - box.top);
    const double diameter =
        std::nearbyint(box.cornerPercent * static_cast<double>(shorter) / 100.0);
    radius_ = std::min(diameter, static_cast<double>(shorter)) / 2.0;
  }

  Span RowSpan(std::int64_t y) const {
    if (y < box_.top || y >= box_.bottom) return {1, 0};
    const std::int64_t inset = Inset(y);
    return {box_.left + inset, box_.right - 1 - inset};
  }

 private:
  // How far the row is cut in at both ends by the rounding of its corners.
  std::int64_t Inset(std::int64_t y) const {
    if (radius_ < 1.0) return 0;
    const double centre = static_cast<double>(y) + 0.5;
    const double top = static_cast<double>(box_.top) + radius_;
    const double bottom = static_cast<double>(box_.bottom) - radius_;
    double dy = 0;
    if (centre < top) {
      dy = top - centre;
    } else if (centre > bottom) {
      dy = centre - bottom;
    } else {
      return 0;
    }
    const double dx = std::sqrt(std::max(0.0, radius_ * radius_ - dy * dy));
    return static_cast<std::int64_t>(std::ceil(radius_ - dx - 0.5));
  }

  const Box& box_;
  double radius_ = 0;
};

}  // namespace

std::uint8_t HatchRow(int fillStyle, std::int64_t y) {
  const std::int64_t r = y & (kHatchPeriod - 1);
  // The column class x = k (mod 8) as its bit; k may be negative.
  const auto column = [](std::int64_t k) {
    return static_cast<std::uint8_t>(1u << (k & (kHatchPeriod - 1)));
  };
  switch (fillStyle) {
    case 1:
      return r == 0 ? kWholeRow : 0;
    case 2:
      return column(0);
    case 3:
      return column(r);  // x - y = 0 (mod 8)
    case 4:
      return column(-r);  // x + y = 0 (mod 8)
    case 5:
      return r == 0 ? kWholeRow : column(0);
    case 6:
      return static_cast<std::uint8_t>(column(r) | column(-r));
    default:
      return kWholeRow;
  }
}

bool HatchCovers(int fillStyle, std::int64_t x, std::int64_t y) {
  switch (fillStyle) {
    case 1:
      return (y & 7) == 0;
    case 2:
      return (x & 7) == 0;
    case 3:
      return ((x - y) & 7) == 0;
    case 4:
      return ((x + y) & 7) == 0;
    case 5:
      return (x & 7) == 0 || (y & 7) == 0;
    case 6:
      return ((x - y) & 7) == 0 || ((x + y) & 7) == 0;
    default:
      return true;
  }
}

void Line(Canvas canvas, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
          std::uint32_t argb) {
  const std::int64_t dx = x1 - x0;
  const std::int64_t dy = y1 - y0;
  const std::int64_t adx = dx < 0 ? -dx : dx;
  const std::int64_t ady = dy < 0 ? -dy : dy;
  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const std::int64_t n = xMajor ? adx : ady;  // pixels painted: the end point is left out
  if (n == 0) return;
  const std::int64_t minorDelta = xMajor ? ady : adx;
  const std::int64_t majorStart = xMajor ? x0 : y0;
  const std::int64_t minorStart = xMajor ? y0 : x0;
  const int majorDir = xMajor ? sx : sy;
  const int minorDir = xMajor ? sy : sx;
  const std::int64_t majorSize = xMajor ? canvas.width : canvas.height;
  const std::int64_t minorSize = xMajor ? canvas.height : canvas.width;

  std::int64_t first = 0;
  std::int64_t last = 0;
  VisibleRange(majorStart, majorDir, n, majorSize, first, last);
  if (first >= last) return;

  // Step i moves the minor coordinate by round(i * minorDelta / n), halves away from the start:
  // offset = floor((2 i minorDelta + n) / 2n), kept as a quotient and a remainder.
  const std::int64_t twoN = 2 * n;
  const std::int64_t numerator = 2 * first * minorDelta + n;
  std::int64_t offset = numerator / twoN;
  std::int64_t remainder = numerator % twoN;
  const std::int64_t step = 2 * minorDelta;
  const std::int64_t stride = canvas.width;
  for (std::int64_t i = first; i < last; ++i) {
    const std::int64_t major = majorStart + majorDir * i;
    const std::int64_t minor = minorStart + minorDir * offset;
    if (minor >= 0 && minor < minorSize) {
      const std::int64_t index = xMajor ? minor * stride + major : major * stride + minor;
      canvas.pixels[index] = argb;
    }
    remainder += step;
    if (remainder >= twoN) {
      remainder -= twoN;
      ++offset;
    }
  }
}

void FillSpan(Canvas canvas, std::int64_t x0, std::int64_t x1, std::int64_t y, std::uint32_t argb,
              int fillStyle) {
  if (y < 0 || y >= canvas.height) return;
  x0 = std::max<std::int64_t>(x0, 0);
  x1 = std::min<std::int64_t>(x1, canvas.width - 1);
  if (x0 > x1) return;
  std::uint32_t* row = Row(canvas, y);
  const std::uint8_t columns = HatchRow(fillStyle, y);
  if (columns == kWholeRow) {
    std::fill(row + x0, row + x1 + 1, argb);
    return;
  }
  // Each painted column class is every eighth pixel from its first one in the span.
  for (std::int64_t r = 0; r < kHatchPeriod; ++r) {
    if (((columns >> r) & 1) == 0) continue;
    for (std::int64_t x = x0 + ((r - x0) & (kHatchPeriod - 1)); x <= x1; x += kHatchPeriod) {
      row[x] = argb;
    }
  }
}

void FillRect(Canvas canvas, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
              std::uint32_t argb) {
  y0 = std::max<std::int64_t>(y0, 0);
  y1 = std::min<std::int64_t>(y1, canvas.height);
  for (std::int64_t y = y0; y < y1; ++y) FillSpan(canvas, x0, x1 - 1, y, argb, 0);
}

void DrawBox(Canvas canvas, const Box& box) {
  if (box.right <= box.left || box.bottom <= box.top) return;
  const RoundedShape shape(box);
  // Only rows on the canvas (and one either side, for the border test) are looked at.
  const std::int64_t yFirst = std::max<std::int64_t>(box.top, 0);
  const std::int64_t yLast = std::min<std::int64_t>(box.bottom, canvas.height);
  for (std::int64_t y = yFirst; y < yLast; ++y) {
    const Span span = shape.RowSpan(y);
    if (span.Empty()) continue;
    const Span above = shape.RowSpan(y - 1);
    const Span below = shape.RowSpan(y + 1);
    // Inside pixels have all four neighbours in the shape; the rest of the row is border.
    Span inside{span.lo + 1, span.hi - 1};
    if (above.Empty() || below.Empty()) {
      inside = {1, 0};
    } else {
      inside.lo = std::max({inside.lo, above.lo, below.lo});
      inside.hi = std::min({inside.hi, above.hi, below.hi});
    }
    if (box.drawFill && !inside.Empty()) {
      FillSpan(canvas, inside.lo, inside.hi, y, box.fill, box.fillStyle);
    }
    if (!box.drawBorder) continue;
    if (inside.Empty()) {
      FillSpan(canvas, span.lo, span.hi, y, box.border, 0);
    } else {
      FillSpan(canvas, span.lo, inside.lo - 1, y, box.border, 0);
      FillSpan(canvas, inside.hi + 1, span.hi, y, box.border, 0);
    }
  }
}

void Stretch(Canvas target, ConstCanvas source, const StretchRects& r, std::uint32_t outside) {
  const std::int64_t srcW = (r.sx2 >= r.sx1 ? r.sx2 - r.sx1 : r.sx1 - r.sx2) + 1;
  const std::int64_t srcH = (r.sy2 >= r.sy1 ? r.sy2 - r.sy1 : r.sy1 - r.sy2) + 1;
  const std::int64_t dstW = (r.tx2 >= r.tx1 ? r.tx2 - r.tx1 : r.tx1 - r.tx2) + 1;
  const std::int64_t dstH = (r.ty2 >= r.ty1 ? r.ty2 - r.ty1 : r.ty1 - r.ty2) + 1;
  const int sdx = r.sx2 >= r.sx1 ? 1 : -1;
  const int sdy = r.sy2 >= r.sy1 ? 1 : -1;
  const int tdx = r.tx2 >= r.tx1 ? 1 : -1;
  const int tdy = r.ty2 >= r.ty1 ? 1 : -1;

  std::int64_t colFirst = 0;
  std::int64_t colLast = 0;
  std::int64_t rowFirst = 0;
  std::int64_t rowLast = 0;
  VisibleRange(r.tx1, tdx, dstW, target.width, colFirst, colLast);
  VisibleRange(r.ty1, tdy, dstH, target.height, rowFirst, rowLast);
  if (colFirst >= colLast || rowFirst >= rowLast) return;

  // Target pixel i samples source pixel floor((i + 1/2) * srcSize / dstSize).
  std::vector<std::int64_t> sourceColumn(static_cast<std::size_t>(colLast - colFirst));
  for (std::int64_t i = colFirst; i < colLast; ++i) {
    const std::int64_t j = ((2 * i + 1) * srcW) / (2 * dstW);
    const std::int64_t sx = r.sx1 + sdx * j;
    sourceColumn[static_cast<std::size_t>(i - colFirst)] = sx >= 0 && sx < source.width ? sx : -1;
  }
  // Columns taken one to one, left to right, all inside the source: each row is one copy (the
  // plotting area's kept background goes back so at every redraw).
  const bool columnsCopied = sdx == 1 && tdx == 1 && srcW == dstW && r.sx1 + colFirst >= 0 &&
                             r.sx1 + colLast <= source.width;
  for (std::int64_t i = rowFirst; i < rowLast; ++i) {
    const std::int64_t j = ((2 * i + 1) * srcH) / (2 * dstH);
    const std::int64_t sy = r.sy1 + sdy * j;
    const bool rowInside = sy >= 0 && sy < source.height;
    const std::uint32_t* srcRow =
        rowInside ? source.pixels + static_cast<std::size_t>(sy) * source.width : nullptr;
    std::uint32_t* dstRow = Row(target, r.ty1 + tdy * i);
    if (columnsCopied && rowInside) {
      std::copy(srcRow + r.sx1 + colFirst, srcRow + r.sx1 + colLast, dstRow + r.tx1 + colFirst);
      continue;
    }
    for (std::int64_t c = colFirst; c < colLast; ++c) {
      const std::int64_t sx = sourceColumn[static_cast<std::size_t>(c - colFirst)];
      dstRow[r.tx1 + tdx * c] = (rowInside && sx >= 0) ? srcRow[sx] : outside;
    }
  }
}

}  // namespace funzioni::raster
