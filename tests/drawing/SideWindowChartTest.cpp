// The side window's sign chart drawn on a small picture: every sign, zero, cross and double bar
// where the layout puts its interval or its mark, no line where a row has no sign, and the
// accessible text the chart's lines.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>

#include "drawing/SideWindowChartView.h"

namespace funzioni {
namespace {

constexpr int kWidth = 300;

// f of (x^3+4)/x^2 over [-10, 10] with f'' under it: marks at -1.587, 0 (no value) and 2.
SideChart ExamChart() {
  SideChart chart;
  chart.marks = {"-1.587", "0", "2"};
  chart.rows = {{"f",
                 {-1, 1, 1, 1},
                 {SideChartPoint::Zero, SideChartPoint::Break, SideChartPoint::None},
                 SideChartUnder::None,
                 ""},
                {"f'",
                 {1, 0, -1, 1},
                 {SideChartPoint::None, SideChartPoint::Break, SideChartPoint::Cross},
                 SideChartUnder::Growth,
                 ""},
                {"f''", {}, {}, SideChartUnder::Bend, "too dense"}};
  chart.lines = {"f: - from -10 to -1.587", "f: 0 at -1.587"};
  chart.name = "Sign chart";
  return chart;
}

class ChartPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    view_.SetChart(ExamChart());
    layout_ = LayOutChart(view_.Chart(), kWidth);
    image_ = QImage(kWidth, layout_.height, QImage::Format_RGB32);
    QPainter painter(&image_);
    view_.Paint(painter, kWidth);
  }
  // Ink anywhere within a pixel of (x, y): strokes of width 1 or 2 on either side of a point.
  bool Inked(int x, int y) const {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (qGray(image_.pixel(x + dx, y + dy)) < 100) return true;
      }
    }
    return false;
  }
  bool InkedIn(int left, int top, int width, int height) const {
    for (int y = top; y < top + height; ++y) {
      for (int x = left; x < left + width; ++x) {
        if (qGray(image_.pixel(x, y)) < 100) return true;
      }
    }
    return false;
  }
  bool Plus(int cell, int row) const {
    const int x = layout_.cellX[cell];
    const int y = layout_.rowY[row] - kChartSignLift;
    return Inked(x - kChartSignArm + 1, y) && Inked(x, y - kChartSignArm + 1);
  }
  bool Minus(int cell, int row) const {
    const int x = layout_.cellX[cell];
    const int y = layout_.rowY[row] - kChartSignLift;
    return Inked(x - kChartSignArm + 1, y) && !Inked(x, y - kChartSignArm);
  }

  QWidget parent_;
  SideChartView view_{&parent_};
  SideChartLayout layout_;
  QImage image_;
};

TEST_F(ChartPicture, SignsLieOverTheirIntervals) {
  ASSERT_EQ(layout_.cellX.size(), 4u);
  EXPECT_TRUE(Minus(0, 0));
  for (const int cell : {1, 2, 3}) EXPECT_TRUE(Plus(cell, 0)) << cell;
  EXPECT_TRUE(Plus(0, 1));
  EXPECT_TRUE(Minus(2, 1));
  EXPECT_TRUE(Plus(3, 1));
  // A cell without a sign has neither the sign nor the row's line.
  EXPECT_FALSE(Inked(layout_.cellX[1], layout_.rowY[1] - kChartSignLift));
  EXPECT_FALSE(Inked(layout_.cellX[1], layout_.rowY[1]));
  EXPECT_TRUE(Inked(layout_.cellX[0], layout_.rowY[1]));
}

TEST_F(ChartPicture, MarksLieInOrderAndEachRowSaysWhatItIsThere) {
  ASSERT_EQ(layout_.markX.size(), 3u);
  EXPECT_LT(layout_.markX[0], layout_.markX[1]);
  EXPECT_LT(layout_.markX[1], layout_.markX[2]);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_LT(layout_.cellX[i], layout_.markX[i]);
    EXPECT_GT(layout_.cellX[i + 1], layout_.markX[i]);
  }
  // The double bar at 0 in both rows: two strokes with a blank between them.
  for (const int row : {0, 1}) {
    const int x = layout_.markX[1];
    const int y = layout_.rowY[static_cast<std::size_t>(row)] - 8;
    EXPECT_LT(qGray(image_.pixel(x - 2, y)), 100) << row;
    EXPECT_LT(qGray(image_.pixel(x + 2, y)), 100) << row;
    EXPECT_GT(qGray(image_.pixel(x, y)), 200) << row;
  }
  // The cross of f' at 2: ink on its diagonals, off the row's line.
  const int x = layout_.markX[2];
  const int y = layout_.rowY[1];
  EXPECT_TRUE(Inked(x - 4, y - 4));
  EXPECT_TRUE(Inked(x + 4, y + 4));
  // The zero of f at -1.587 sits on the line, which is blanked around it.
  EXPECT_TRUE(InkedIn(layout_.markX[0] - 4, layout_.rowY[0] - 6, 9, 13));
  EXPECT_GT(qGray(image_.pixel(layout_.markX[0] - 5, layout_.rowY[0])), 200);
  EXPECT_TRUE(Inked(layout_.markX[0] - 9, layout_.rowY[0]));
}

TEST_F(ChartPicture, ADenseRowIsANoteWithoutSignsAndTheTextIsItsLines) {
  // The note's row: no stroke where a first cell's sign would be.
  const int y = layout_.rowY[2] - kChartSignLift;
  EXPECT_FALSE(Inked(layout_.cellX[3], y));
  EXPECT_EQ(view_.accessibleName().toStdString(), "Sign chart");
  EXPECT_EQ(view_.accessibleDescription().toStdString(), "f: - from -10 to -1.587\nf: 0 at -1.587");
  EXPECT_EQ(view_.focusPolicy(), Qt::NoFocus);
}

TEST(ChartView, AnEmptyChartIsHidden) {
  QWidget parent;
  SideChartView view(&parent);
  parent.show();
  view.SetChart(ExamChart());
  EXPECT_TRUE(view.isVisible());
  EXPECT_EQ(view.height(), LayOutChart(view.Chart(), 100).height);
  view.SetChart({});
  EXPECT_FALSE(view.isVisible());
}

}  // namespace
}  // namespace funzioni
