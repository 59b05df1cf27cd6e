// Pixel images (byte layout, round trip) and stretched copies between surfaces.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SurfaceTestUtil.h"

namespace funzioni {
namespace {

using test::kBlue;
using test::kRed;
using test::kWhite;
using test::WhiteSurface;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(SurfaceImageTest, ByteLayoutIsLittleEndianSizeThenBlueLowPixels) {
  DrawingSurface s(2, 1);
  s.SetPixel(0, 0, Rgb(0x11, 0x22, 0x33));
  s.SetPixel(1, 0, Rgb(0xFF, 0x00, 0x80));
  EXPECT_EQ(s.GetSurfacePixels(), Bytes({2, 0, 0, 0, 1, 0, 0, 0,  // width, height
                                         0x33, 0x22, 0x11, 0, 0x80, 0x00, 0xFF, 0}));
}

TEST(SurfaceImageTest, TopRowComesFirst) {
  DrawingSurface s = WhiteSurface(3, 2);
  s.SetPixel(2, 1, kRed);
  const std::string image = s.GetSurfacePixels();
  ASSERT_EQ(image.size(), 8u + 6 * 4);
  EXPECT_EQ(image.substr(8 + 5 * 4), Bytes({0, 0, 0xFF, 0}));  // red is 0x00FF0000 here
  EXPECT_EQ(image.substr(8, 4), Bytes({0xFF, 0xFF, 0xFF, 0}));
}

TEST(SurfaceImageTest, RoundTripRestoresThePicture) {
  DrawingSurface s = WhiteSurface(40, 30);
  for (int i = 0; i < 30; ++i) s.SetPixel(i, i, Rgb(i * 8, 255 - i * 8, i));
  s.DrawBox(5, 5, 35, 25, 40, kBlue, kRed, 3);
  const std::string saved = s.GetSurfacePixels();
  s.ClearSurface(kWhite);
  s.SetSurfacePixels(saved);
  EXPECT_EQ(s.GetSurfacePixels(), saved);
  EXPECT_EQ(s.PixelAt(2, 2), Rgb(16, 239, 2));
}

TEST(SurfaceImageTest, BuiltImageIsReadInTheSameLayout) {
  DrawingSurface s = WhiteSurface(2, 2);
  std::string image = Bytes({2, 0, 0, 0, 2, 0, 0, 0});
  image += Bytes({0x01, 0x02, 0x03, 0xAA});  // high byte is ignored
  image += Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0});
  s.SetSurfacePixels(image);
  EXPECT_EQ(s.PixelAt(0, 0), Rgb(0x03, 0x02, 0x01));
  EXPECT_EQ(s.PixelAt(1, 1), kBlue);
}

TEST(SurfaceImageTest, MalformedOrOtherSizedImages) {
  DrawingSurface s = WhiteSurface(3, 3);
  s.SetSurfacePixels("");
  s.SetSurfacePixels(Bytes({3, 0, 0, 0, 3, 0, 0, 0, 1, 2}));        // too short: ignored
  s.SetSurfacePixels(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}));  // negative width
  EXPECT_EQ(test::CountPixels(s, kWhite), 9);
  // A smaller image writes its top-left part only.
  DrawingSurface small = WhiteSurface(2, 1);
  small.ClearSurface(kRed);
  s.SetSurfacePixels(small.GetSurfacePixels());
  EXPECT_EQ(test::PixelsOf(s, kRed), (std::vector<std::string>{"0,0", "1,0"}));
  // A larger one is cut.
  DrawingSurface large = WhiteSurface(5, 5);
  large.ClearSurface(kBlue);
  s.SetSurfacePixels(large.GetSurfacePixels());
  EXPECT_EQ(test::CountPixels(s, kBlue), 9);
}

// A source whose every pixel has its own colour: x in red, y in green.
DrawingSurface Numbered(int width, int height) {
  DrawingSurface s(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) s.SetPixel(x, y, Rgb(x, y, 7));
  }
  return s;
}

TEST(SurfaceStretchTest, DoublesA121PixelSquareOnto241Pixels) {
  const DrawingSurface source = Numbered(256, 256);
  DrawingSurface target = WhiteSurface(241, 241);
  target.StretchSurface(source, 100, 100, 220, 220, 0, 0, 240, 240);
  EXPECT_EQ(test::CountPixels(target, kWhite), 0);
  EXPECT_EQ(target.PixelAt(0, 0), Rgb(100, 100, 7));
  EXPECT_EQ(target.PixelAt(240, 240), Rgb(220, 220, 7));
  // Along a row every source column appears, in order, twice give or take one.
  std::vector<int> seen(121, 0);
  int last = 0;
  for (int x = 0; x < 241; ++x) {
    const int column = (target.PixelAt(x, 17) & 0xFF) - 100;
    ASSERT_GE(column, last);
    ASSERT_LE(column, last + 1);
    last = column;
    ++seen[static_cast<std::size_t>(column)];
  }
  for (int count : seen) {
    EXPECT_GE(count, 1);
    EXPECT_LE(count, 3);
  }
}

