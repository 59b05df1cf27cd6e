#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <string>

#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "controls/ControlRenderer.h"
#include "controls/ControlTable.h"
#include "controls/Panels.h"

namespace funzioni::testing {
namespace {

TEST(FixedTextTest, PadsAndCutsToItsWidth) {
  struct Case {
    std::string_view text;
    std::size_t width;
    std::string expected;
  };
  const Case cases[] = {
      {"", 4, "    "},
      {"ab", 4, "ab  "},
      {"abcd", 4, "abcd"},
      {"abcdef", 4, "abcd"},
      {"\xC3\xA8\xC3\xA8\xC3\xA8", 2, "\xC3\xA8\xC3\xA8"},  // "èèè": cut between characters
      {"\xC3\xA8", 3, "\xC3\xA8  "},
  };
  for (const Case& c : cases) EXPECT_EQ(FitToWidth(c.text, c.width), c.expected) << c.text;

  const FixedText<20> caption("  sqr(a.x)");
  EXPECT_EQ(caption.Padded().size(), 20u);
  EXPECT_EQ(caption.Trimmed(), "sqr(a.x)");
}

TEST(ControlTableTest, StartsEmptyAndHasNoRoomOutsideTheIdentifierRange) {
  ControlTable table;
  ASSERT_NE(table.Find(0), nullptr);
  ASSERT_NE(table.Find(10000), nullptr);
  EXPECT_EQ(table.Find(-1), nullptr);
  EXPECT_EQ(table.Find(10001), nullptr);
  const ControlRecord& empty = *table.Find(1234);
  EXPECT_EQ(empty.frameWidth, 0);
  EXPECT_EQ(empty.value, 0.0f);
  EXPECT_EQ(empty.caption.Trimmed(), "");
  EXPECT_FALSE(table.Backgrounds().Has(1234));
  table.Backgrounds().Store(-3, "x");
  table.Backgrounds().Store(10001, "x");
  EXPECT_TRUE(table.Backgrounds().Find(-3).empty());
}

TEST_F(ControlsTest, IdentifiersOutsideTheTableAreIgnored) {
  for (const int id : {-1, 10001, 123456}) {
    MakeControl(id, 95, 16, 0, "ori_ago", 50, 10, "a=1.0");
    UpdateControl(dialog, table, id, 30, "b");
    DrawControl(dialog, table, id,
                {.value = 50,
                 .scale = 10,
                 .caption = "x",
                 .textColor = kWhite,
                 .style = "ori_ago",
                 .faceColor = "grigio",
                 .faceMode = 2});
    CreatePanel(dialog, table, id, PixelRect{0, 0, 50, 20},
                {.frameWidth = 1,
                 .frameColor = "oro",
                 .scale = 14,
                 .textColor = kWhite,
                 .faceColor = "verde",
                 .faceMode = 3});
    SetPanelText(dialog, table, id, "x");
    SetPanelLines(dialog, table, id, "x\r\ny");
    ScrollPanelText(dialog, id, "x", {.frameWidth = 5});
    DrawBoard(dialog, id,
              {.frameWidth = 10,
               .value = 50,
               .gridPercent = 20,
               .title = "x",
               .fontSize = 12,
               .titleColor = kWhite,
               .faceColor = "verde"});
    DrawFace(dialog, id, 1, "verde", 3);
    EXPECT_FALSE(dialog.HasControl(id)) << id;
  }
}

TEST_F(ControlsTest, CreateStoresTheFieldsCutAndPadded) {
  const std::string longCaption = "abcdefghijklmnopqrstuvwxy";  // 25 characters
  CreateControl(dialog, table, 1501, PixelRect{0, 0, 95, 20},
                {.frameWidth = 1,
                 .frameColor = "oro",
                 .caption = std::string_view(longCaption),
                 .textColor = kWhite,
                 .style = "ori_rosso",
                 .faceColor = "verde"});
  const ControlRecord& r = *table.Find(1501);
  EXPECT_EQ(r.caption.Padded(), "abcdefghijklmnopqrst");
  EXPECT_EQ(r.frameColor.Padded(), "oro                 ");
  EXPECT_EQ(r.style.Padded().size(), 32u);
  EXPECT_EQ(r.style.Trimmed(), "ori_rosso");
  EXPECT_EQ(r.faceColor.Trimmed(), "verde");
  EXPECT_EQ(r.frameWidth, 1);
  EXPECT_EQ(r.faceMode, 0);
  EXPECT_EQ(r.textColor, kWhite);
  EXPECT_TRUE(dialog.HasControl(1501));
}

TEST_F(ControlsTest, UpdateChangesOnlyWhatItIsGiven) {
  MakeControl(1001, 95, 16, 0, "ori_ago", 50, 10, "a=1.0");
  ControlRecord& r = *table.Find(1001);

  UpdateControl(dialog, table, 1001, -1, "a=2.0");  // negative value: caption only
  EXPECT_EQ(r.value, 50.0f);
  EXPECT_EQ(r.caption.Trimmed(), "a=2.0");

  UpdateControl(dialog, table, 1001, 0, "");  // empty caption: value only, even 0
  EXPECT_EQ(r.value, 0.0f);
  EXPECT_EQ(r.caption.Trimmed(), "a=2.0");

  UpdateControl(dialog, table, 1001, 75.5f);
  EXPECT_EQ(r.value, 75.5f);
}

TEST_F(ControlsTest, ALongCaptionIsDrawnWholeOnceThenCutTo20) {
  const std::string caption = "abcdefghijklmnopqrstuvwxy";  // 25 characters
  // Three identical wide buttons: one shows the whole caption, one only its first 20.
  MakeControl(1, 300, 20, 1, "", 0, 0, "", "verde", 0);
  MakeControl(2, 300, 20, 1, "", 0, 0, caption.substr(0, 20), "verde", 0);

  UpdateControl(dialog, table, 1, -1, caption);
  const std::string whole = Picture(1);
  EXPECT_NE(whole, Picture(2));

  UpdateControl(dialog, table, 1, -1, "");
  EXPECT_EQ(Picture(1), Picture(2));
}

TEST_F(ControlsTest, ReadoutCaptionsShowTheValue) {
  struct Case {
    std::string_view readout;
    float value;
    std::int16_t scale;
    std::string_view shownAs;
    std::string_view notShownAs;
  };
  const Case cases[] = {
      {"%", 50, 10, "50%", "50"},     {"%", 62.5f, 10, "62%", "63%"},  // halves to even
      {"%", 63.5f, 10, "64%", "63%"}, {"!", 50, 10, "5", "50"},
      {"!", 25, 10, "2", "3"},  // 2.5 goes to 2
      {"!", 35, 10, "4", "3"},  // 3.5 goes to 4
  };
  int id = 10;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.readout) + " " + std::to_string(c.value));
    // A plain button has no indicator, so only the caption can differ.
    const int readout = id++, shown = id++, notShown = id++;
    MakeControl(readout, 120, 24, 2, "", c.value, c.scale, c.readout, "verde", 0);
    MakeControl(shown, 120, 24, 2, "", c.value, c.scale, c.shownAs, "verde", 0);
    MakeControl(notShown, 120, 24, 2, "", c.value, c.scale, c.notShownAs, "verde", 0);
    EXPECT_EQ(Picture(readout), Picture(shown));
    EXPECT_NE(Picture(readout), Picture(notShown));
    // The readout stays a readout: the record keeps "%" or "!".
    EXPECT_EQ(table.Find(readout)->caption.Trimmed(), c.readout);
  }
}

