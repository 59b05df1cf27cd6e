// Boxes: edges, corner order, fills, hatches, rounded corners, clipping; and ClearSurface.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "SurfaceTestUtil.h"

namespace funzioni {
namespace {

using test::kBlack;
using test::kBlue;
using test::kRed;
using test::kWhite;
using test::Picture;
using test::WhiteSurface;

const std::vector<std::string> kOutline = {"........", ".#####..", ".#...#..", ".#...#..",
                                           ".#####..", "........", "........"};

TEST(SurfaceBoxTest, RightAndBottomEdgesLieJustInsideTheSecondCorner) {
  // Corners given in all four orders draw the same box: columns 1..5, rows 1..4.
  const double corners[][4] = {{1, 1, 6, 5}, {6, 5, 1, 1}, {1, 5, 6, 1}, {6, 1, 1, 5}};
  for (const auto& c : corners) {
    DrawingSurface s = WhiteSurface(8, 7);
    s.DrawBox(c[0], c[1], c[2], c[3], 0, kBlack, kNoFill, 0);
    EXPECT_EQ(Picture(s, kBlack), kOutline) << c[0] << "," << c[1];
    EXPECT_EQ(test::CountPixels(s, kWhite), 56 - 14);
  }
}

TEST(SurfaceBoxTest, FillColoursAndDefaults) {
  DrawingSurface s = WhiteSurface(8, 7);
  s.DrawBox(1, 1, 6, 5, 0, kBlack, kRed, 0);
  EXPECT_EQ(Picture(s, kBlack), kOutline);
  EXPECT_EQ(Picture(s, kRed),
            (std::vector<std::string>{"........", "........", "..###...", "..###...", "........",
                                      "........", "........"}));
  // Fill -1 is the border colour; border -1 is the foreground.
  DrawingSurface t = WhiteSurface(8, 7);
  t.SetForegroundColor(kBlue);
  t.DrawBox(1, 1, 6, 5, 0, kDefaultColor, kDefaultColor, 0);
  EXPECT_EQ(test::CountPixels(t, kBlue), 20);
}

TEST(SurfaceBoxTest, ThinAndEmptyBoxes) {
  DrawingSurface s = WhiteSurface(6, 6);
  s.DrawBox(2, 2, 2, 5, 0, kBlack, kRed, 0);  // no width: nothing
  EXPECT_EQ(test::CountPixels(s, kWhite), 36);
  s.DrawBox(2, 2, 3, 5, 0, kBlack, kRed, 0);  // one column, all border
  EXPECT_EQ(test::PixelsOf(s, kBlack), (std::vector<std::string>{"2,2", "2,3", "2,4"}));
  EXPECT_EQ(test::CountPixels(s, kRed), 0);
}

TEST(SurfaceBoxTest, ClippedAtTheEdges) {
  DrawingSurface s = WhiteSurface(6, 6);
  s.DrawBox(-3, -3, 3, 9, 0, kBlack, kRed, 0);
  // Only the right edge (x = 2) is on the surface; columns 0..1 are inside.
  EXPECT_EQ(Picture(s, kBlack),
            (std::vector<std::string>{"..#...", "..#...", "..#...", "..#...", "..#...", "..#..."}));
  EXPECT_EQ(test::CountPixels(s, kRed), 12);
  s.DrawBox(-1e12, -1e12, 1e12, 1e12, 30, kBlue, kBlue, 0);
  EXPECT_EQ(test::CountPixels(s, kBlue), 36);
}

std::set<std::pair<int, int>> RedPixels(int fillStyle) {
  DrawingSurface s = WhiteSurface(24, 24);
  s.DrawBox(0, 0, 24, 24, 0, kBlack, kRed, fillStyle);
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      const Color c = s.PixelAt(x, y);
      if (c == kRed) out.insert({x, y});
      const bool border = x == 0 || y == 0 || x == 23 || y == 23;
      EXPECT_EQ(c, border ? kBlack : (c == kRed ? kRed : kWhite)) << x << "," << y;
    }
  }
  return out;
}

