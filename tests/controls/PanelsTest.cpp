#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "controls/ControlRenderer.h"
#include "controls/Panels.h"

namespace funzioni::testing {
namespace {

// The board of the window's plotting area, without a title.
BoardLook Board(float curtains, std::int16_t gridPercent, Color titleColor) {
  return {.frameWidth = 10,
          .value = curtains,
          .gridPercent = gridPercent,
          .fontSize = 12,
          .titleColor = titleColor,
          .faceColor = "verde"};
}

class PanelsTest : public ControlsTest {
 protected:
  // The window's help panel: 364 x 50, frame 3, red, sunken red face.
  PixelSize MakePanel(int id, int scale, std::string_view faceColor = "rosso", int frame = 3,
                      int faceMode = 3) {
    return CreatePanel(dialog, table, id, PixelRect{0, 0, 364, 50},
                       {.frameWidth = frame,
                        .frameColor = "rosso",
                        .scale = scale,
                        .textColor = kWhite,
                        .faceColor = faceColor,
                        .faceMode = faceMode});
  }
  PixelSize CharSizeFor(std::string_view face, int points) {
    DrawingSurface& probe = AddSurface(9999, 10, 10);
    probe.SetSurfaceFont(face, points, 0);
    return probe.GetCharSize();
  }
};

TEST_F(PanelsTest, CreateReturnsTheSizeAndCachesAnEmptyPanel) {
  EXPECT_EQ(MakePanel(2100, 9), (PixelSize{364, 50}));
  ASSERT_TRUE(table.Backgrounds().Has(2100));
  EXPECT_EQ(Picture(2100), std::string(table.Backgrounds().Find(2100)));
  EXPECT_EQ(table.Find(2100)->scale, 9);
  EXPECT_EQ(table.Find(2100)->faceColor.Trimmed(), "rosso");
}

TEST_F(PanelsTest, SunkenPanelHasBlackTopAndLeftWhateverTheFrameColour) {
  MakePanel(1900, 14, "", 3, 4);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Pixel(1900, 100, i), kBlack) << i;
    EXPECT_EQ(Pixel(1900, i, 25), kBlack) << i;
  }
  EXPECT_EQ(Pixel(1900, 363, 25), ShadeColor("rosso", 170));  // outermost right: darkest
  EXPECT_EQ(Pixel(1900, 361, 25), ShadeColor("rosso", 0));
}

TEST_F(PanelsTest, PanelFaceMode3RunsToAFifthOfTheHeight) {
  MakePanel(2050, 14, "verde", 1, 3);  // boxes f = 0..10, each 12 lighter (600 / 50)
  EXPECT_EQ(Pixel(2050, 1, 1), ShadeColor("verde", 205));
  EXPECT_EQ(Pixel(2050, 2, 2), ShadeColor("verde", 193));
  EXPECT_EQ(Pixel(2050, 200, 40), ShadeColor("verde", 85));  // f = 10: 205 - 120
  MakePanel(2051, 14, "", 1, 3);
  EXPECT_EQ(Pixel(2051, 1, 1), Rgb(0, 45, 0));
}

TEST_F(PanelsTest, TextFontSizeIsTheScaleDividedBy1Point2) {
  struct Case {
    int scale;
    int points;
  };
  // 14 / 1.2 = 11.67; 9 / 1.2 = 7.4999997 with the single-precision 1.2; 18 / 1.2 = 14.9999994.
  const Case cases[] = {{14, 12}, {9, 7}, {18, 15}};
  int id = 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scale);
    MakePanel(id, c.scale);
    SetPanelText(dialog, table, id, "Mg");
    EXPECT_EQ(Surface(id).GetCharSize(), CharSizeFor("courier new", c.points));
    EXPECT_NE(CharSizeFor("courier new", c.points + 1), CharSizeFor("courier new", c.points));
    ++id;
  }
}