class PointerPercentTest : public ControlsTest {
 protected:
  void SetUp() override {
    MakeControl(1001, 95, 16, 0, "ori_ago", 50, 10);
    dialog.Show();
  }
  // Moves the pointer to (x, y) of the dialog's client area, as the window would see it.
  void PointAt(int x, int y) {
    QWindow* window = dialog.Widget()->windowHandle();
    ASSERT_NE(window, nullptr);
    const QPointF local(x, y);
    QMouseEvent move(QEvent::MouseMove, local, window->mapToGlobal(local), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
    ASSERT_EQ(dialog.GetPointerPosition(), (PixelPoint{x, y}));
  }
};

TEST_F(PointerPercentTest, MeasuresAcrossAndDownTheControl) {
  // A meter away from the dialog's corner, so that the pointer can also be left of it.
  CreateControl(dialog, table, 1002, PixelRect{100, 50, 95, 16}, ParameterMeterPreset("a").record);
  struct Case {
    int x;
    int y;
    float percentX;
    float percentY;
  };
  const Case cases[] = {
      {100, 51, 100.0f / 95, 0},        // first column and row
      {194, 66, 100, 93.75f},           // last column and row
      {147, 58, 4800.0f / 95, 43.75f},  // the middle
      {97, 50, -200.0f / 95, -6.25f},   // 3 pixels left of and 1 above: negative
      {400, 300, 100, 100},             // past the right and bottom edges: capped at 100
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    PointAt(c.x, c.y);
    EXPECT_FLOAT_EQ(PointerPercentX(dialog, 1002), c.percentX);
    EXPECT_FLOAT_EQ(PointerPercentY(dialog, 1002), c.percentY);
  }
}

TEST_F(PointerPercentTest, NegativePercentLeavesTheValue) {
  PointAt(-3, 5);
  const float percent = PointerPercentX(dialog, 1001);
  EXPECT_LT(percent, 0.0f);
  UpdateControl(dialog, table, 1001, percent, "a=1.0");
  EXPECT_EQ(table.Find(1001)->value, 50.0f);
  EXPECT_EQ(PointerPercentX(dialog, 4242), 0.0f);  // no such control
}

}  // namespace
}  // namespace funzioni::testing
