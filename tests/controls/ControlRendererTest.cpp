#include <climits>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "controls/ControlRenderer.h"
#include "controls/ControlTable.h"

namespace funzioni::testing {
namespace {

TEST(NearestTest, RoundsHalvesToEven) {
  struct Case {
    double x;
    int expected;
  };
  const Case cases[] = {{2.5, 2},         {3.5, 4},         {127.5, 128},     {126.5, 126},
                        {-0.5, 0},        {-1.5, -2},       {47.4999989, 47}, {0.49999, 0},
                        {1e300, INT_MAX}, {-1e300, INT_MIN}};
  for (const Case& c : cases) EXPECT_EQ(Nearest(c.x), c.expected) << c.x;
  EXPECT_EQ(Nearest(std::nan("")), 0);
}

// The window's parameter meter without its caption: 95 x 16, frame 0, needle, scale 10.
class NeedleMeterTest : public ControlsTest {
 protected:
  static constexpr int kId = 1001;
  void Make(float value, std::int16_t scale = 10) {
    MakeControl(kId, 95, 16, 0, "ori_ago", value, scale);
  }
  std::vector<int> ColumnsWith(Color color, int y) const {
    std::vector<int> columns;
    for (int x = 0; x < 95; ++x) {
      if (Pixel(kId, x, y) == color) columns.push_back(x);
    }
    return columns;
  }
};

TEST_F(NeedleMeterTest, NeedleAtHalfScaleStandsOnColumn47) {
  Make(50);  // 0.01 x 95 x 50 is just below 47.5
  for (int y = 0; y < 16; ++y) {
    EXPECT_EQ(Pixel(kId, 47, y), kRed) << "y=" << y;
    EXPECT_NE(Pixel(kId, 46, y), kRed) << "y=" << y;
    EXPECT_NE(Pixel(kId, 48, y), kRed) << "y=" << y;
  }
  EXPECT_EQ(CountColor(kId, kRed), 16);
}

TEST_F(NeedleMeterTest, NineTicksRiseFromTheBottomRow) {
  Make(50);
  const std::vector<int> expected = {10, 19, 28, 38, 48, 57, 66, 76, 86};  // 9.5 i, halves even
  EXPECT_EQ(ColumnsWith(kTickColor, 15), expected);
  EXPECT_EQ(ColumnsWith(kTickColor, 13), expected);
  EXPECT_TRUE(ColumnsWith(kTickColor, 12).empty());  // 3.2 long: rows 15, 14, 13
  EXPECT_EQ(CountColor(kId, kTickColor), 9 * 3);
}

TEST_F(NeedleMeterTest, ValueZeroShowsNoNeedleButTicks) {
  Make(0);
  EXPECT_EQ(CountColor(kId, kRed), 0);
  EXPECT_EQ(CountColor(kId, kTickColor), 27);
}

TEST_F(NeedleMeterTest, ScaleZeroShowsNoTicks) {
  Make(50, 0);
  EXPECT_EQ(CountColor(kId, kTickColor), 0);
  EXPECT_EQ(CountColor(kId, kRed), 16);
}

TEST_F(ControlsTest, SecondUpdateRestoresTheCachedBackground) {
  MakeControl(1400, 364, 20, 3, "ori_ago", 50, 10, "zoom");
  MakeControl(1401, 364, 20, 3, "ori_ago", 80, 10, "zoom");
  ASSERT_TRUE(table.Backgrounds().Has(1400));
  EXPECT_EQ(Surface(1400).UserValue(8), 1400);

  // Once cached, a changed face no longer shows: only indicator, ticks and caption are drawn.
  table.Find(1400)->faceColor = "rosso";
  UpdateControl(dialog, table, 1400, 80);
  EXPECT_EQ(Picture(1400), Picture(1401));  // nothing of value 50 is left

  UpdateControl(dialog, table, 1400, 80, "passo");
  UpdateControl(dialog, table, 1401, 80, "passo");
  EXPECT_EQ(Picture(1400), Picture(1401));
}

TEST_F(ControlsTest, ControlZeroDrawsItsBackgroundEveryTime) {
  MakeControl(0, 95, 16, 0, "ori_ago", 50, 10);
  const std::string grey = Picture(0);
  EXPECT_EQ(Surface(0).UserValue(8), 0);
  table.Find(0)->faceColor = "rosso";
  UpdateControl(dialog, table, 0, 50);
  EXPECT_NE(Picture(0), grey);
}

struct SegmentCase {
  std::string_view style;
  float value;
  std::int16_t scale;
  int segments;
};

void PrintTo(const SegmentCase& c, std::ostream* os) {
  *os << c.style << " @" << c.value << " scale " << c.scale;
}

class SegmentTest : public ControlsTest, public ::testing::WithParamInterface<SegmentCase> {};

// Colours of segments 0..9 on a scale of 10, blue turning red (25.5 i, halves to even).
const Color kSegmentColors[] = {
    Rgb(0, 0, 255),   Rgb(26, 0, 230),  Rgb(51, 0, 204), Rgb(76, 0, 178), Rgb(102, 0, 153),
    Rgb(128, 0, 128), Rgb(153, 0, 102), Rgb(178, 0, 76), Rgb(204, 0, 51), Rgb(230, 0, 26)};

TEST_P(SegmentTest, DrawsTheSegmentsUpToTheValue) {
  const SegmentCase& c = GetParam();
  const bool horizontal = c.style == "ori_vmeter";
  // 100 x 40 (or 40 x 100): a segment is 10 pixels long.
  MakeControl(5, horizontal ? 100 : 40, horizontal ? 40 : 100, 0, c.style, c.value, c.scale);
  int drawn = 0;
  for (int i = 0; i < 10; ++i) {
    const Color pixel = horizontal ? Pixel(5, 10 * i + 5, 30) : Pixel(5, 30, 95 - 10 * i);
    if (pixel == kSegmentColors[i]) {
      EXPECT_EQ(i, drawn) << "segments must be contiguous from the start";
      ++drawn;
    }
  }
  EXPECT_EQ(drawn, c.segments);
  EXPECT_EQ(CountColor(5, kTickColor), 0);  // segmented styles have no ticks
}

INSTANTIATE_TEST_SUITE_P(
    Counts, SegmentTest,
    ::testing::Values(SegmentCase{"ori_vmeter", 50, 10, 5},  // 50 x 9 x 0.01 = 4.4999999
                      SegmentCase{"ori_vmeter", 100, 10, 10}, SegmentCase{"ori_vmeter", 0, 10, 0},
                      SegmentCase{"ori_vmeter", 50, 0, 0}, SegmentCase{"ori_vmeter", 12, 10, 2},
                      SegmentCase{"ver_vmeter", 50, 10, 5}, SegmentCase{"ver_vmeter", 100, 10, 10},
                      SegmentCase{"ver_vmeter", 50, 0, 0}));

TEST_F(ControlsTest, VerticalSegmentsLeaveARowBetweenNeighbours) {
  MakeControl(5, 40, 100, 0, "ver_vmeter", 100, 10);
  // Segment 0 covers rows 91..99 and segment 1 rows 81..89; row 90 keeps the face.
  EXPECT_EQ(Pixel(5, 20, 91), kSegmentColors[0]);
  EXPECT_EQ(Pixel(5, 20, 89), kSegmentColors[1]);
  EXPECT_NE(Pixel(5, 20, 90), kSegmentColors[0]);
  EXPECT_NE(Pixel(5, 20, 90), kSegmentColors[1]);
}

TEST_F(ControlsTest, RedBarCoversAFullSwitch) {
  MakeControl(1501, 95, 20, 1, "ori_rosso", 100, 0, "", "verde", 0);
  // Rows from the top and bottom inner edges get darker red toward the edges.
  EXPECT_EQ(Pixel(1501, 40, 1), Rgb(155, 0, 0));
  EXPECT_EQ(Pixel(1501, 40, 18), Rgb(155, 0, 0));
  EXPECT_EQ(Pixel(1501, 40, 10), Rgb(255, 115, 115));  // 155 + 12.75 x 9 = 269.75, clamped
  EXPECT_EQ(Pixel(1501, 1, 5), Pixel(1501, 93, 5));
  MakeControl(1502, 95, 20, 1, "ori_rosso", 0, 0, "", "verde", 0);
  EXPECT_EQ(CountColor(1502, Rgb(155, 0, 0)), 0);
}

TEST_F(ControlsTest, CaptionMarkersAlignLeftAndRight) {
  struct Case {
    std::string_view caption;
    std::function<int(const DrawingSurface&)> x;
  };
  const Case cases[] = {
      {"[<]W", [](const DrawingSurface&) { return 0; }},
      {"[>]W", [](const DrawingSurface& s) { return 2 * CenterTextX(s, "[>]W"); }},
      {"W", [](const DrawingSurface& s) { return CenterTextX(s, "W"); }},
  };
  int id = 20;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.caption));
    const int captioned = id++, reference = id++;
    MakeControl(captioned, 200, 20, 1, "", 0, 0, c.caption, "verde", 0);
    MakeControl(reference, 200, 20, 1, "", 0, 0, "", "verde", 0);
    // The letter alone, written by hand where the marker puts it.
    DrawingSurface& s = dialog.AttachSurface(reference);
    s.SetSurfaceFont("Arial", 7, 0);
    s.MoveTo(c.x(s), CenterTextY(s, "W"));
    s.SetForegroundColor(kWhite);
    s.SetBackgroundColor(kTransparent);
    s.PrintText("W", true);
    EXPECT_EQ(Picture(captioned), Picture(reference));
  }
  EXPECT_GT(2 * CenterTextX(dialog.AttachSurface(20), "[>]W"), 100);
}