TEST_F(PanelsTest, TextReplacesTheLastAndEmptyTextClears) {
  MakePanel(1800, 18, "rosso", 3, 2);
  const std::string empty = Picture(1800);
  SetPanelText(dialog, table, 1800, "12:00:00");
  const std::string noon = Picture(1800);
  EXPECT_NE(noon, empty);
  SetPanelText(dialog, table, 1800, "12:00:01");
  EXPECT_NE(Picture(1800), noon);
  SetPanelText(dialog, table, 1800, "12:00:00");
  EXPECT_EQ(Picture(1800), noon);
  SetPanelText(dialog, table, 1800, "");
  EXPECT_EQ(Picture(1800), empty);
}

TEST_F(PanelsTest, SingleByteTextShowsAsItsUtf8Twin) {
  // "più" and a euro sign: the single bytes of a file written on Windows, then UTF-8.
  MakePanel(2100, 14);
  SetPanelText(dialog, table, 2100, "pi\xC3\xB9 \xE2\x82\xAC");
  const std::string utf8 = Picture(2100);
  SetPanelText(dialog, table, 2100, "pi");
  ASSERT_NE(Picture(2100), utf8);
  SetPanelText(dialog, table, 2100, "pi\xF9 \x80");
  EXPECT_EQ(Picture(2100), utf8);
}

TEST_F(PanelsTest, FrameIsDrawnAgainOverTheText) {
  struct Case {
    std::string_view face;
    std::string_view frame;
  };
  // Raised, sunken, and a frame name that shades to black (the "#" is not first) both times.
  const Case cases[] = {{"rosso", "rosso"}, {"", "rosso"}, {"rosso", " #FF8000"}};
  int id = 200;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.face) + "/" + std::string(c.frame));
    ++id;
    CreatePanel(dialog, table, id, PixelRect{0, 0, 364, 50},
                {.frameWidth = 3,
                 .frameColor = c.frame,
                 .scale = 36,
                 .textColor = kWhite,
                 .faceColor = c.face,
                 .faceMode = 1});
    const std::string empty = Picture(id);
    SetPanelText(dialog, table, id, "[<]MMMMMMMMMMMMMMMMMMMMMMMMMMMM");  // wider than the panel
    const DrawingSurface& s = Surface(id);
    DrawingSurface blank(364, 50);
    blank.SetSurfacePixels(empty);
    int inked = 0;
    for (int y = 0; y < 50; ++y) {
      for (int x = 0; x < 3; ++x) EXPECT_EQ(s.PixelAt(x, y), blank.PixelAt(x, y)) << x << "," << y;
      for (int x = 3; x < 10; ++x) inked += s.PixelAt(x, y) != blank.PixelAt(x, y) ? 1 : 0;
    }
    EXPECT_GT(inked, 0) << "the text starts at the left edge";
  }
}

TEST_F(PanelsTest, LinesStartAtTheFrameOneLineHeightApart) {
  const std::vector<std::string> lines = {" Mouse + il tasto sinistro:", " cambi il valore.",
                                          "fine"};
  const std::string text = lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2];
  for (const bool trailing : {false, true}) {
    SCOPED_TRACE(trailing ? "with a trailing line break" : "without");
    const int id = trailing ? 301 : 300;
    const int reference = id + 10;
    MakePanel(id, 9);
    MakePanel(reference, 9);
    SetPanelLines(dialog, table, id, trailing ? text + "\r\n" : text);

    // The same lines printed by hand at x = 3, y = 3 + k x line height.
    DrawingSurface& s = dialog.AttachSurface(reference);
    s.SetSurfaceFont("courier new", 9, 0);
    s.SetForegroundColor(kWhite);
    s.SetBackgroundColor(kTransparent);
    const int lineHeight = s.GetCharSize().height;
    for (std::size_t k = 0; k < lines.size(); ++k) {
      s.MoveTo(3, 3 + static_cast<int>(k) * lineHeight);
      s.PrintText(lines[k], false);
    }
    EXPECT_EQ(Picture(id), Picture(reference));
    const int printed = trailing ? 4 : 3;  // the trailing pair adds an empty fourth line
    EXPECT_EQ(Surface(id).GetCurrentPosition(), (PixelPoint{3, 3 + printed * lineHeight}));
  }
}

