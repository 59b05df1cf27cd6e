// Lines, pixels, positions and rounding of the drawing surface, pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SurfaceTestUtil.h"

namespace funzioni {
namespace {

using test::kBlack;
using test::kRed;
using test::kWhite;
using test::Picture;
using test::PixelsOf;
using test::WhiteSurface;

TEST(RgbTest, ClampsEachComponent) {
  EXPECT_EQ(Rgb(80, 80, 80), 0x00505050);
  EXPECT_EQ(Rgb(300, -4, 120), 0x007800FF);
  EXPECT_EQ(Rgb(0, 0, 255), 0x00FF0000);
}

TEST(SurfaceLineTest, FullWidthRowLeavesEndPointAsPosition) {
  DrawingSurface s = WhiteSurface(600, 600);
  s.MoveTo(0, 300);
  s.LineTo(600, 0, kRed, true);
  const auto red = PixelsOf(s, kRed);
  ASSERT_EQ(red.size(), 600u);
  EXPECT_EQ(red.front(), "0,300");
  EXPECT_EQ(red.back(), "599,300");
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{600, 300}));
}

struct LineCase {
  const char* name;
  double x0, y0, x1, y1;
  std::vector<std::string> picture;  // 8 x 8, '#' painted
  friend void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }
};

class LinePictureTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LinePictureTest, PaintsExactlyThesePixels) {
  const LineCase& c = GetParam();
  DrawingSurface s = WhiteSurface(8, 8);
  s.MoveTo(c.x0, c.y0);
  s.LineTo(c.x1, c.y1, kRed);
  EXPECT_EQ(Picture(s, kRed), c.picture) << c.name;
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{static_cast<int>(std::nearbyint(c.x1)),
                                                static_cast<int>(std::nearbyint(c.y1))}));
}

INSTANTIATE_TEST_SUITE_P(
    Rasteriser, LinePictureTest,
    ::testing::Values(LineCase{"horizontal, end left out",
                               1,
                               1,
                               5,
                               1,
                               {"........", ".####...", "........", "........", "........",
                                "........", "........", "........"}},
                      LineCase{"right to left",
                               5,
                               1,
                               1,
                               1,
                               {"........", "..####..", "........", "........", "........",
                                "........", "........", "........"}},
                      LineCase{"vertical",
                               2,
                               0,
                               2,
                               3,
                               {"..#.....", "..#.....", "..#.....", "........", "........",
                                "........", "........", "........"}},
                      LineCase{"diagonal",
                               0,
                               0,
                               5,
                               5,
                               {"#.......", ".#......", "..#.....", "...#....", "....#...",
                                "........", "........", "........"}},
                      LineCase{"rising diagonal",
                               0,
                               7,
                               4,
                               3,
                               {"........", "........", "........", "........", "...#....",
                                "..#.....", ".#......", "#......."}},
                      LineCase{"shallow: halves step on the far side",
                               0,
                               0,
                               8,
                               2,
                               {"##......", "..####..", "......##", "........", "........",
                                "........", "........", "........"}},
                      LineCase{"steep",
                               1,
                               0,
                               3,
                               8,
                               {".#......", ".#......", "..#.....", "..#.....", "..#.....",
                                "..#.....", "...#....", "...#...."}},
                      LineCase{"zero length paints nothing",
                               3,
                               3,
                               3,
                               3,
                               {"........", "........", "........", "........", "........",
                                "........", "........", "........"}},
                      LineCase{"clipped at both ends",
                               -4,
                               2,
                               20,
                               2,
                               {"........", "........", "########", "........", "........",
                                "........", "........", "........"}},
                      LineCase{"clipped diagonal entering from above",
                               2,
                               -2,
                               12,
                               8,
                               {"....#...", ".....#..", "......#.", ".......#", "........",
                                "........", "........", "........"}},
                      LineCase{"entirely off the surface",
                               -5,
                               -5,
                               20,
                               -1,
                               {"........", "........", "........", "........", "........",
                                "........", "........", "........"}},
                      LineCase{"coordinates rounded halves to even",
                               0.5,
                               2.5,
                               4.5,
                               2.5,
                               {"........", "........", "####....", "........", "........",
                                "........", "........", "........"}}),
    [](const ::testing::TestParamInfo<LineCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(SurfaceLineTest, ConsecutiveLinesCloseALoopPaintingEachPixelOnce) {
  DrawingSurface s = WhiteSurface(8, 8);
  s.MoveTo(1, 1);
  s.LineTo(5, 1, kRed);
  s.LineTo(5, 5, kRed);
  s.LineTo(1, 5, kRed);
  s.LineTo(1, 1, kRed);
  EXPECT_EQ(Picture(s, kRed),
            (std::vector<std::string>{"........", ".#####..", ".#...#..", ".#...#..", ".#...#..",
                                      ".#####..", "........", "........"}));
}

TEST(SurfaceLineTest, RelativeFractionalLineEndsAtRoundedPoint) {
  // A tick from y = 15 moved by -3.2 ends at 12 (11.8 rounded); 12 itself stays unpainted.
  DrawingSurface s = WhiteSurface(4, 20);
  s.MoveTo(1, 15);
  s.LineTo(0, -3.2, kRed, true);
  EXPECT_EQ(PixelsOf(s, kRed), (std::vector<std::string>{"1,13", "1,14", "1,15"}));
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{1, 12}));
}

