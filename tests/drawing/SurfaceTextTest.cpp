// Text rules rather than glyph shapes: two colours only, transparent background, the measured
// rectangle, 96-dot heights, positions, and the faces behind the program's font names.
#include <gtest/gtest.h>

#include "SurfaceTestUtil.h"

namespace funzioni {
namespace {

using test::kBlue;
using test::kGreen;
using test::kRed;
using test::kWhite;

DrawingSurface TextSurface(Color background) {
  DrawingSurface s = test::WhiteSurface(200, 60);
  s.ClearSurface(kBlue);
  s.SetSurfaceFont("Arial", 10);
  s.SetForegroundColor(kRed);
  s.SetBackgroundColor(background);
  s.MoveTo(10, 20);
  return s;
}

TEST(SurfaceTextTest, TenPointsAreThirteenPixelsAtNinetySixDots) {
  DrawingSurface s(10, 10);
  s.SetSurfaceFont("Arial", 10);
  // Liberation Sans at 13 pixels: ascent 12 plus descent 3.
  EXPECT_EQ(s.MeasureText("Ag").height, 15);
  EXPECT_EQ(s.GetCharSize().height, 15);
  EXPECT_GT(s.GetCharSize().width, 4);
  EXPECT_LT(s.GetCharSize().width, 9);
  s.SetSurfaceFont("Arial", 7);  // 9 pixels
  EXPECT_EQ(s.MeasureText("Ag").height, 10);
}

TEST(SurfaceTextTest, PointSizeZeroMeansEight) {
  DrawingSurface a(10, 10);
  DrawingSurface b(10, 10);
  a.SetSurfaceFont("Arial", 0);
  b.SetSurfaceFont("Arial", 8);
  EXPECT_EQ(a.MeasureText("Zoom 12"), b.MeasureText("Zoom 12"));
  EXPECT_EQ(a.GetCharSize(), b.GetCharSize());
}

TEST(SurfaceTextTest, TransparentBackgroundPaintsOnlyTextColourAndKeepsTheRest) {
  DrawingSurface s = TextSurface(kTransparent);
  s.PrintText("Grafico di funzioni");
  const auto colours = test::ColoursIn(s);
  EXPECT_EQ(colours, (std::set<Color>{kBlue, kRed}));
  EXPECT_GT(test::CountPixels(s, kRed), 40);
}

TEST(SurfaceTextTest, BackgroundColourPaintsExactlyTheMeasuredRectangle) {
  const std::string text = "a=1.0 zoom";
  DrawingSurface s = TextSurface(kGreen);
  const PixelSize size = s.MeasureText(text);
  s.PrintText(text);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      const bool inside = x >= 10 && x < 10 + size.width && y >= 20 && y < 20 + size.height;
      const Color c = s.PixelAt(x, y);
      if (inside) {
        EXPECT_TRUE(c == kGreen || c == kRed) << x << "," << y;
      } else {
        EXPECT_EQ(c, kBlue) << x << "," << y;
      }
    }
  }
  EXPECT_GT(test::CountPixels(s, kRed), 20);
}

TEST(SurfaceTextTest, PositionMovesAlongTheTopLineAndToTheNextLine) {
  DrawingSurface s = TextSurface(kTransparent);
  const PixelSize size = s.MeasureText("Aiuto");
  s.PrintText("Aiuto");
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{10 + size.width, 20}));
  s.PrintText("", true);
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{0, 20 + s.GetCharSize().height}));
  s.MoveTo(5, 5);
  s.PrintText("x", true);
  EXPECT_EQ(s.GetCurrentPosition(), (PixelPoint{0, 5 + s.GetCharSize().height}));
}

TEST(SurfaceTextTest, TextStartsAtThePositionAndEmptyTextDrawsNothing) {
  DrawingSurface s = TextSurface(kTransparent);
  s.PrintText("");
  EXPECT_EQ(test::CountPixels(s, kRed), 0);
  s.MoveTo(50, 30);
  s.PrintText("H");
  // "H" has a stem near its left edge, from the cap height down to the baseline.
  int minX = 1000;
  int minY = 1000;
  int maxY = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (s.PixelAt(x, y) != kRed) continue;
      minX = std::min(minX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    }
  }
  EXPECT_GE(minX, 50);
  EXPECT_LE(minX, 52);
  EXPECT_GE(minY, 30);
  EXPECT_LE(maxY, 30 + 12);  // nothing below the baseline
  EXPECT_GE(maxY - minY, 8);
}

TEST(SurfaceTextTest, WidthOfAStringIsTheSumOfItsParts) {
  DrawingSurface s(10, 10);
  for (const char* face : {"Arial", "arial", "courier", "courier new"}) {
    for (int points : {7, 9, 10, 12}) {
      s.SetSurfaceFont(face, points);
      const int whole = s.MeasureText("SIN(x)*x^2").width;
      EXPECT_EQ(whole, s.MeasureText("SIN(x)").width + s.MeasureText("*x^2").width)
          << face << " " << points;
    }
  }
}

TEST(SurfaceTextTest, CourierIsFixedPitchAndArialIsNot) {
  DrawingSurface s(10, 10);
  s.SetSurfaceFont("courier", 10);
  EXPECT_EQ(s.MeasureText("iiii").width, s.MeasureText("WWWW").width);
  s.SetSurfaceFont("courier new", 10);
  EXPECT_EQ(s.MeasureText("iiii").width, s.MeasureText("WWWW").width);
  s.SetSurfaceFont("Arial", 10);
  EXPECT_LT(s.MeasureText("iiii").width, s.MeasureText("WWWW").width);
}

TEST(SurfaceTextTest, BoldIsAtLeastAsWideAndStylesStillUseTwoColours) {
  DrawingSurface s = TextSurface(kTransparent);
  const int normal = s.MeasureText("Tutte accese").width;
  s.SetSurfaceFont("Arial", 10, kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut);
  EXPECT_GE(s.MeasureText("Tutte accese").width, normal);
  s.PrintText("Tutte accese");
  EXPECT_EQ(test::ColoursIn(s), (std::set<Color>{kBlue, kRed}));
}

TEST(SurfaceTextTest, AccentedAndEightBitText) {
  DrawingSurface s = TextSurface(kTransparent);
  const int utf8 = s.MeasureText("Verr\xC3\xA0").width;  // UTF-8
  const int latin1 = s.MeasureText("Verr\xE0").width;    // the same text in 8 bits
  EXPECT_EQ(utf8, latin1);
  s.PrintText("Verr\xE0");
  EXPECT_GT(test::CountPixels(s, kRed), 10);
}

TEST(SurfaceTextTest, TextIsClippedAtTheSurfaceEdges) {
  DrawingSurface s = TextSurface(kGreen);
  s.SetSurfaceFont("Arial", 50);
  s.MoveTo(-30, -20);
  s.PrintText("WWWWWWWW");
  s.MoveTo(190, 50);
  s.PrintText("WWWW");
  EXPECT_EQ(s.GetCurrentPosition().y, 50);
  EXPECT_TRUE(test::ColoursIn(s).count(kGreen));
}

}  // namespace
}  // namespace funzioni
