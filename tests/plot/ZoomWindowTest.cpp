// The coordinates line and the magnifier.

#include "PlotFixture.h"
#include "plot/ZoomWindow.h"

namespace funzioni::testing {
namespace {

using ZoomWindow = PlotFixture;

TEST_F(ZoomWindow, ReadoutIsWrittenOnTheCoordinatesLine) {
  const DrawingSurface& line = *dialog.FindSurface(kCoordinatesLineId);
  const std::string blank = line.GetSurfacePixels();
  ShowPointerReadout(dialog, controls, state, 100, 0);
  EXPECT_NE(line.GetSurfacePixels(), blank);
}

// Beside the area and when blank the magnifier shows the face its program gave the dialog.
TEST_F(ZoomWindow, MagnifiesTheNeighbourhoodOfThePointer) {
  constexpr Color kFace = 0x00345678;
  dialog.SetFaceColor(kFace);
  Redraw();
  const DrawingSurface& zoom = *dialog.FindSurface(kZoomWindowId);
  ShowZoomWindow(dialog, 50, 50);
  // The axes cross in the middle, each about two pixels wide after stretching.
  EXPECT_EQ(zoom.PixelAt(120, 120), kWhite);
  EXPECT_EQ(zoom.PixelAt(120, 30), kWhite);
  EXPECT_EQ(zoom.PixelAt(200, 120), kWhite);
  EXPECT_EQ(zoom.PixelAt(200, 200), At(340, 340));
  EXPECT_EQ(zoom.PixelAt(0, 120), 0x009BFFFF);  // the gold frame, 4 pixels wide
  EXPECT_NE(zoom.PixelAt(3, 120), kWhite);
  EXPECT_EQ(zoom.PixelAt(10, 120), kWhite);

  // In the top-left corner only the lower-right quarter of the source lies on the area.
  ShowZoomWindow(dialog, 0, 0);
  EXPECT_EQ(zoom.PixelAt(60, 60), kFace);
  EXPECT_EQ(zoom.PixelAt(60, 200), kFace);
  EXPECT_EQ(zoom.PixelAt(200, 60), kFace);
  EXPECT_NE(zoom.PixelAt(200, 200), kFace);
  EXPECT_EQ(zoom.PixelAt(200, 200), At(40, 40));

  ClearZoomWindow(dialog);
  for (const int i : {0, 60, 120, 239}) {
    EXPECT_EQ(zoom.PixelAt(i, i), kFace);
    EXPECT_EQ(zoom.PixelAt(239 - i, i), kFace);
  }
}

TEST(PointerReadout, CoordinateMaskAndCorners) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c :
       {Case{0, "0.00"}, Case{-20, "-20.00"}, Case{0.5, "0.50"}, Case{-0.25, "-0.25"},
        Case{-0.001, "0.00"}, Case{10, "10.00"}, Case{3.14159, "3.14"}}) {
    EXPECT_EQ(CoordinateText(c.value), c.text) << c.value;
  }
  EXPECT_EQ(PointerReadoutText(50, 50, 50), "x=0.00 y=0.00");
  EXPECT_EQ(PointerReadoutText(100, 0, 50), "x=10.00 y=10.00");
  EXPECT_EQ(PointerReadoutText(0, 100, 100), "x=-20.00 y=-20.00");
  EXPECT_EQ(PointerReadoutText(75, 25, 1), "x=0.10 y=0.10");
}

}  // namespace
}  // namespace funzioni::testing
