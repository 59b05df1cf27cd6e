#pragma once

// Counting pixels of a surface, shared by the tests of every folder.

#include "drawing/DrawingSurface.h"

namespace funzioni::test {

// How many pixels of the surface have the colour.
inline int CountPixels(const DrawingSurface& surface, Color color) {
  const PixelSize size = surface.GetSurfaceSize();
  int count = 0;
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) count += surface.PixelAt(x, y) == color ? 1 : 0;
  }
  return count;
}

}  // namespace funzioni::test
