// The rasteriser's hatched spans: painted column by column class, they must cover exactly the
// pixels the pattern's definition names, wherever the span starts and however it is clipped.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/Raster.h"

namespace funzioni {
namespace {

constexpr int kWidth = 37;  // not a multiple of the pattern, so that rows end at every phase
constexpr int kHeight = 19;
constexpr std::uint32_t kPaper = 0xFF102030u;
constexpr std::uint32_t kInk = 0xFFF0E0D0u;

// The pattern's lines by their closed forms (rows, columns and both diagonals every 8 pixels).
bool Painted(int style, std::int64_t x, std::int64_t y) {
  const auto every8 = [](std::int64_t v) { return ((v % 8) + 8) % 8 == 0; };
  switch (style) {
    case 1:
      return every8(y);
    case 2:
      return every8(x);
    case 3:
      return every8(x - y);
    case 4:
      return every8(x + y);
    case 5:
      return every8(x) || every8(y);
    case 6:
      return every8(x - y) || every8(x + y);
    default:
      return true;
  }
}

struct SpanRow {
  const char* name;
  std::int64_t x0, x1;
};

TEST(RasterFillTest, HatchedSpansPaintExactlyThePatternsPixels) {
  const std::vector<SpanRow> spans = {
      {"whole row", 0, kWidth - 1},
      {"odd start and end", 3, 29},
      {"one pixel", 9, 9},
      {"shorter than the pattern", 13, 17},
      {"clipped on the left", -21, 5},
      {"clipped on both sides", -1000003, 1000001},
      {"clipped on the right", 30, 90},
      {"reversed: nothing", 12, 11},
      {"left of the canvas", -20, -1},
      {"right of the canvas", kWidth, kWidth + 40},
  };
  for (int style = 0; style <= 7; ++style) {
    for (const SpanRow& span : spans) {
      SCOPED_TRACE(std::string(span.name) + ", style " + std::to_string(style));
      std::vector<std::uint32_t> pixels(kWidth * kHeight, kPaper);
      const raster::Canvas canvas{pixels.data(), kWidth, kHeight};
      for (std::int64_t y = -2; y < kHeight + 2; ++y) {
        raster::FillSpan(canvas, span.x0, span.x1, y, kInk, style);
      }
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          const bool inSpan = x >= span.x0 && x <= span.x1;
          const std::uint32_t want = inSpan && Painted(style, x, y) ? kInk : kPaper;
          ASSERT_EQ(pixels[static_cast<std::size_t>(y) * kWidth + x], want) << x << "," << y;
        }
      }
    }
  }
}

TEST(RasterFillTest, RowClassesAgreeWithThePixelTestFarFromTheOrigin) {
  // Coordinates near the clamp limit and below zero: the classes must not drift with y's sign.
  for (int style = 0; style <= 7; ++style) {
    for (const std::int64_t y :
         {std::int64_t{-17}, std::int64_t{-1}, std::int64_t{0}, std::int64_t{7},
          raster::kCoordinateLimit - 3, -raster::kCoordinateLimit + 5}) {
      const std::uint8_t columns = raster::HatchRow(style, y);
      for (std::int64_t x = y - 9; x < y + 9; ++x) {
        const bool classPainted = ((columns >> (((x % 8) + 8) % 8)) & 1) != 0;
        EXPECT_EQ(classPainted, Painted(style, x, y))
            << "style " << style << " at " << x << "," << y;
        EXPECT_EQ(raster::HatchCovers(style, x, y), Painted(style, x, y));
      }
    }
  }
}

}  // namespace
}  // namespace funzioni