TEST_F(ControlsTest, FramesOfWidthZeroDrawNothing) {
  const std::function<void(DrawingSurface&, int)> frames[] = {
      [](DrawingSurface& s, int n) { DrawFlatFrame(s, n, "oro"); },
      [](DrawingSurface& s, int n) { DrawRaisedFrame(s, n, "oro"); },
      [](DrawingSurface& s, int n) { DrawTopLeftEdges(s, n, "oro"); },
      [](DrawingSurface& s, int n) { DrawBottomRightEdges(s, n, "oro"); },
  };
  DrawingSurface& s = AddSurface(30, 20, 10);
  s.ClearSurface(Rgb(1, 2, 3));
  const std::string blank = s.GetSurfacePixels();
  for (const auto& frame : frames) {
    for (const int n : {0, -1}) {
      frame(s, n);
      EXPECT_EQ(s.GetSurfacePixels(), blank) << "n=" << n;
    }
  }
}

TEST_F(ControlsTest, FrameColourIsShadedAsStored) {
  struct Case {
    std::string_view frameColor;
    Color outerRing;
  };
  // The stored field keeps a leading blank, and a "#" name is read only when it comes first.
  const Case cases[] = {{"#FF8000", 0x000080FF}, {" #FF8000", kBlack}, {"  oro", 0x009BFFFF}};
  int id = 60;
  for (const Case& c : cases) {
    // No style: a flat frame; face mode 6 leaves the inside alone.
    CreateControl(dialog, table, id, PixelRect{0, 0, 40, 20},
                  {.frameWidth = 2,
                   .frameColor = c.frameColor,
                   .textColor = kWhite,
                   .faceColor = "verde",
                   .faceMode = 6});
    EXPECT_EQ(Pixel(id, 20, 0), c.outerRing) << c.frameColor;
    ++id;
  }
}