TEST_F(ControlsTest, TickerCycles33OffsetsOnA28PixelPanel) {
  CreateControlSurface(dialog, 1900, PixelRect{606, 30, 363, 28});
  std::vector<int> offsets;
  std::set<std::string> pictures;
  for (int call = 0; call < 34; ++call) {
    ScrollPanelText(dialog, 1900, "www.example.org",
                    {.frameWidth = 5,
                     .frameColor = "rosso",
                     .faceMode = 4,
                     .textColor = kWhite,
                     .fontSize = 9});
    offsets.push_back(Surface(1900).UserValue(5));
    pictures.insert(Picture(1900));
  }
  std::vector<int> expected;
  for (int k = 1; k <= 32; ++k) expected.push_back(k);
  expected.push_back(0);
  expected.push_back(1);
  EXPECT_EQ(offsets, expected);
  EXPECT_GT(pictures.size(), 20u);  // the text moves
}

TEST_F(ControlsTest, BoardGridEndsOnTheInnerBottomRowAndRightColumn) {
  AddSurface(2000, 600, 600);
  DrawBoard(dialog, 2000, Board(0, 20, 0x0078F070));
  // Step 115.8 from 10: six lines each way.
  const std::vector<int> expected = {10, 126, 242, 357, 473, 589};
  std::vector<int> rows, columns;
  for (int k = 0; k < 600; ++k) {
    if (Pixel(2000, 300, k) == kGridColor) rows.push_back(k);
    if (Pixel(2000, k, 300) == kGridColor) columns.push_back(k);
  }
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(columns, expected);
  EXPECT_EQ(Pixel(2000, 589, 589), kGridColor);
  EXPECT_NE(Pixel(2000, 590, 589), kGridColor);  // nothing past the inner area
  EXPECT_NE(Pixel(2000, 589, 590), kGridColor);
  EXPECT_EQ(CountColor(2000, Rgb(155, 0, 0)), 0);  // value 0: no curtains
}

TEST_F(ControlsTest, BoardCurtainsMeetAtFullValue) {
  AddSurface(2000, 600, 600);
  DrawBoard(dialog, 2000, Board(100, 0, kWhite));
  EXPECT_EQ(Pixel(2000, 10, 10), Rgb(155, 0, 0));  // dark at the top and bottom rows
  EXPECT_EQ(Pixel(2000, 589, 589), Rgb(155, 0, 0));
  for (const int x : {10, 299, 300, 589}) EXPECT_EQ(Pixel(2000, x, 300), Rgb(230, 75, 75)) << x;
  EXPECT_EQ(CountColor(2000, kGridColor), 0);  // grid 0

  DrawBoard(dialog, 2000, Board(50, 0, kWhite));  // half closed
  EXPECT_EQ(Pixel(2000, 150, 10), Rgb(155, 0, 0));
  EXPECT_NE(Pixel(2000, 300, 10), Rgb(155, 0, 0));
}

TEST_F(ControlsTest, LowBoardsDrawNoGridAndReturn) {
  for (const int height : {5, 20, 21}) {
    const int id = 50 + height;
    AddSurface(id, 40, height);
    DrawBoard(dialog, id, Board(0, 20, kWhite));  // step <= 0: no grid
    EXPECT_EQ(CountColor(id, kGridColor), 0) << height;
  }
  AddSurface(80, 40, 22);  // the first height with a positive step
  DrawBoard(dialog, 80, Board(0, 20, kWhite));
  EXPECT_GT(CountColor(80, kGridColor), 0);
}

}  // namespace
}  // namespace funzioni::testing
