// Grid lines, scale numbers and axes of the plotting area at several zooms, checked pixel by
// pixel with every curve switched off.

#include <ostream>
#include <vector>

#include "PlotFixture.h"

namespace funzioni::testing {
namespace {

struct GridCase {
  float zoom;
  Color lineColor;
  std::vector<int> lines;  // rows of horizontal lines, also the columns of vertical ones
  int probe;               // a column (for rows) and 600 - probe a row (for columns) off any line
};

// Named by its zoom (gtest would otherwise print the raw bytes, padding included).
void PrintTo(const GridCase& c, std::ostream* out) {
  *out << "zoom " << c.zoom;
}

class PlotGrid : public PlotFixture, public ::testing::WithParamInterface<GridCase> {};

int CountColor(const DrawingSurface& surface, Color color, int x1 = 0, int y1 = 0, int x2 = 600,
               int y2 = 600) {
  int count = 0;
  for (int y = y1; y < y2; ++y) {
    for (int x = x1; x < x2; ++x) count += surface.PixelAt(x, y) == color;
  }
  return count;
}

TEST_P(PlotGrid, LinesLieAtTheExpectedRowsAndColumns) {
  const GridCase& c = GetParam();
  SwitchEverythingOff();
  state.zoomValue.value = c.zoom;
  Redraw();
  for (const int line : c.lines) {
    EXPECT_EQ(At(c.probe, line), c.lineColor) << "row " << line;
    EXPECT_EQ(At(line, 600 - c.probe), c.lineColor) << "column " << line;
    // The rows next to a line are free of it (lines are one pixel wide and apart).
    EXPECT_NE(At(c.probe, line + 1), c.lineColor) << "row " << line + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Zooms, PlotGrid,
    ::testing::Values(
        // z = 50: unit lines 29.95 apart from 300; 599.5 rounds off the area, 0.4999 onto row 0.
        GridCase{
            50,
            kUnitGrid,
            {30, 60, 90, 120, 150, 180, 210, 240, 270, 330, 360, 390, 420, 450, 480, 510, 540, 570},
            45},
        // z = 9: fine lines 16.64 apart beneath the unit lines at 134 and 466.
        GridCase{9,
                 kFineGrid,
                 {150, 167, 184, 200, 217, 233, 250, 267, 283, 317, 333, 350, 367, 383, 400, 416,
                  433, 450},
                 308},
        GridCase{9, kUnitGrid, {134, 466}, 308},
        // z = 1: fine lines 149.75 and 299.5 from the centre; the last falls on row 0 / off.
        GridCase{1, kFineGrid, {150, 450}, 75}, GridCase{10, kUnitGrid, {150, 450}, 75},
        // z = 100: unit lines 14.975 apart.
        GridCase{100,
                 kUnitGrid,
                 {15,  30,  45,  60,  75,  90,  105, 120, 135, 150, 165, 180, 195,
                  210, 225, 240, 255, 270, 285, 315, 330, 345, 360, 375, 390, 405,
                  420, 435, 450, 465, 480, 495, 510, 525, 540, 555, 570, 585},
                 307}));

TEST_F(PlotGrid, FineGridOnlyBelowZoomTenAndUnitGridHiddenByTheAxesAtZoomOne) {
  SwitchEverythingOff();
  for (const float zoom : {10.0f, 50.0f, 100.0f}) {
    state.zoomValue.value = zoom;
    Redraw();
    EXPECT_EQ(CountColor(Plot(), kFineGrid), 0) << zoom;
  }
  state.zoomValue.value = 9.99f;
  Redraw();
  EXPECT_GT(CountColor(Plot(), kFineGrid), 0);
  state.zoomValue.value = 1;
  Redraw();
  EXPECT_EQ(CountColor(Plot(), kUnitGrid), 0);  // only the centre lines, under the axes
}

// White pixels of the scale numbers: left of the y axis in the upper half, below the x axis in
// the right half. The number for unit line k stands 6 pixels above it, or 4 pixels left of it.
struct LabelCase {
  float zoom;
  int numbers;  // how many of 1..9 are printed
};

class PlotLabels : public PlotFixture, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(PlotLabels, NumbersOneToNineOnlyForLinesInsideTheArea) {
  const LabelCase& c = GetParam();
  SwitchEverythingOff();
  state.zoomValue.value = c.zoom;
  Redraw();
  const double g = 10.0 * 599 / (4.0 * c.zoom);
  int besideY = 0;
  int belowX = 0;
  for (int k = 1; k <= c.numbers; ++k) {
    const int top = static_cast<int>(300 - k * g - 6);
    const int left = static_cast<int>(300 + k * g - 4);
    const int inY = CountColor(Plot(), kWhite, 290, top - 1, 299, top + 16);
    const int inX = CountColor(Plot(), kWhite, left - 1, 301, left + 9, 317);
    EXPECT_GT(inY, 0) << "number " << k << " beside the y axis";
    EXPECT_GT(inX, 0) << "number " << k << " below the x axis";
    besideY += inY;
    belowX += inX;
  }
  // Nothing else white in those two quadrants (axes and arrowheads excluded).
  EXPECT_EQ(CountColor(Plot(), kWhite, 2, 10, 299, 299), besideY);
  EXPECT_EQ(CountColor(Plot(), kWhite, 301, 301, 590, 598), belowX);
}

INSTANTIATE_TEST_SUITE_P(Zooms, PlotLabels,
                         ::testing::Values(LabelCase{50, 9}, LabelCase{100, 9}, LabelCase{9, 1},
                                           LabelCase{1, 0}));

TEST_F(PlotFixture, AxesArrowheadsAndFrame) {
  SwitchEverythingOff();
  Redraw();
  for (const int i : {5, 150, 299, 301, 450, 595}) {
    EXPECT_EQ(At(i, 300), kWhite) << i;
    EXPECT_EQ(At(300, i), kWhite) << i;
  }
  // Arrowheads end 2 pixels from the edge and open 5 pixels back.
  EXPECT_EQ(At(595, 297), kWhite);
  EXPECT_EQ(At(595, 303), kWhite);
  EXPECT_EQ(At(297, 5), kWhite);
  EXPECT_EQ(At(303, 5), kWhite);
  // The gold frame, two pixels wide, is drawn last over everything.
  EXPECT_EQ(At(0, 300), 0x009BFFFF);
  EXPECT_EQ(At(300, 0), 0x009BFFFF);
  EXPECT_NE(At(599, 300), kWhite);
  // The face is the sunken green of the board, lightest towards the lower right.
  const Color face = At(500, 520);
  EXPECT_NE(face, kBlack);
  EXPECT_GT((face >> 8) & 0xFF, face & 0xFF);  // greener than red
}

}  // namespace
}  // namespace funzioni::testing