TEST_F(ControlsTest, RaisedFrameIsLightTopLeftAndDarkBottomRight) {
  DrawingSurface& s = AddSurface(30, 20, 10);
  s.ClearSurface(kBlack);
  DrawRaisedFrame(s, 2, "oro");
  const Color light = 0x009BFFFF;        // shade 0
  const Color dark = Rgb(127, 127, 27);  // shade 127.5 -> 128
  EXPECT_EQ(s.PixelAt(0, 5), light);
  EXPECT_EQ(s.PixelAt(1, 5), dark);
  EXPECT_EQ(s.PixelAt(10, 0), light);
  EXPECT_EQ(s.PixelAt(10, 1), dark);
  EXPECT_EQ(s.PixelAt(19, 5), dark);  // outermost right column is the darkest
  EXPECT_EQ(s.PixelAt(18, 5), light);
  EXPECT_EQ(s.PixelAt(10, 9), dark);
  EXPECT_EQ(s.PixelAt(10, 8), light);
  EXPECT_EQ(s.PixelAt(5, 5), kBlack);

  DrawingSurface& flat = AddSurface(31, 20, 10);
  flat.ClearSurface(kBlack);
  DrawFlatFrame(flat, 2, "oro");
  EXPECT_EQ(flat.PixelAt(0, 5), light);
  EXPECT_EQ(flat.PixelAt(19, 5), light);
  EXPECT_EQ(flat.PixelAt(1, 5), dark);
  EXPECT_EQ(flat.PixelAt(18, 5), dark);
  EXPECT_EQ(flat.PixelAt(10, 9), light);
  EXPECT_EQ(flat.PixelAt(5, 5), kBlack);  // no fill
}