TEST(SurfaceLineTest, DefaultColourIsTheForeground) {
  DrawingSurface s = WhiteSurface(4, 4);
  s.SetForegroundColor(kRed);
  s.MoveTo(0, 0);
  s.LineTo(3, 0);
  s.SetPixel(0, 3);
  EXPECT_EQ(PixelsOf(s, kRed), (std::vector<std::string>{"0,0", "1,0", "2,0", "0,3"}));
  s.SetForegroundColor(kDefaultColor);
  EXPECT_EQ(s.ForegroundColor(), kBlack);
}

struct RoundCase {
  double in;
  int out;
};

TEST(SurfaceLineTest, CoordinatesRoundToNearestWithHalvesToEven) {
  const RoundCase cases[] = {{2.5, 2},     {3.5, 4},     {-0.5, 0}, {-1.5, -2}, {0.49, 0},
                             {127.5, 128}, {126.5, 126}, {2.51, 3}, {-2.51, -3}};
  DrawingSurface s = WhiteSurface(4, 4);
  for (const RoundCase& c : cases) {
    s.MoveTo(c.in, c.in);
    EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{c.out, c.out})) << c.in;
    s.SetPixel(c.in, 0);
    EXPECT_EQ(s.GetCurrentPosition().x, c.out) << c.in;
  }
}

TEST(SurfaceLineTest, SetPixelOffSurfaceLeavesNoMarkButMovesPosition) {
  DrawingSurface s = WhiteSurface(4, 4);
  const double points[][2] = {{-1, 0}, {4, 0}, {0, 4}, {0, -1}, {1e12, 1e12}, {-1e300, 2}};
  for (const auto& p : points) {
    s.SetPixel(p[0], p[1], kRed);
    EXPECT_EQ(test::CountPixels(s, kRed), 0);
  }
  s.SetPixel(-1, 4, kRed);
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{-1, 4}));
}

TEST(SurfaceLineTest, NonFiniteCoordinatesLeaveNoMarkAndKeepThePosition) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  DrawingSurface s = WhiteSurface(4, 4);
  s.MoveTo(1, 1);
  s.LineTo(nan, 3, kRed);
  s.LineTo(3, inf, kRed);
  s.SetPixel(-inf, 0, kRed);
  s.MoveTo(nan, nan);
  s.DrawBox(0, 0, nan, 3, 0, kRed, kRed, 0);
  s.StretchSurface(s, 0, 0, 3, 3, 0, 0, inf, 3);
  EXPECT_EQ(test::CountPixels(s, kRed), 0);
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{1, 1}));
}

TEST(SurfaceLineTest, HugeCoordinatesAreClippedQuickly) {
  DrawingSurface s = WhiteSurface(10, 10);
  s.MoveTo(-1e15, 5);
  s.LineTo(1e15, 5, kRed);
  EXPECT_EQ(test::CountPixels(s, kRed), 10);
  s.MoveTo(-1e9, -1e9);
  s.LineTo(1e9, 1e9, kRed);  // passes the diagonal
  EXPECT_EQ(s.PixelAt(3, 3), kRed);
}

TEST(SurfaceLineTest, EmptySurfaceIgnoresEverything) {
  DrawingSurface s;
  EXPECT_EQ(s.GetSurfaceSize(), (PixelSize{0, 0}));
  s.ClearSurface(kRed);
  s.MoveTo(0, 0);
  s.LineTo(10, 10, kRed);
  s.SetPixel(0, 0, kRed);
  s.DrawBox(0, 0, 5, 5, 50, kRed, kRed, 0);
  s.PrintText("abc");
  s.SetSurfacePixels(s.GetSurfacePixels());
  EXPECT_EQ(s.PixelAt(0, 0), -1);
  EXPECT_EQ(s.GetSurfacePixels().size(), 8u);
}

TEST(SurfaceLineTest, UserValuesUseSlotsOneToEight) {
  DrawingSurface s(2, 2);
  for (int slot = 1; slot <= 8; ++slot) EXPECT_EQ(s.UserValue(slot), 0);
  s.SetUserValue(1, 11);
  s.SetUserValue(8, 88);
  s.SetUserValue(0, 5);
  s.SetUserValue(9, 5);
  EXPECT_EQ(s.UserValue(1), 11);
  EXPECT_EQ(s.UserValue(8), 88);
  EXPECT_EQ(s.UserValue(0), 0);
  EXPECT_EQ(s.UserValue(9), 0);
}

}  // namespace
}  // namespace funzioni