TEST(SurfaceStretchTest, SameSizeIsAnExactCopyAndCornersMayComeInAnyOrder) {
  const DrawingSurface source = Numbered(10, 10);
  DrawingSurface a = WhiteSurface(10, 10);
  a.StretchSurface(source, 0, 0, 9, 9, 0, 0, 9, 9);
  EXPECT_EQ(a.GetSurfacePixels(), source.GetSurfacePixels());
  // Reversing both rectangles' corners mirrors twice, giving the same copy.
  DrawingSurface b = WhiteSurface(10, 10);
  b.StretchSurface(source, 9, 9, 0, 0, 9, 9, 0, 0);
  EXPECT_EQ(b.GetSurfacePixels(), source.GetSurfacePixels());
}

TEST(SurfaceStretchTest, HalvesAndSizes) {
  const DrawingSurface source = Numbered(8, 8);
  DrawingSurface t = WhiteSurface(8, 8);
  t.StretchSurface(source, 0, 0, 7, 7, 2, 2, 5, 5);  // 8 pixels onto 4
  EXPECT_EQ(test::CountPixels(t, kWhite), 64 - 16);
  EXPECT_EQ(t.PixelAt(2, 2), Rgb(1, 1, 7));
  EXPECT_EQ(t.PixelAt(5, 5), Rgb(7, 7, 7));
  EXPECT_EQ(t.PixelAt(6, 6), kWhite);
}

TEST(SurfaceStretchTest, SourceOutsideItsSurfaceComesOutInTheFaceColour) {
  const DrawingSurface source = Numbered(10, 10);
  DrawingSurface t = WhiteSurface(6, 6);
  t.StretchSurface(source, -3, -3, 2, 2, 0, 0, 5, 5);
  EXPECT_EQ(t.PixelAt(0, 0), kDefaultFaceColor);
  EXPECT_EQ(t.PixelAt(2, 5), kDefaultFaceColor);
  EXPECT_EQ(t.PixelAt(3, 3), Rgb(0, 0, 7));
  EXPECT_EQ(t.PixelAt(5, 5), Rgb(2, 2, 7));
  t.SetStretchOutsideColor(kRed);
  t.StretchSurface(DrawingSurface(), 0, 0, 5, 5, 0, 0, 5, 5);
  EXPECT_EQ(test::CountPixels(t, kRed), 36);
}

TEST(SurfaceStretchTest, TargetOffTheSurfaceAndSelfCopy) {
  DrawingSurface s = Numbered(10, 10);
  s.StretchSurface(s, 0, 0, 9, 9, -1e9, -1e9, 1e9, 1e9);  // enormous target: no hang
  DrawingSurface t = Numbered(10, 10);
  t.StretchSurface(t, 0, 0, 4, 4, 5, 5, 9, 9);  // onto itself: reads the old picture
  EXPECT_EQ(t.PixelAt(5, 5), Rgb(0, 0, 7));
  EXPECT_EQ(t.PixelAt(9, 9), Rgb(4, 4, 7));
  t.StretchSurface(t, 0, 0, 9, 9, 0, 0, 4, 4);
  EXPECT_EQ(t.PixelAt(4, 4), Rgb(4, 4, 7));  // (9, 9) after the first copy
}

// One-to-one copies that reach past the source's or the target's edges: every target pixel in
// the rectangle takes the source pixel at the same offset (the face colour where there is none),
// every other pixel stays white.
struct ShiftedCopy {
  const char* name;
  int sx, sy, tx, ty, w, h;
};

class SurfaceShiftedCopyTest : public ::testing::TestWithParam<ShiftedCopy> {};

TEST_P(SurfaceShiftedCopyTest, EachPixelComesFromTheSameOffset) {
  const ShiftedCopy c = GetParam();
  const DrawingSurface source = Numbered(12, 9);
  DrawingSurface target = WhiteSurface(10, 8);
  target.StretchSurface(source, c.sx, c.sy, c.sx + c.w - 1, c.sy + c.h - 1, c.tx, c.ty,
                        c.tx + c.w - 1, c.ty + c.h - 1);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) {
      const int dx = x - c.tx;
      const int dy = y - c.ty;
      Color expected = kWhite;
      if (dx >= 0 && dx < c.w && dy >= 0 && dy < c.h) {
        const int fromX = c.sx + dx;
        const int fromY = c.sy + dy;
        const bool inside = fromX >= 0 && fromX < 12 && fromY >= 0 && fromY < 9;
        expected = inside ? source.PixelAt(fromX, fromY) : kDefaultFaceColor;
      }
      ASSERT_EQ(target.PixelAt(x, y), expected) << c.name << " at " << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rectangles, SurfaceShiftedCopyTest,
    ::testing::Values(ShiftedCopy{"whole_overlap", 0, 0, 0, 0, 10, 8},
                      ShiftedCopy{"inner_shift", 3, 2, 1, 4, 5, 3},
                      ShiftedCopy{"target_left_of_surface", 2, 1, -3, 0, 8, 5},
                      ShiftedCopy{"target_past_right_and_bottom", 0, 0, 6, 5, 9, 9},
                      ShiftedCopy{"source_left_of_its_surface", -2, 0, 0, 0, 6, 4},
                      ShiftedCopy{"source_past_its_right_edge", 9, 3, 0, 0, 7, 4},
                      ShiftedCopy{"source_rows_above_and_below", 1, -2, 0, 0, 5, 12}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace funzioni