struct FacePixel {
  int mode;
  std::string_view name;
  int x;
  int y;
  Color expected;
};

void PrintTo(const FacePixel& c, std::ostream* os) {
  *os << "mode " << c.mode << " \"" << c.name << "\" (" << c.x << ", " << c.y << ")";
}

class FaceTest : public ControlsTest, public ::testing::WithParamInterface<FacePixel> {};

TEST_P(FaceTest, ShadesTheInside) {
  const FacePixel& c = GetParam();
  AddSurface(40, 40, 20).ClearSurface(kBlack);
  DrawFace(dialog, 40, 2, c.name, c.mode);
  EXPECT_EQ(Pixel(40, c.x, c.y), c.expected);
}

// A 40 x 20 surface with frame width 2.
INSTANTIATE_TEST_SUITE_P(
    Modes, FaceTest,
    ::testing::Values(
        // 0: horizontal cylinder; rows 2..9 from the top, 17..10 from the bottom.
        FacePixel{0, "grigio", 20, 2, Rgb(38, 38, 38)},  // j = 3: 255 - 38.25
        FacePixel{0, "grigio", 20, 17, Rgb(38, 38, 38)},
        FacePixel{0, "grigio", 20, 9, Rgb(127, 127, 127)},  // j = 10: 127.5 -> 128
        FacePixel{0, "grigio", 20, 1, kBlack}, FacePixel{0, "grigio", 1, 9, kBlack},
        // 1: light at the top, dark at the bottom; 4: the other way round.
        FacePixel{1, "grigio", 20, 2, Rgb(229, 229, 229)} /* 25.5 -> 26 */,
        FacePixel{1, "grigio", 20, 17, Rgb(38, 38, 38)},
        FacePixel{4, "grigio", 20, 2, Rgb(38, 38, 38)},
        FacePixel{4, "grigio", 20, 17, Rgb(229, 229, 229)},
        // 2: vertical cylinder over columns.
        FacePixel{2, "grigio", 2, 10, Rgb(19, 19, 19)},  // j = 3: 255 - 19.125
        FacePixel{2, "grigio", 37, 10, Rgb(19, 19, 19)},
        FacePixel{2, "grigio", 20, 10, Rgb(134, 134, 134)},  // j = 21
        FacePixel{2, "grigio", 20, 1, kBlack},
        // 5: light sides, dark middle.
        FacePixel{5, "grigio", 2, 10, Rgb(217, 217, 217)},  // j = 3: 255 - 216.75
        FacePixel{5, "grigio", 20, 10, Rgb(102, 102, 102)},
        // 3 with an empty name: green boxes from Rgb(0, 45, 0), 30 lighter each.
        FacePixel{3, "", 2, 2, Rgb(0, 45, 0)}, FacePixel{3, "", 3, 3, Rgb(30, 75, 30)},
        FacePixel{3, "", 4, 4, Rgb(60, 105, 60)}, FacePixel{3, "", 20, 10, Rgb(60, 105, 60)},
        FacePixel{3, "", 37, 17, Rgb(60, 105, 60)}, FacePixel{3, "", 38, 18, kBlack},
        // 3 with a name: shade 205 first, 30 less each box.
        FacePixel{3, "grigio", 2, 2, Rgb(50, 50, 50)},
        FacePixel{3, "grigio", 3, 3, Rgb(80, 80, 80)},
        FacePixel{3, "  ", 3, 3, kBlack},  // blank is not empty: an unknown name, black
        // Unknown modes draw nothing.
        FacePixel{6, "grigio", 20, 10, kBlack}, FacePixel{-1, "grigio", 20, 10, kBlack}));

}  // namespace
}  // namespace funzioni::testing