TEST(SurfaceBoxTest, HatchesAreEightPixelPatternsThatKeepTheGaps) {
  const auto horizontal = RedPixels(1);
  const auto vertical = RedPixels(2);
  const auto falling = RedPixels(3);
  const auto rising = RedPixels(4);
  const auto cross = RedPixels(5);
  const auto diagonalCross = RedPixels(6);
  const auto inside = [](int x, int y) { return x >= 1 && y >= 1 && x <= 22 && y <= 22; };
  for (const auto& [x, y] : horizontal) {
    if (inside(x + 1, y)) {
      EXPECT_TRUE(horizontal.count({x + 1, y}));
    }
    EXPECT_FALSE(horizontal.count({x, y + 1}));
    if (inside(x, y + 8)) {
      EXPECT_TRUE(horizontal.count({x, y + 8}));
    }
  }
  for (const auto& [x, y] : vertical) {
    if (inside(x, y + 1)) {
      EXPECT_TRUE(vertical.count({x, y + 1}));
    }
    if (inside(x + 8, y)) {
      EXPECT_TRUE(vertical.count({x + 8, y}));
    }
  }
  for (const auto& [x, y] : falling) {
    if (inside(x + 1, y + 1)) {
      EXPECT_TRUE(falling.count({x + 1, y + 1}));
    }
  }
  for (const auto& [x, y] : rising) {
    if (inside(x + 1, y - 1)) {
      EXPECT_TRUE(rising.count({x + 1, y - 1}));
    }
  }
  for (const auto* hatch : {&horizontal, &vertical, &falling, &rising}) {
    EXPECT_GE(hatch->size(), 44u);
    EXPECT_LE(hatch->size(), 66u);
  }
  auto unite = [](auto a, const auto& b) {
    a.insert(b.begin(), b.end());
    return a;
  };
  EXPECT_EQ(cross, unite(horizontal, vertical));
  EXPECT_EQ(diagonalCross, unite(falling, rising));
  EXPECT_EQ(RedPixels(7).size(), 22u * 22u);  // above 6 is solid
}

TEST(SurfaceBoxTest, HatchIsAlignedToTheSurfaceOrigin) {
  DrawingSurface a = WhiteSurface(24, 24);
  DrawingSurface b = WhiteSurface(24, 24);
  a.DrawBox(0, 0, 24, 24, 0, kRed, kRed, 5);
  b.DrawBox(3, 5, 24, 24, 0, kRed, kRed, 5);
  for (int y = 6; y < 23; ++y) {
    for (int x = 4; x < 23; ++x) EXPECT_EQ(a.PixelAt(x, y), b.PixelAt(x, y)) << x << "," << y;
  }
}

TEST(SurfaceBoxTest, RoundedCornersAreSymmetricAndClosed) {
  DrawingSurface s = WhiteSurface(30, 20);
  s.DrawBox(0, 0, 30, 20, 50, kBlack, kRed, 0);
  const auto black = Picture(s, kBlack);
  const auto red = Picture(s, kRed);
  EXPECT_EQ(s.PixelAt(0, 0), kWhite);
  EXPECT_EQ(s.PixelAt(29, 19), kWhite);
  EXPECT_EQ(s.PixelAt(15, 0), kBlack);
  EXPECT_EQ(s.PixelAt(0, 10), kBlack);
  for (int y = 0; y < 20; ++y) {
    const std::string mirrored(black[y].rbegin(), black[y].rend());
    EXPECT_EQ(black[y], mirrored) << y;
    EXPECT_EQ(black[y], black[19 - y]) << y;
    EXPECT_NE(black[y].find('#'), std::string::npos) << "row " << y << " has no border";
  }
  // No red pixel touches the outside: each one has painted neighbours on all four sides.
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) {
      if (red[y][x] != '#') continue;
      for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        EXPECT_NE(s.PixelAt(x + dx, y + dy), kWhite) << x << "," << y;
      }
    }
  }
}

TEST(SurfaceBoxTest, CornerAboveHundredIsHundredAndZeroIsSquare) {
  DrawingSurface a = WhiteSurface(20, 12);
  DrawingSurface b = WhiteSurface(20, 12);
  a.DrawBox(1, 1, 19, 11, 100, kBlack, kRed, 0);
  b.DrawBox(1, 1, 19, 11, 150, kBlack, kRed, 0);
  EXPECT_EQ(a.GetSurfacePixels(), b.GetSurfacePixels());
  DrawingSurface c = WhiteSurface(20, 12);
  DrawingSurface d = WhiteSurface(20, 12);
  c.DrawBox(1, 1, 19, 11, 0, kBlack, kRed, 0);
  d.DrawBox(1, 1, 19, 11, -20, kBlack, kRed, 0);
  EXPECT_EQ(c.GetSurfacePixels(), d.GetSurfacePixels());
  EXPECT_EQ(test::CountPixels(c, kWhite), 240 - 180);
  EXPECT_GT(test::CountPixels(a, kWhite), test::CountPixels(c, kWhite));
}

TEST(SurfaceBoxTest, ClearSurfacePaintsAndResetsThePosition) {
  DrawingSurface s = WhiteSurface(5, 5);
  s.MoveTo(3, 3);
  s.SetBackgroundColor(kBlue);
  s.ClearSurface();
  EXPECT_EQ(test::CountPixels(s, kBlue), 25);
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{0, 0}));
  s.ClearSurface(kRed, 99);  // unknown style: solid
  EXPECT_EQ(test::CountPixels(s, kRed), 25);
}

TEST(SurfaceBoxTest, ClearWithTransparentBackgroundOnlyMovesThePosition) {
  DrawingSurface s = WhiteSurface(5, 5);
  s.SetPixel(2, 2, kRed);
  s.SetBackgroundColor(kTransparent);
  s.ClearSurface(kDefaultColor);
  EXPECT_EQ(test::CountPixels(s, kWhite), 24);
  EXPECT_EQ(s.PixelAt(2, 2), kRed);
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{0, 0}));
}

}  // namespace
}  // namespace funzioni
