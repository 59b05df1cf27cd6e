// The dots of one redraw, gathered and then written to the surface once.

#include <gtest/gtest.h>

#include "drawing/DrawingSurface.h"
#include "plot/DotLayer.h"

namespace funzioni {
namespace {

TEST(DotLayer, LastColourWinsAndEachPixelIsSetOnce) {
  DrawingSurface surface(4, 3);
  surface.ClearSurface(0x00111111);
  DotLayer layer;
  layer.Reset(4, 3);
  layer.Put(1, 1, 0x000000FF);
  layer.Put(3, 2, 0x0000FF00);
  layer.Put(1, 1, 0x00000000);  // black over red
  layer.FlushTo(surface);
  EXPECT_EQ(surface.PixelAt(1, 1), 0x00000000);
  EXPECT_EQ(surface.PixelAt(3, 2), 0x0000FF00);
  EXPECT_EQ(surface.PixelAt(0, 0), 0x00111111);
  EXPECT_TRUE(layer.Empty());
  // A flushed layer starts clean, also after a change of size.
  layer.Reset(2, 2);
  layer.Put(0, 1, 0x00FF0000);
  layer.FlushTo(surface);
  EXPECT_EQ(surface.PixelAt(0, 1), 0x00FF0000);
  EXPECT_EQ(surface.PixelAt(1, 1), 0x00000000);
}

}  // namespace
}  // namespace funzioni
